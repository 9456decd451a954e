#include "install/setupexe.h"
#include "../app/MainWindowHarness.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

setupexe* openSetupexe(frmfont& w) {
    w.fromexe_Click();
    return w.findChild<setupexe*>();
}

struct Texts {
    QString title, label, tip, browse, browseTip, setup, setupTip, back, backTip;
    bool operator==(const Texts&) const = default;
};

Texts textsOf(const setupexe& s) {
    return {s.windowTitle(),       s.Label1->text(),      s.Text1->toolTip(),
            s.Command1->text(),    s.Command1->toolTip(), s.Command2->text(),
            s.Command2->toolTip(), s.Command3->text(),    s.Command3->toolTip()};
}

} // namespace

TEST(SetupExe, TakesTheLanguageOfItsOpeningAndBrowsesForProgramsOfAnyName) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.setLanguage(QStringLiteral("c"));
    setupexe* win = openSetupexe(w);
    ASSERT_NE(win, nullptr);
    EXPECT_TRUE(w.isHidden());
    EXPECT_FALSE(win->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(
        textsOf(*win),
        (Texts{QStringLiteral("从EXE文件安装"), QStringLiteral("请选择欲安装的EXE文件路径："),
               QStringLiteral("在此输入路径"), QStringLiteral("浏览"), QStringLiteral("浏览文件"),
               QStringLiteral("安装"), QStringLiteral("调用选中的EXE安装字体"),
               QStringLiteral("返回"), QStringLiteral("返回主界面")}));

    h.p.dialogs.openFiles = {QStringLiteral("/opt/setup fonts/install"), QString()};
    win->Command1_Click();
    EXPECT_EQ(win->Text1->text(), QStringLiteral("/opt/setup fonts/install"));
    ASSERT_EQ(h.p.dialogs.shown.size(), 1);
    EXPECT_EQ(h.p.dialogs.shown[0].title, QStringLiteral("请选择要安装的EXE文件"));
    EXPECT_EQ(h.p.dialogs.shown[0].filters,
              (QStringList{QStringLiteral("*.exe (*.exe)"), QStringLiteral("所有文件 (*)")}));
    win->Text1->setText(QStringLiteral("typed by hand"));
    win->Command1_Click();
    EXPECT_EQ(win->Text1->text(), QStringLiteral("typed by hand"));

    // Back unloads it; the next opening takes the language of that moment.
    win->Command3_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(w.findChild<setupexe*>(), nullptr);
    EXPECT_FALSE(w.isHidden());
    w.setLanguage(QStringLiteral("e"));
    win = openSetupexe(w);
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->Text1->text(), QString());
    EXPECT_EQ(
        textsOf(*win),
        (Texts{QStringLiteral("Setup from EXE"), QStringLiteral("Please Type in EXE files path:"),
               QStringLiteral("Type in path"), QStringLiteral("Browse"), QStringLiteral("Browse"),
               QStringLiteral("Setup"), QStringLiteral("Shell EXE files to setup fonts"),
               QStringLiteral("Back"), QStringLiteral("Back")}));
    h.p.dialogs.clear();
    h.p.dialogs.openFiles = {QString()};
    win->Command1_Click();
    EXPECT_EQ(h.p.dialogs.shown[0].title, QStringLiteral("Browse"));
    EXPECT_EQ(h.p.dialogs.shown[0].filters,
              (QStringList{QStringLiteral("*.exe (*.exe)"), QStringLiteral("All files (*)")}));
}

TEST(SetupExe, StartsAProgramWhosePathHoldsSpacesWithoutWaiting) {
    MainWindowHarness h;
    h.p.shell.reallyStart = true;
    frmfont& w = h.start();
    const QString folder = testenv::newFolder(QStringLiteral("setup files"));
    const QString marker = folder + QStringLiteral("/marker");
    const QString script = testenv::writeFile(
        folder + QStringLiteral("/font setup"),
        "#!/bin/sh\nsleep 0.2\necho started \"$@\" > \"$(dirname \"$0\")/marker\"\n");
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    setupexe* win = openSetupexe(w);
    win->Text1->setText(script);
    win->Command2_Click();
    // The handler did not wait for the program.
    EXPECT_FALSE(QFileInfo::exists(marker));
    EXPECT_EQ(h.p.shell.startedCommands, QStringList{script});
    EXPECT_TRUE(h.p.dialogs.messages().isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 10000));
    EXPECT_EQ(testenv::readFile(marker), QByteArray("started\n"));
    EXPECT_TRUE(win->isVisible());

    // Followed by arguments, the longest leading part that names a file is the program.
    testenv::writeFile(folder + QStringLiteral("/font"), "");
    QFile::remove(marker);
    win->Text1->setText(script + QStringLiteral(" --x  \"a b\""));
    win->Command2_Click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 10000));
    EXPECT_EQ(testenv::readFile(marker), QByteArray("started --x a b\n"));
    EXPECT_TRUE(h.p.dialogs.messages().isEmpty());
}

TEST(SetupExe, ReportsEmptyFieldsAndStartsThatFailInTheCurrentLanguage) {
    MainWindowHarness h;
    h.p.shell.reallyStart = true;
    frmfont& w = h.start();
    w.setLanguage(QStringLiteral("c"));
    setupexe* win = openSetupexe(w);

    win->Command2_Click();
    ASSERT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(h.p.dialogs.messages()[0].text, QStringLiteral("未输入路径！"));
    EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("系统提示"));
    EXPECT_EQ(win->focusWidget(), win->Text1);
    EXPECT_TRUE(h.p.shell.startedCommands.isEmpty());

    const QString missing = testenv::root() + QStringLiteral("/no such setup");
    win->Text1->setText(missing);
    win->Command2_Click();
    ASSERT_EQ(h.p.dialogs.messages().size(), 2);
    EXPECT_EQ(h.p.dialogs.messages()[1].text, QStringLiteral("无法启动这个程序：\n") + missing);
    EXPECT_EQ(h.p.dialogs.messages()[1].title, QStringLiteral("系统提示"));
    // A file that is no program cannot start either; the window stays usable.
    const QString notProgram = testenv::writeFile(
        testenv::newFolder(QStringLiteral("plain")) + QStringLiteral("/readme"), "text");
    w.setLanguage(QStringLiteral("e"));
    win->Text1->setText(notProgram);
    win->Command2_Click();
    ASSERT_EQ(h.p.dialogs.messages().size(), 3);
    EXPECT_EQ(h.p.dialogs.messages()[2].text,
              QStringLiteral("The program could not be started:\n") + notProgram);
    EXPECT_EQ(h.p.dialogs.messages()[2].title, QStringLiteral("Tips"));
    EXPECT_TRUE(win->isVisible());
    EXPECT_TRUE(win->Command2->isEnabled());

    win->Text1->clear();
    win->Command2_Click();
    EXPECT_EQ(h.p.dialogs.messages()[3].text, QStringLiteral("No type in !"));
    EXPECT_EQ(h.p.dialogs.messages()[3].title, QStringLiteral("Tips"));
}
