#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "app/controls/PictureButton.h"
#include "catalogue/PreviewText.h"
#include "install/FontArchive.h"
#include "install/SearchResults.h"
#include "install/searchfont.h"
#include "install/setupfon.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <archive.h>
#include <archive_entry.h>
#include <gtest/gtest.h>

namespace {

// Takes every installed font out again, so that each test starts with no user fonts.
struct CleanUserFonts {
    ~CleanUserFonts() {
        QDir(testenv::userFontsFolder()).removeRecursively();
        QDir().mkpath(testenv::userFontsFolder());
        FontconfigFontSystem().rescan();
    }
};

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// One member of an archive made for a test: a file with its bytes, or a link to target.
struct Member {
    QString path;
    QByteArray bytes;
    QString linkTarget;
};

// Writes an archive with libarchive: format "zip", "7zip" or "gnutar"; filter "xz" or none.
QString writeArchive(const QString& path, const char* format, const QList<Member>& members,
                     const char* filter = nullptr) {
    archive* a = archive_write_new();
    archive_write_set_format_by_name(a, format);
    if (filter)
        archive_write_add_filter_by_name(a, filter);
    archive_write_open_filename(a, QFile::encodeName(path).constData());
    for (const Member& m : members) {
        archive_entry* e = archive_entry_new();
        archive_entry_set_pathname(e, m.path.toUtf8().constData());
        archive_entry_set_perm(e, 0644);
        if (m.linkTarget.isEmpty()) {
            archive_entry_set_filetype(e, AE_IFREG);
            archive_entry_set_size(e, m.bytes.size());
        } else {
            archive_entry_set_filetype(e, AE_IFLNK);
            archive_entry_set_symlink(e, m.linkTarget.toUtf8().constData());
        }
        archive_write_header(a, e);
        if (!m.bytes.isEmpty())
            archive_write_data(a, m.bytes.constData(), m.bytes.size());
        archive_entry_free(e);
    }
    archive_write_close(a);
    archive_write_free(a);
    return path;
}

QByteArray font(const char* file) {
    return testenv::readFile(testenv::testFont(QLatin1String(file)));
}

// A drag of local files and folders, entered and dropped on a widget through Qt's events.
bool drop(QWidget* target, const QStringList& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    const QPointF at(10, 10);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
    return dropped.isAccepted();
}

} // namespace

TEST(FontFormats, AnOtfIsFoundByTheSearchAndInstalledThroughTheInstallWindow) {
    CleanUserFonts clean;
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    const QString folder = testenv::newFolder(QStringLiteral("otf"));
    const QString otf = folder + QStringLiteral("/OrchidText.otf");
    ASSERT_TRUE(QFile::copy(testenv::testFont(QStringLiteral("OrchidText.otf")), otf));
    testenv::writeFile(folder + QStringLiteral("/OrchidText.ttf.txt"), "x");

    w.searchfonts_Click();
    searchfont* s = w.findChild<searchfont*>();
    ASSERT_NE(s, nullptr);
    s->setFolder(folder);
    s->Combo1->setCurrentIndex(s->Combo1->findText(QStringLiteral("*.otf")));
    s->Command1_Click();
    ASSERT_EQ(s->results()->entries(), QStringList{otf});

    s->List1->setCurrentIndex(s->results()->index(0));
    s->setupthis_Click();
    setupfon* install = w.findChild<setupfon*>();
    ASSERT_NE(install, nullptr);
    h.p.dialogs.clear();
    install->Command2_Click();
    EXPECT_EQ(h.p.dialogs.messageTexts(), QStringList{QStringLiteral("安装完成")});
    install->Command3_Click();
    w.ref_Click();
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("Orchid Text")));
}

TEST(InstallFromArchive, TakesOnlyTheFontsIntoAFolderNamedAfterTheArchive) {
    CleanUserFonts clean;
    MainWindowHarness h;
    frmfont& w = h.start();
    const QString downloads = testenv::newFolder(QStringLiteral("downloads"));
    const QString zip =
        writeArchive(downloads + QStringLiteral("/Some Fonts.zip"), "zip",
                     {{QStringLiteral("Some Fonts/QuillSans.ttf"), font("QuillSans.ttf"), {}},
                      {QStringLiteral("Some Fonts/README.txt"), "Read me.\n", {}},
                      {QStringLiteral("../evil.ttf"), font("IvyMono.ttf"), {}},
                      {QStringLiteral("Some Fonts/link.ttf"), {}, QStringLiteral("/etc/passwd")},
                      {QStringLiteral("Some Fonts/fake.otf"), "not a font at all", {}}});
    setupfon* win = (w.fromwenjian_Click(), w.findChild<setupfon*>());
    ASSERT_NE(win, nullptr);
    win->Text1->setText(zip);
    win->Command2_Click();

    // Two real fonts land, under their base names, in the archive's folder; nothing else does.
    const QString folder = testenv::userFontsFolder() + QStringLiteral("/Some Fonts");
    EXPECT_EQ(filesIn(testenv::userFontsFolder()), QStringList{QStringLiteral("Some Fonts")});
    EXPECT_EQ(filesIn(folder), (QStringList{"QuillSans.ttf", "evil.ttf"}));
    EXPECT_FALSE(QFileInfo::exists(testenv::root() + QStringLiteral("/data/evil.ttf")));
    EXPECT_FALSE(QFileInfo::exists(downloads + QStringLiteral("/../evil.ttf")));
    ASSERT_EQ(h.p.dialogs.messages().size(), 1);
    const auto message = h.p.dialogs.messages()[0];
    EXPECT_TRUE(message.text.startsWith(QStringLiteral("安装完成，共安装了 2 个字体文件。")))
        << message.text.toStdString();
    EXPECT_TRUE(message.text.contains(QStringLiteral("fake.otf")));
    EXPECT_EQ(message.title, QStringLiteral("系统提示"));
    w.ref_Click();
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("黑曜体")));
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("安澜体")));

    // A .tar.xz and a .7z are read too; an archive without fonts installs nothing and says so.
    const QString tarxz = writeArchive(downloads + QStringLiteral("/brook.tar.xz"), "gnutar",
                                       {{"BrookSerif.ttf", font("BrookSerif.ttf"), {}}}, "xz");
    const QString sevenz = writeArchive(downloads + QStringLiteral("/orchid.7z"), "7zip",
                                        {{"OrchidText.otf", font("OrchidText.otf"), {}}});
    const QString empty = writeArchive(downloads + QStringLiteral("/notes.zip"), "zip",
                                       {{"notes.txt", "nothing here", {}}});
    for (const QString& archive : {tarxz, sevenz, empty}) {
        h.p.dialogs.clear();
        win->Text1->setText(archive);
        win->Command2_Click();
        ASSERT_EQ(h.p.dialogs.messages().size(), 1);
        if (archive == empty)
            EXPECT_EQ(h.p.dialogs.messages()[0].text,
                      QStringLiteral("没有安装任何字体。\n\n压缩包中没有字体文件：") + empty);
        else
            EXPECT_TRUE(h.p.dialogs.messages()[0].text.startsWith(
                QStringLiteral("安装完成，共安装了 1 个字体文件。")));
    }
    EXPECT_EQ(filesIn(testenv::userFontsFolder()), (QStringList{"Some Fonts", "brook", "orchid"}));
}

TEST(InstallFromArchive, StopsAtTheSizeLimitAndKeepsNoPartOfTheFileCutShort) {
    const QString downloads = testenv::newFolder(QStringLiteral("big"));
    const QString zip = writeArchive(downloads + QStringLiteral("/big.zip"), "zip",
                                     {{"small.ttf", QByteArray(1000, 'a'), {}},
                                      {"huge.ttf", QByteArray(300 * 1024, '\0'), {}},
                                      {"after.ttf", QByteArray(10, 'b'), {}}});
    const QString folder = downloads + QStringLiteral("/out");
    const fontarchive::Extraction result = fontarchive::extractFonts(zip, folder, 200 * 1024);
    EXPECT_TRUE(result.tooLarge);
    EXPECT_EQ(result.files, QStringList{folder + QStringLiteral("/small.ttf")});
    EXPECT_EQ(filesIn(folder), QStringList{QStringLiteral("small.ttf")});

    // Not an archive at all: unreadable, nothing written.
    const QString fake = testenv::writeFile(downloads + QStringLiteral("/fake.zip"), "PK nope");
    const fontarchive::Extraction bad = fontarchive::extractFonts(fake, downloads + "/none");
    EXPECT_TRUE(bad.unreadable);
    EXPECT_FALSE(QFileInfo::exists(downloads + QStringLiteral("/none")));
}

TEST(DropOnWindows, InstallsDroppedFilesWithOneMessageAndOpensTheSearchAtAFolder) {
    CleanUserFonts clean;
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    const QRect mono = w.List1->visualRect(w.List1->model()->index(1, 0));
    QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {}, mono.center());
    ASSERT_EQ(w.selectedFont(), QStringLiteral("DejaVu Sans Mono"));
    const QString folder = testenv::newFolder(QStringLiteral("dropped"));
    const QString quill = folder + QStringLiteral("/QuillSans.ttf");
    const QString zip = writeArchive(folder + QStringLiteral("/brook.zip"), "zip",
                                     {{"BrookSerif.ttf", font("BrookSerif.ttf"), {}}});
    QFile::copy(testenv::testFont(QStringLiteral("QuillSans.ttf")), quill);

    // Two items on the main window: one message, and the list shows them, with the count. The
    // font chosen before stays chosen, also when the keyboard leaves the list and comes back.
    ASSERT_TRUE(drop(&w, {quill, zip}));
    EXPECT_EQ(h.p.dialogs.messageTexts(),
              QStringList{QStringLiteral("安装完成，共安装了 2 个字体文件。")});
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("黑曜体")));
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("宋韵体")));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("您的系统共有 4 种字体"));
    QTest::keyClick(w.List1, Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.List1->hasFocus(); }, 2000));
    EXPECT_EQ(w.selectedFont(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(w.List1->selectionModel()->selectedIndexes().size(), 1);
    EXPECT_TRUE(w.infor->isEnabled());
    // Text that is no local file is refused.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, {});
    QCoreApplication::sendEvent(&w, &enter);
    EXPECT_FALSE(enter.isAccepted());

    // A folder on the main window: the search window at that folder, in its place.
    ASSERT_TRUE(drop(&w, {folder}));
    searchfont* s = w.findChild<searchfont*>();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(s->folder(), folder);
    s->Command3_Click();

    // On the install window: files as on the main window, a folder leads to the search.
    w.fromwenjian_Click();
    setupfon* install = w.findChild<setupfon*>();
    ASSERT_NE(install, nullptr);
    h.p.dialogs.clear();
    const QString missing = folder + QStringLiteral("/gone.ttf");
    ASSERT_TRUE(drop(install, {testenv::testFont(QStringLiteral("OrchidText.otf")), missing}));
    EXPECT_EQ(h.p.dialogs.messageTexts(),
              QStringList{QStringLiteral("安装完成，共安装了 1 个字体文件。\n\n找不到这个文件：") +
                          missing});
    // A folder among files: the files are installed, then the folder is searched.
    h.p.dialogs.clear();
    const QString other = testenv::newFolder(QStringLiteral("other"));
    ASSERT_TRUE(drop(install, {quill, other}));
    EXPECT_EQ(h.p.dialogs.messageTexts(),
              QStringList{QStringLiteral("安装完成，共安装了 1 个字体文件。")});
    EXPECT_TRUE(install->unloaded());
    EXPECT_TRUE(s->isVisible());
    EXPECT_EQ(s->folder(), other);
    s->Command3_Click();
    w.hide();
}
