// Disabling fonts without deleting them, and fonts installed twice, against the real fontconfig
// of the test environment: what fc-list (any other fontconfig program) sees, the shown windows
// and their buttons.
#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "ShownWindows.h"
#include "app/controls/PictureButton.h"
#include "install/DisabledFontsWindow.h"
#include "install/DuplicateFontsWindow.h"
#include "platform/DisabledFontsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QProcess>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// QuillSans.ttf under another family name (every name record) and font revision, made with
// fontTools.
QString makeFont(const QString& path, const QString& family, double revision = 1.0) {
    const char* script = R"(
import sys
from fontTools.ttLib import TTFont
source, out, family, revision = sys.argv[1:5]
font = TTFont(source)
for record in font["name"].names:
    if record.nameID in (1, 4, 16):
        record.string = family
    elif record.nameID == 6:
        record.string = "Made"
font["head"].fontRevision = float(revision)
font.save(out)
)";
    QDir().mkpath(QFileInfo(path).path());
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), QString::fromUtf8(script),
                  testenv::testFont(QStringLiteral("QuillSans.ttf")), path, family,
                  QString::number(revision)});
    python.waitForFinished(60000);
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    return path;
}

// The families another fontconfig program lists now, and anything fontconfig complained of.
struct FcList {
    QStringList families;
    QString complaints;
};
FcList fcList() {
    QProcess list;
    list.start(QStringLiteral("fc-list"), {QStringLiteral(":"), QStringLiteral("family")});
    list.waitForFinished(60000);
    FcList result;
    for (const QString& line : QString::fromUtf8(list.readAllStandardOutput()).split('\n'))
        if (!line.isEmpty())
            result.families += line.split(QLatin1Char(','));
    result.complaints = QString::fromUtf8(list.readAllStandardError());
    return result;
}

void selectFamily(frmfont& w, const QString& family) {
    const int row = w.List1->row(family);
    ASSERT_GE(row, 0) << family.toStdString() << " not in "
                      << entries(w.List1).join(QLatin1Char('|')).toStdString();
    w.List1->setCurrentRow(row);
    w.List1_Click();
}

// The window of that kind that stands in for the main window now.
template <typename Window> Window* openWindow(frmfont& w) {
    for (Window* window : w.findChildren<Window*>())
        if (window->isVisible()) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
            return window;
        }
    return nullptr;
}

// Empties the user's fonts folder and rule folder after a test, and removes the files made
// elsewhere. The interface faces are settled before any test font exists.
struct CleanUp {
    QStringList files;
    CleanUp() {
        FontconfigFontSystem::interfaceFaces();
        FontconfigFontSystem().rescan();
    }
    ~CleanUp() {
        for (const QString& file : files)
            QFile::remove(file);
        QDir(testenv::userFontsFolder()).removeRecursively();
        QDir().mkpath(testenv::userFontsFolder());
        QDir(QFileInfo(disabledfonts::rulePath()).path()).removeRecursively();
        FontconfigFontSystem().rescan();
    }
};

const QString oddName = QStringLiteral("O'Brien & \"Co\" <Sans> 黑体");

} // namespace

TEST(DisableFont, HidesAFamilyFromEveryFontconfigProgramUntilEnabledAgain) {
    CleanUp cleanUp;
    makeFont(testenv::userFontsFolder() + QStringLiteral("/Odd.ttf"), oddName);
    const QByteArray ownConfig = testenv::readFile(qEnvironmentVariable("FONTCONFIG_FILE"));
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    w.Command1_Click();
    auto& dialogs = h.p.dialogs;
    ASSERT_TRUE(fcList().families.contains(oddName));
    selectFamily(w, oddName);
    EXPECT_TRUE(w.disableFont->isEnabled());

    // "No" writes nothing.
    dialogs.answers = {Dialogs::Answer::No};
    w.disableFont->trigger();
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("系统提示"));
    EXPECT_EQ(dialogs.messages()[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(QStringLiteral("确实要停用字体“") + oddName +
                                                      QStringLiteral("”吗？")));
    EXPECT_TRUE(dialogs.messages()[0].text.contains(QStringLiteral("下次启动")));
    EXPECT_FALSE(QFileInfo::exists(disabledfonts::rulePath()));
    EXPECT_TRUE(entries(w.List1).contains(oddName));

    // "Yes": gone from the list at once and from what fc-list, started afterwards, lists; the
    // name's quotes, ampersand, angle brackets and Chinese survive the rule file.
    dialogs.clear();
    dialogs.answers = {Dialogs::Answer::Yes};
    w.disableFont->trigger();
    EXPECT_EQ(dialogs.messages().size(), 1);
    EXPECT_FALSE(entries(w.List1).contains(oddName));
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("DejaVu Sans")));
    EXPECT_EQ(w.selectedFont(), QString());
    FcList after = fcList();
    EXPECT_FALSE(after.families.contains(oddName));
    EXPECT_TRUE(after.families.contains(QStringLiteral("DejaVu Sans")));
    EXPECT_EQ(after.complaints, QString());
    EXPECT_TRUE(QFileInfo::exists(testenv::userFontsFolder() + QStringLiteral("/Odd.ttf")));
    EXPECT_EQ(testenv::readFile(qEnvironmentVariable("FONTCONFIG_FILE")), ownConfig);
    // However the table is read again.
    FontconfigFontSystem fonts;
    fonts.rescan();
    EXPECT_FALSE(fonts.families().contains(oddName));

    // "已停用的字体..." stands in for the main window and lists it; "启用" brings it back.
    w.disabledFonts->trigger();
    auto* window = openWindow<DisabledFontsWindow>(w);
    ASSERT_TRUE(window);
    EXPECT_EQ(shown::title(window), QStringLiteral("已停用的字体"));
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(window->disabledList->count(), 1);
    EXPECT_EQ(window->disabledList->item(0)->text(), oddName);
    EXPECT_EQ(window->enableButton->caption(), QStringLiteral("启用"));
    EXPECT_FALSE(window->disabledList->accessibleName().isEmpty());
    QTest::mouseClick(window->enableButton, Qt::LeftButton);
    EXPECT_EQ(window->disabledList->count(), 0);
    EXPECT_FALSE(window->enableButton->isEnabled());
    EXPECT_TRUE(fcList().families.contains(oddName));
    EXPECT_TRUE(entries(w.List1).contains(oddName));
    EXPECT_FALSE(QFileInfo::exists(disabledfonts::rulePath()));
    QTest::mouseClick(window->backButton, Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(window->isVisible());

    // In English, the window and its buttons speak English.
    w.engls->trigger();
    selectFamily(w, oddName);
    dialogs.clear();
    dialogs.answers = {Dialogs::Answer::Yes};
    w.disableFont->trigger();
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("Tips"));
    EXPECT_TRUE(dialogs.messages()[0].text.startsWith(
        QStringLiteral("Do you really want to disable the font \"") + oddName));
    QApplication::processEvents();
    w.disabledFonts->trigger();
    window = openWindow<DisabledFontsWindow>(w);
    ASSERT_TRUE(window);
    EXPECT_EQ(shown::title(window), QStringLiteral("Disabled Fonts"));
    EXPECT_EQ(window->backButton->caption(), QStringLiteral("Back"));
    // By keyboard: the list has the focus, Tab reaches "Enable", Space presses it.
    window->activateWindow();
    window->disabledList->setFocus();
    QTest::keyClick(window->disabledList, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), window->enableButton);
    QTest::keyClick(window->enableButton, Qt::Key_Space);
    EXPECT_TRUE(fcList().families.contains(oddName));
    window->back_Click();
}

TEST(DisableFont, RefusesTheInterfaceFamilyAndRulesItCannotWriteWhole) {
    CleanUp cleanUp;
    makeFont(testenv::userFontsFolder() + QStringLiteral("/Plain.ttf"), QStringLiteral("Plain"));
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    auto& dialogs = h.p.dialogs;

    const QString face = FontconfigFontSystem::interfaceFaces().latin;
    selectFamily(w, face);
    dialogs.answers = {Dialogs::Answer::Yes};
    w.disableFont_Click();
    ASSERT_EQ(dialogs.messages().size(), 2);
    EXPECT_TRUE(dialogs.messages()[1].text.contains(QStringLiteral("不能停用")));
    EXPECT_FALSE(QFileInfo::exists(disabledfonts::rulePath()));
    EXPECT_TRUE(entries(w.List1).contains(face));

    const QString rules = disabledfonts::rulePath();
    const QString folder = QFileInfo(rules).path();
    const auto refused = [&](const char* what) {
        selectFamily(w, QStringLiteral("Plain"));
        dialogs.clear();
        dialogs.answers = {Dialogs::Answer::Yes};
        w.disableFont_Click();
        ASSERT_EQ(dialogs.messages().size(), 2) << what;
        EXPECT_EQ(dialogs.messages()[1].title, QStringLiteral("系统提示")) << what;
        EXPECT_TRUE(dialogs.messages()[1].text.contains(rules)) << what;
        EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("Plain"))) << what;
        EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System).size(),
                  QFileInfo(rules).exists() || QFileInfo(rules).isSymLink() ? 1 : 0)
            << what << ": a temporary file was left";
    };
    // A link to a file elsewhere is neither written through nor replaced.
    cleanUp.files << testenv::root() + QStringLiteral("/mine.conf");
    const QString elsewhere =
        testenv::writeFile(testenv::root() + QStringLiteral("/mine.conf"), "<fontconfig/>\n");
    QDir().mkpath(folder);
    ASSERT_TRUE(QFile::link(elsewhere, rules));
    refused("a link");
    EXPECT_EQ(testenv::readFile(elsewhere), QByteArray("<fontconfig/>\n"));
    EXPECT_TRUE(QFileInfo(rules).isSymLink());
    EXPECT_TRUE(fcList().families.contains(QStringLiteral("Plain")));
    QFile::remove(rules);
    // A FIFO is never opened (it would block).
    ASSERT_EQ(mkfifo(QFile::encodeName(rules).constData(), 0600), 0);
    refused("a FIFO");
    QFile::remove(rules);
    // A folder that cannot be made: its parent is a file.
    QDir(QFileInfo(folder).path()).removeRecursively();
    testenv::writeFile(QFileInfo(folder).path(), "not a folder");
    refused("no folder");
    QFile::remove(QFileInfo(folder).path());
    EXPECT_TRUE(fcList().families.contains(QStringLiteral("Plain")));
}

TEST(DuplicateFonts, AFamilyInstalledTwiceIsOneGroupAndTheUsersCopiesCanGo) {
    CleanUp cleanUp;
    cleanUp.files << testenv::systemFontsFolder() + QStringLiteral("/Twin.ttf");
    const QString system = makeFont(testenv::systemFontsFolder() + QStringLiteral("/Twin.ttf"),
                                    QStringLiteral("Twin Sans"));
    const QString copy = testenv::userFontsFolder() + QStringLiteral("/twin-copy.ttf");
    ASSERT_TRUE(QFile::copy(system, copy));
    const QString newer = makeFont(testenv::userFontsFolder() + QStringLiteral("/TwinNew.ttf"),
                                   QStringLiteral("Twin Sans"), 3.5);
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    w.Command1_Click();
    auto& dialogs = h.p.dialogs;

    w.findDuplicates->trigger();
    auto* window = openWindow<DuplicateFontsWindow>(w);
    ASSERT_TRUE(window);
    EXPECT_EQ(shown::title(window), QStringLiteral("重复字体"));
    EXPECT_FALSE(w.isVisible());
    ASSERT_EQ(window->groups().size(), 1);
    const auto& group = window->groups()[0];
    EXPECT_EQ(group.family, QStringLiteral("Twin Sans"));
    ASSERT_EQ(group.copies.size(), 3);
    QStringList paths;
    for (const auto& each : group.copies)
        paths << each.path;
    const qsizetype atSystem = paths.indexOf(system), atCopy = paths.indexOf(copy),
                    atNewer = paths.indexOf(newer);
    ASSERT_TRUE(atSystem >= 0 && atCopy >= 0 && atNewer >= 0) << paths.join(' ').toStdString();
    // fontconfig picks the newer version; the plain copy is the system file's twin.
    EXPECT_TRUE(group.copies[atNewer].used);
    EXPECT_FALSE(group.copies[atSystem].used || group.copies[atCopy].used);
    EXPECT_EQ(group.copies[atNewer].version, QStringLiteral("3.500"));
    EXPECT_EQ(std::min(group.copies[atSystem].sameAs, group.copies[atCopy].sameAs), -1);
    EXPECT_EQ(std::max(group.copies[atSystem].sameAs, group.copies[atCopy].sameAs),
              std::min(atSystem, atCopy));
    EXPECT_EQ(group.copies[atNewer].sameAs, -1);
    EXPECT_EQ(group.copies[atCopy].size, QFileInfo(system).size());
    EXPECT_FALSE(group.copies[atSystem].removable);
    EXPECT_TRUE(group.copies[atCopy].removable);

    // The shown rows: the system copy cannot be deleted, the user's copy can, after the
    // question "删除选中的字体" asks.
    QTreeWidgetItem* groupRow = window->duplicateTree->topLevelItem(0);
    ASSERT_EQ(groupRow->childCount(), 3);
    EXPECT_TRUE(groupRow->child(int(atNewer))->text(3).contains(QStringLiteral("使用中")));
    EXPECT_TRUE(groupRow->child(int(atSystem))->text(0).contains(system));
    window->duplicateTree->setCurrentItem(groupRow->child(int(atSystem)));
    EXPECT_FALSE(window->deleteButton->isEnabled());
    window->duplicateTree->setCurrentItem(groupRow->child(int(atCopy)));
    ASSERT_TRUE(window->deleteButton->isEnabled());
    dialogs.answers = {Dialogs::Answer::No};
    QTest::mouseClick(window->deleteButton, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("确实要删除字体“Twin Sans”吗？"));
    EXPECT_EQ(dialogs.messages()[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_TRUE(QFileInfo::exists(copy));

    dialogs.answers = {Dialogs::Answer::Yes, Dialogs::Answer::Yes};
    QTest::mouseClick(window->deleteButton, Qt::LeftButton);
    EXPECT_FALSE(QFileInfo::exists(copy));
    EXPECT_TRUE(QFileInfo::exists(qEnvironmentVariable("XDG_DATA_HOME") +
                                  QStringLiteral("/Trash/files/twin-copy.ttf")));
    ASSERT_EQ(window->groups().size(), 1);
    ASSERT_EQ(window->groups()[0].copies.size(), 2);
    const qsizetype left = window->groups()[0].copies[0].path == newer ? 0 : 1;
    window->duplicateTree->setCurrentItem(window->duplicateTree->topLevelItem(0)->child(int(left)));
    QTest::mouseClick(window->deleteButton, Qt::LeftButton);
    // The system copy stays, listed, and is no longer a duplicate.
    EXPECT_TRUE(window->groups().isEmpty());
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("Twin Sans")));
    EXPECT_TRUE(fcList().families.contains(QStringLiteral("Twin Sans")));
    QTest::mouseClick(window->backButton, Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());

    w.engls->trigger();
    w.findDuplicates->trigger();
    window = openWindow<DuplicateFontsWindow>(w);
    ASSERT_TRUE(window);
    EXPECT_EQ(shown::title(window), QStringLiteral("Duplicate Fonts"));
    EXPECT_EQ(window->duplicateTree->topLevelItem(0)->text(0),
              QStringLiteral("No duplicate fonts found."));
    window->back_Click();
}
