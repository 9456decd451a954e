#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "catalogue/PreviewText.h"
#include "install/setupfon.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <gtest/gtest.h>

namespace {

QStringList userFolderEntries() {
    return QDir(testenv::userFontsFolder())
        .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
}

// Takes every installed link out again, so that each test starts with no user fonts.
struct CleanUserFonts {
    ~CleanUserFonts() {
        FontconfigFontSystem fonts;
        for (const QString& name : userFolderEntries())
            QFile::remove(testenv::userFontsFolder() + QLatin1Char('/') + name);
        fonts.rescan();
    }
};

setupfon* openSetupfon(frmfont& w) {
    w.fromwenjian_Click();
    return w.findChild<setupfon*>();
}

void unloadDeleted() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void selectFamily(frmfont& w, const QString& family) {
    const int row = w.List1->row(family);
    ASSERT_GE(row, 0) << family.toStdString();
    w.List1->setCurrentRow(row);
    w.List1_Click();
}

} // namespace

TEST(InstallFromFile, LinksTheFileAndTheRefreshedListDrawsTheNewFamily) {
    CleanUserFonts clean;
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    w.setLanguage(QStringLiteral("e")); // the window is Chinese whatever the language
    const QStringList before = entries(w.List1);
    ASSERT_FALSE(before.contains(QStringLiteral("DejaVu Serif")));

    w.show();
    setupfon* win = openSetupfon(w);
    ASSERT_NE(win, nullptr);
    EXPECT_TRUE(win->isVisible());
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(win->windowTitle(), QStringLiteral("从字体文件安装"));
    EXPECT_EQ(win->Label1->text(), QStringLiteral("请选择欲安装字体的路径："));
    EXPECT_EQ(win->Text1->text(), QString());
    EXPECT_EQ(win->Text1->toolTip(), QStringLiteral("在此输入字体路径"));
    EXPECT_EQ(win->Command1->text(), QStringLiteral("浏览"));
    EXPECT_EQ(win->Command1->toolTip(), QStringLiteral("浏览文件"));
    EXPECT_EQ(win->Command2->text(), QStringLiteral("安装"));
    EXPECT_EQ(win->Command2->toolTip(), QStringLiteral("将选中的字体文件安装到计算机"));
    EXPECT_EQ(win->Command3->text(), QStringLiteral("返回"));
    EXPECT_EQ(win->Command3->toolTip(), QStringLiteral("返回主界面"));
    EXPECT_FALSE(win->windowFlags() & Qt::WindowCloseButtonHint);

    // Browse: the three designed filters first, then OpenType, every font file and archives;
    // a cancelled dialog leaves typed text alone.
    h.p.dialogs.openFiles = {testenv::spareFont(), QString()};
    win->Command1_Click();
    EXPECT_EQ(win->Text1->text(), testenv::spareFont());
    ASSERT_EQ(h.p.dialogs.shown.size(), 1);
    EXPECT_EQ(h.p.dialogs.shown[0].kind, QStringLiteral("open"));
    EXPECT_EQ(h.p.dialogs.shown[0].title, QStringLiteral("请选择要安装的字体文件"));
    EXPECT_EQ(h.p.dialogs.shown[0].filters,
              (QStringList{"*.ttf (*.ttf)", "*.fon (*.fon)", "*.ttc (*.ttc)", "*.otf (*.otf)",
                           "*.otc (*.otc)",
                           "所有字体文件 (*.ttf *.ttc *.otf *.otc *.pfb *.pcf *.pcf.gz *.woff "
                           "*.woff2 *.fon)",
                           "字体压缩包 (*.zip *.tar.gz *.tar.xz *.7z)"}));
    win->Text1->setText(QStringLiteral("typed"));
    win->Command1_Click();
    EXPECT_EQ(win->Text1->text(), QStringLiteral("typed"));
    win->Text1->setText(testenv::spareFont());

    h.p.dialogs.clear();
    win->Command2_Click();
    ASSERT_EQ(h.p.dialogs.messageTexts(), QStringList{QStringLiteral("安装完成")});
    EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("系统提示"));
    EXPECT_EQ(h.p.dialogs.messages()[0].icon, Dialogs::Icon::Information);

    // A link in the user's fonts folder, the file itself neither copied nor moved.
    const QFileInfo link(testenv::userFontsFolder() + QStringLiteral("/DejaVuSerif.ttf"));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.symLinkTarget(), testenv::spareFont());
    EXPECT_TRUE(QFileInfo::exists(testenv::spareFont()));
    EXPECT_EQ(userFolderEntries(), QStringList{QStringLiteral("DejaVuSerif.ttf")});
    // The program can draw it at once; the list changes only when the user refreshes it.
    EXPECT_TRUE(QFontDatabase::families().contains(QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(entries(w.List1), before);

    win->Command3_Click();
    unloadDeleted();
    EXPECT_EQ(w.findChild<setupfon*>(), nullptr);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(entries(w.List1), before);

    w.ref_Click();
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("DejaVu Serif")));
    selectFamily(w, QStringLiteral("DejaVu Serif"));
    w.Label2->setText(QStringLiteral("Serif"));
    EXPECT_EQ(w.Label2->facesOfCharacters(), QStringList(5, QStringLiteral("DejaVu Serif")));

    // Each opening starts with an empty path field, in a new window (the first one is gone,
    // and the new one may well have its address).
    setupfon* again = openSetupfon(w);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Text1->text(), QString());
}

TEST(InstallFromFile, ReportsWhatCannotBeInstalledAndLinksNothing) {
    CleanUserFonts clean;
    MainWindowHarness h;
    frmfont& w = h.start();
    setupfon* win = openSetupfon(w);
    ASSERT_NE(win, nullptr);

    // Empty field: the designed message, the focus back in the field.
    win->Command2_Click();
    ASSERT_EQ(h.p.dialogs.messageTexts(), QStringList{QStringLiteral("未输入路径！")});
    EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("系统提示"));
    EXPECT_EQ(win->focusWidget(), win->Text1);

    const QString text = testenv::writeFile(testenv::newFolder(QStringLiteral("notfont")) +
                                                QStringLiteral("/letter.ttf"),
                                            "Dear reader, this is not a font.\n");
    const QString missing = testenv::root() + QStringLiteral("/nowhere/gone.ttf");
    const QString blankFirst = QLatin1Char(' ') + testenv::spareFont();
    for (const QString& path : {text, missing, blankFirst}) {
        h.p.dialogs.clear();
        win->Text1->setText(path);
        win->Command2_Click();
        ASSERT_EQ(h.p.dialogs.messages().size(), 1);
        const auto shown = h.p.dialogs.messages()[0];
        EXPECT_NE(shown.text, QStringLiteral("安装完成"));
        EXPECT_TRUE(shown.text.endsWith(QLatin1Char('\n') + path)) << shown.text.toStdString();
        EXPECT_TRUE(shown.text.startsWith(QStringLiteral("安装失败")));
        EXPECT_EQ(shown.title, QStringLiteral("系统提示"));
        EXPECT_TRUE(userFolderEntries().isEmpty()) << path.toStdString();
    }
}

TEST(InstallFromFile, UsesThePathAsTypedLeadingBlanksAndAll) {
    CleanUserFonts clean;
    MainWindowHarness h;
    frmfont& w = h.start();
    // A relative path names a file in the current folder, blank included.
    const QString folder = testenv::newFolder(QStringLiteral("cwd"));
    QFile::copy(testenv::spareFont(), folder + QStringLiteral("/ Serif copy.ttf"));
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    setupfon* win = openSetupfon(w);
    win->Text1->setText(QStringLiteral(" Serif copy.ttf"));
    win->Command2_Click();
    QDir::setCurrent(previous);
    EXPECT_EQ(h.p.dialogs.messageTexts(), QStringList{QStringLiteral("安装完成")});
    const QFileInfo link(testenv::userFontsFolder() + QStringLiteral("/ Serif copy.ttf"));
    EXPECT_TRUE(link.isSymLink());
    EXPECT_EQ(link.symLinkTarget(), folder + QStringLiteral("/ Serif copy.ttf"));
}

TEST(FontconfigFontSystem, InstallsByLinkKeepsNamesApartAndRemovesOnlyUserFonts) {
    CleanUserFonts clean;
    FontconfigFontSystem fonts;
    const QString user = testenv::userFontsFolder();
    EXPECT_EQ(fonts.userFontsFolder(), user);

    ASSERT_EQ(fonts.installFile(testenv::spareFont()), FontSystem::Result::Done);
    EXPECT_TRUE(fonts.families().contains(QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(fonts.familyFiles(QStringLiteral("DejaVu Serif")),
              QStringList{user + QStringLiteral("/DejaVuSerif.ttf")});
    // Installing the same file again adds no second link.
    EXPECT_EQ(fonts.installFile(testenv::spareFont()), FontSystem::Result::Done);
    EXPECT_EQ(userFolderEntries(), QStringList{QStringLiteral("DejaVuSerif.ttf")});
    // Another file of the same name gets a name of its own; the first link stays.
    const QString other =
        testenv::newFolder(QStringLiteral("other")) + QStringLiteral("/DejaVuSerif.ttf");
    QFile::copy(testenv::spareFontsFolder() + QStringLiteral("/DejaVuSerif-Bold.ttf"), other);
    EXPECT_EQ(fonts.installFile(other), FontSystem::Result::Done);
    EXPECT_EQ(QFileInfo(user + QStringLiteral("/DejaVuSerif-2.ttf")).symLinkTarget(), other);
    EXPECT_EQ(QFileInfo(user + QStringLiteral("/DejaVuSerif.ttf")).symLinkTarget(),
              testenv::spareFont());

    // A folder is no font; a system family is refused with nothing touched.
    EXPECT_EQ(fonts.installFile(testenv::spareFontsFolder()), FontSystem::Result::NotAFont);
    EXPECT_EQ(fonts.installFile(QString()), FontSystem::Result::NotFound);
    EXPECT_EQ(fonts.removeFamily(QStringLiteral("DejaVu Sans")), FontSystem::Result::Refused);
    EXPECT_TRUE(
        QFileInfo::exists(testenv::systemFontsFolder() + QStringLiteral("/DejaVuSans.ttf")));
    EXPECT_EQ(fonts.removeFamily(QStringLiteral("No Such Family")), FontSystem::Result::NotFound);

    // Removing takes the links away, leaves the files they point to, and fontconfig knows.
    EXPECT_EQ(fonts.removeFamily(QStringLiteral("DejaVu Serif")), FontSystem::Result::Done);
    EXPECT_TRUE(userFolderEntries().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(testenv::spareFont()));
    EXPECT_TRUE(QFileInfo::exists(other));
    EXPECT_FALSE(fonts.families().contains(QStringLiteral("DejaVu Serif")));

    // A user fonts folder that does not exist yet is made.
    ASSERT_TRUE(QDir(user).removeRecursively());
    EXPECT_EQ(fonts.installFile(testenv::spareFont()), FontSystem::Result::Done);
    EXPECT_TRUE(QFileInfo(user + QStringLiteral("/DejaVuSerif.ttf")).isSymLink());
}
