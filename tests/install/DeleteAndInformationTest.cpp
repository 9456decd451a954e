#include "../app/MainWindowHarness.h"
#include "ListEntries.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

namespace {

void selectFamily(frmfont& w, const QString& family) {
    const int row = w.List1->row(family);
    ASSERT_GE(row, 0) << family.toStdString();
    w.List1->setCurrentRow(row);
    w.List1_Click();
}

// A main window with the spare DejaVu Serif installed and the list shown.
struct WithUserFont {
    MainWindowHarness h;
    frmfont* w = nullptr;
    WithUserFont() {
        FontconfigFontSystem().installFile(testenv::spareFont());
        w = &h.start();
        w->Command1_Click();
    }
    ~WithUserFont() {
        for (const QString& name :
             QDir(testenv::userFontsFolder()).entryList(QDir::Files | QDir::System))
            QFile::remove(testenv::userFontsFolder() + QLatin1Char('/') + name);
        FontconfigFontSystem().rescan();
    }
};

const QString serif = QStringLiteral("DejaVu Serif");
const QString sans = QStringLiteral("DejaVu Sans");

QString trashed(const QString& name) {
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Trash/files/") + name;
}

// A collection file (.ttc) holding DejaVu Sans Mono three times under the given family names
// ("English|中文" gives a family a Chinese name too), made with fontTools.
QString makeCollection(const QString& path, const QStringList& families) {
    const char* script = R"(
import sys
from fontTools.ttLib import TTFont
from fontTools.ttLib.ttCollection import TTCollection
source, out, families = sys.argv[1], sys.argv[2], sys.argv[3:]
collection = TTCollection()
for names in families:
    family, _, chinese = names.partition("|")
    font = TTFont(source)
    for record in font["name"].names:
        if record.nameID in (1, 4, 16):
            record.string = family
        elif record.nameID == 6:
            record.string = family.replace(" ", "")
        elif record.nameID in (2, 17):
            record.string = "Regular"
    if chinese:
        for name_id in (1, 4):
            font["name"].setName(chinese, name_id, 3, 1, 0x0804)
    collection.fonts.append(font)
collection.save(out)
)";
    QStringList arguments{QStringLiteral("-c"), QString::fromUtf8(script),
                          testenv::systemFontsFolder() + QStringLiteral("/DejaVuSansMono.ttf"),
                          path};
    arguments += families;
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), arguments);
    python.waitForFinished(60000);
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return path;
}

} // namespace

TEST(DeleteFont, AsksFirstThenRemovesTheLinkAndRefreshesTheList) {
    WithUserFont f;
    frmfont& w = *f.w;
    auto& dialogs = f.h.p.dialogs;
    const QString link = testenv::userFontsFolder() + QStringLiteral("/DejaVuSerif.ttf");
    ASSERT_TRUE(entries(w.List1).contains(serif));

    // "No" leaves everything as it was.
    selectFamily(w, serif);
    dialogs.answers = {Dialogs::Answer::No};
    w.delfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("确实要删除字体“DejaVu Serif”吗？"));
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("系统提示"));
    EXPECT_EQ(dialogs.messages()[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(w.selectedFont(), serif);

    // "Yes" from the list's pop-up item: the link goes, the font file stays, the list no
    // longer has the family and nothing is selected.
    dialogs.clear();
    dialogs.answers = {Dialogs::Answer::Yes};
    w.setLanguage(QStringLiteral("e"));
    w.delcfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              QStringLiteral("Do you really want to delete the font \"DejaVu Serif\"?"));
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("Tips"));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(link));
    EXPECT_TRUE(QFileInfo::exists(testenv::spareFont()));
    // The link went to the trash, where the file manager can bring it back.
    EXPECT_EQ(QFileInfo(trashed(QStringLiteral("DejaVuSerif.ttf"))).symLinkTarget(),
              testenv::spareFont());
    EXPECT_FALSE(entries(w.List1).contains(serif));
    EXPECT_EQ(entries(w.List1),
              (QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono")}));
    EXPECT_FALSE(w.delfont->isEnabled());
    EXPECT_EQ(w.selectedFont(), QString());
}

TEST(DeleteFont, ACollectionGoesWholeToTheTrashAfterAQuestionNamingEveryFamilyAsListed) {
    const QString file =
        makeCollection(testenv::userFontsFolder() + QStringLiteral("/Trio.ttc"),
                       {QStringLiteral("Trio One|三重一"), QStringLiteral("Trio Two|三重二"),
                        QStringLiteral("Trio Three")});
    const QByteArray bytes = testenv::readFile(file);
    QFile::remove(trashed(QStringLiteral("Trio.ttc")));
    WithUserFont f;
    frmfont& w = *f.w;
    auto& dialogs = f.h.p.dialogs;
    for (const char* family : {"三重一", "三重二", "Trio Three"})
        ASSERT_TRUE(entries(w.List1).contains(QString::fromUtf8(family))) << family;

    // Each family by the name the Chinese list shows, the Chinese one where it has one.
    selectFamily(w, QStringLiteral("三重二"));
    dialogs.answers = {Dialogs::Answer::No};
    w.delfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              QStringLiteral("字体“三重二”与字体“三重一”、“Trio Three”在同一个字体文件中，"
                             "将一起被删除。确实要删除这些字体吗？"));
    EXPECT_EQ(testenv::readFile(file), bytes);

    // The English list shows the English names, and so does the question.
    w.engls->trigger();
    dialogs.clear();
    dialogs.answers = {Dialogs::Answer::Yes};
    w.delcfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              QStringLiteral("The font \"Trio Two\" shares its file with \"Trio One\", \"Trio "
                             "Three\", which will be deleted with it. Do you really want to "
                             "delete these fonts?"));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_EQ(testenv::readFile(trashed(QStringLiteral("Trio.ttc"))), bytes);
    EXPECT_TRUE(testenv::readFile(qEnvironmentVariable("XDG_DATA_HOME") +
                                  QStringLiteral("/Trash/info/Trio.ttc.trashinfo"))
                    .contains("Path=" + QFile::encodeName(file)));
    for (const char* family : {"Trio One", "Trio Two", "Trio Three"})
        EXPECT_FALSE(entries(w.List1).contains(QString::fromLatin1(family))) << family;
    EXPECT_TRUE(entries(w.List1).contains(serif));
}

TEST(DeleteFont, RefusesSystemFamiliesAndTouchesNothing) {
    WithUserFont f;
    frmfont& w = *f.w;
    auto& dialogs = f.h.p.dialogs;
    const QStringList before = entries(w.List1);
    const QString file = testenv::systemFontsFolder() + QStringLiteral("/DejaVuSans.ttf");
    const QByteArray bytes = testenv::readFile(file);

    selectFamily(w, sans);
    dialogs.answers = {Dialogs::Answer::Yes};
    w.delfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_EQ(dialogs.messages()[1].title, QStringLiteral("系统提示"));
    EXPECT_TRUE(dialogs.messages()[1].text.contains(QStringLiteral("是系统字体")));
    EXPECT_TRUE(dialogs.messages()[1].text.contains(testenv::userFontsFolder()));
    EXPECT_EQ(testenv::readFile(file), bytes);
    EXPECT_EQ(entries(w.List1), before);
    EXPECT_EQ(w.selectedFont(), sans);

    w.setLanguage(QStringLiteral("e"));
    dialogs.clear();
    dialogs.answers = {Dialogs::Answer::Yes};
    w.delcfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].text.startsWith(
        QStringLiteral("The font \"DejaVu Sans\" is a system font")));
    EXPECT_TRUE(QFileInfo::exists(file));
}

TEST(FontInformation, ShowsNameAndTheFolderHoldingTheFamilyInEachLanguage) {
    WithUserFont f;
    frmfont& w = *f.w;
    auto& dialogs = f.h.p.dialogs;

    selectFamily(w, sans);
    w.infor_Click();
    w.ztxx_Click();
    ASSERT_EQ(dialogs.messages().size(), 2);
    const QString systemLines =
        QStringLiteral("字体名称：DejaVu Sans\r\n字体路径：") + testenv::systemFontsFolder() +
        QStringLiteral("\r\n扩展名：未知的扩展名\r\n字体文件大小：未知的大小");
    for (const auto& shown : dialogs.messages()) {
        EXPECT_EQ(shown.text, systemLines);
        EXPECT_EQ(shown.title, QStringLiteral("字体信息"));
        EXPECT_EQ(shown.icon, Dialogs::Icon::Information);
    }

    dialogs.clear();
    w.setLanguage(QStringLiteral("e"));
    selectFamily(w, serif);
    w.ztxx_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text,
              QStringLiteral("Font Name：DejaVu Serif\r\nFont URL：") + testenv::userFontsFolder() +
                  QStringLiteral("\r\nExtend Name：Unknown\r\nFont Files Size：Unknown"));
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("Font Information"));

    // A name fontconfig does not know shows the fonts folder.
    MainWindowHarness fake;
    fake.p.useFakeFonts({QStringLiteral("@Vertical")});
    frmfont& v = fake.start();
    v.Command1_Click();
    selectFamily(v, QStringLiteral("@Vertical"));
    v.infor_Click();
    ASSERT_EQ(fake.p.dialogs.messages().size(), 1);
    EXPECT_TRUE(fake.p.dialogs.messages()[0].text.startsWith(
        QStringLiteral("字体名称：@Vertical\r\n字体路径：") + v.fontsFolder() +
        QStringLiteral("\r\n")));
}

TEST(FontInformation, DetailsTellEachFileOfTheFamilyAndTheDeleteQuestionShowsThemToo) {
    WithUserFont f;
    frmfont& w = *f.w;
    auto& dialogs = f.h.p.dialogs;
    selectFamily(w, sans);
    w.infor_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    // DejaVu Sans: the book and the bold file, each with what it says about itself, then what
    // the family can write.
    const QString details = dialogs.messages()[0].details;
    QStringList blocks = details.split(QStringLiteral("\n\n"));
    ASSERT_EQ(blocks.size(), 3) << details.toStdString();
    EXPECT_TRUE(blocks.takeLast().startsWith(QStringLiteral("支持的语言：")));
    QStringList files;
    for (const QString& block : blocks) {
        const QStringList lines = block.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 7) << block.toStdString();
        files << lines[0];
        EXPECT_EQ(lines[1], QStringLiteral("格式：TrueType"));
        EXPECT_EQ(lines[3], QStringLiteral("版本：Version 2.37"));
        EXPECT_EQ(lines[4], QStringLiteral("设计者：DejaVu fonts team"));
        EXPECT_TRUE(lines[5].startsWith(QStringLiteral("许可：Fonts are (c) Bitstream")));
        EXPECT_TRUE(lines[6].startsWith(QStringLiteral("文字：拉丁文、希腊文、西里尔文")))
            << lines[6].toStdString();
        EXPECT_FALSE(lines[6].contains(QStringLiteral("汉字")));
    }
    files.sort();
    EXPECT_EQ(files, (QStringList{QStringLiteral("文件：") + testenv::systemFontsFolder() +
                                      QStringLiteral("/DejaVuSans-Bold.ttf"),
                                  QStringLiteral("文件：") + testenv::systemFontsFolder() +
                                      QStringLiteral("/DejaVuSans.ttf")}));
    EXPECT_TRUE(details.contains(QStringLiteral("样式：Bold")));
    EXPECT_TRUE(details.contains(QStringLiteral("样式：Book")));

    // In English, and in the question before deleting (answered No: nothing happens).
    dialogs.clear();
    w.setLanguage(QStringLiteral("e"));
    selectFamily(w, serif);
    dialogs.answers.push_back(Dialogs::Answer::No);
    w.delfont_Click();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_TRUE(dialogs.messages()[0].details.startsWith(
        QStringLiteral("File: ") + testenv::userFontsFolder() +
        QStringLiteral("/DejaVuSerif.ttf\nFormat: TrueType\nStyles: Book\nVersion: Version 2.37")))
        << dialogs.messages()[0].details.toStdString();
    EXPECT_TRUE(dialogs.messages()[0].details.contains(QStringLiteral("Scripts: Latin, Greek")));
    EXPECT_TRUE(entries(w.List1).contains(serif));
}

TEST(FontsFolder, OpensTheUserFontsFolderMakingItWhenMissing) {
    MainWindowHarness h;
    frmfont& w = h.start();
    const QString folder = testenv::userFontsFolder();
    EXPECT_EQ(w.fontsFolder(), folder);
    ASSERT_TRUE(QDir(folder).removeRecursively());
    w.ztml_Click();
    w.ztml_Click();
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(h.p.shell.openedFolders, (QStringList{folder, folder}));
    EXPECT_TRUE(h.p.dialogs.messages().isEmpty());
}

namespace {

// What a full fontconfig table (as every other fontconfig program reads it) lists: each family by
// its first name, in the table's order, with its files in order.
QList<std::pair<QString, QStringList>> fullTable() {
    QList<std::pair<QString, QStringList>> table;
    FcConfig* full = FcInitLoadConfigAndFonts();
    const FcFontSet* fonts = FcConfigGetFonts(full, FcSetSystem);
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) != FcResultMatch)
            continue;
        const QString name = QString::fromUtf8(reinterpret_cast<const char*>(family));
        auto found = std::find_if(table.begin(), table.end(),
                                  [&name](const auto& entry) { return entry.first == name; });
        if (found == table.end())
            found = table.insert(table.end(), {name, {}});
        const QString path = QFile::decodeName(reinterpret_cast<const char*>(file));
        if (!found->second.contains(path))
            found->second.append(path);
    }
    FcConfigDestroy(full);
    return table;
}

QList<std::pair<QString, QStringList>> programsTable(FontconfigFontSystem& fonts) {
    QList<std::pair<QString, QStringList>> table;
    for (const QString& family : fonts.families())
        table.append({family, fonts.familyFiles(family)});
    return table;
}

} // namespace

TEST(FontTable, ReadOneFolderAtATimeItListsWhatTheFullTableDoes) {
    // A library of folders: fonts beside subfolders, subfolders of subfolders, one whose name
    // fontconfig's globs cannot give exactly, a family in two folders, a collection, a family
    // disabled by this program's rejection rule, and a second configured folder, whose own
    // subfolder comes after the first one's subfolders.
    const QString top = testenv::userFontsFolder();
    const QString library = top + QStringLiteral("/Library");
    const QString odd = top + QStringLiteral("/Odd *? & <name>");
    const QString second = testenv::newFolder(QStringLiteral("second"));
    const QString rule = qEnvironmentVariable("XDG_CONFIG_HOME") +
                         QStringLiteral("/fontconfig/conf.d/60-second-folder.conf");
    testenv::writeFile(rule, QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><dir>%1</dir>"
                                            "</fontconfig>\n")
                                 .arg(second)
                                 .toUtf8());
    const auto copy = [](const QString& font, const QString& to) {
        QDir().mkpath(QFileInfo(to).path());
        ASSERT_TRUE(QFile::copy(testenv::testFont(font), to)) << to.toStdString();
    };
    copy(QStringLiteral("IvyMono.ttf"), top + QStringLiteral("/IvyMono.ttf"));
    copy(QStringLiteral("OrchidText.otf"), library + QStringLiteral("/OrchidText.otf"));
    copy(QStringLiteral("QuillSans.ttf"), library + QStringLiteral("/A/QuillSans.ttf"));
    copy(QStringLiteral("Kamal.ttf"), library + QStringLiteral("/A/Deeper/Kamal.ttf"));
    copy(QStringLiteral("QuillSans.ttf"), library + QStringLiteral("/B/QuillSans-copy.ttf"));
    copy(QStringLiteral("BrookSerif.ttf"), library + QStringLiteral("/B/BrookSerif.ttf"));
    copy(QStringLiteral("Ruam.ttf"), odd + QStringLiteral("/Ruam.ttf"));
    copy(QStringLiteral("QuillSans.ttf"), second + QStringLiteral("/Sub/QuillSans.ttf"));
    QDir().mkpath(library + QStringLiteral("/C"));
    makeCollection(library + QStringLiteral("/C/Trio.ttc"),
                   {QStringLiteral("Trio One|三重一"), QStringLiteral("Trio Two"),
                    QStringLiteral("Trio Three")});
    FontconfigFontSystem fonts;
    struct Cleanup {
        QStringList paths; // folders and rule files
        ~Cleanup() {
            for (const QString& path : paths)
                QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path);
            const QString top = testenv::userFontsFolder();
            for (const QString& name : QDir(top).entryList(QDir::Files | QDir::System))
                QFile::remove(top + QLatin1Char('/') + name);
            FontconfigFontSystem f;
            f.enableFamily(QStringLiteral("Brook Serif"));
            f.rescan();
        }
    } cleanup{{library, odd, second, rule}};
    ASSERT_EQ(fonts.disableFamily(QStringLiteral("Brook Serif")), FontSystem::Result::Done);

    const auto expected = fullTable();
    fonts.rescan();
    EXPECT_EQ(programsTable(fonts), expected);
    const QStringList families = fonts.families();
    for (const char* family : {"Ivy Mono", "Orchid Text", "Quill Sans", "कमल", "รวม", "Trio One"})
        EXPECT_TRUE(families.contains(QString::fromUtf8(family))) << family;
    EXPECT_FALSE(families.contains(QStringLiteral("Brook Serif")));
    EXPECT_EQ(fonts.familyFiles(QStringLiteral("Quill Sans")).size(), 3);
    EXPECT_EQ(fonts.familiesRemovedWith(QStringLiteral("Trio Two")),
              (QStringList{QStringLiteral("Trio Two"), QStringLiteral("Trio One"),
                           QStringLiteral("Trio Three")}));
    const auto names = fonts.familyNames();
    const auto quill = std::find_if(names.begin(), names.end(), [](const auto& n) {
        return n.family == QStringLiteral("Quill Sans");
    });
    ASSERT_NE(quill, names.end());
    EXPECT_EQ(quill->chinese, QStringLiteral("黑曜体"));

    // A rule turning a folder away by name: fontconfig neither reads it nor its subfolders.
    const QString globRule = qEnvironmentVariable("XDG_CONFIG_HOME") +
                             QStringLiteral("/fontconfig/conf.d/61-turn-away.conf");
    cleanup.paths.append(globRule);
    testenv::writeFile(globRule, QStringLiteral("<?xml version=\"1.0\"?>\n<fontconfig><selectfont>"
                                                "<rejectfont><glob>%1/B</glob></rejectfont>"
                                                "</selectfont></fontconfig>\n")
                                     .arg(library)
                                     .toUtf8());
    fonts.rescan();
    EXPECT_EQ(programsTable(fonts), fullTable());
    EXPECT_EQ(fonts.familyFiles(QStringLiteral("Quill Sans")).size(), 2);

    // A refresh after an install sees the new font.
    ASSERT_EQ(fonts.installFile(testenv::spareFont()), FontSystem::Result::Done);
    EXPECT_TRUE(fonts.families().contains(QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(programsTable(fonts), fullTable());
}
