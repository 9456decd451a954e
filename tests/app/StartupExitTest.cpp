#include "MainWindowHarness.h"
#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "catalogue/PreviewText.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(Startup, LeavesTheDesignedStateAfterLoading) {
    MainWindowHarness h;
    frmfont& w = h.make();
    ASSERT_TRUE(w.Form_Load());
    for (const char* name : {"infor", "ref", "ztxx", "jwdy", "zdll", "delfont", "delcfont"})
        EXPECT_FALSE(w.action(QString::fromLatin1(name))->isEnabled()) << name;
    for (const char* name : {"fromwenjian", "ztml", "mnuouthtml", "exitexe", "fdj", "aboutme"})
        EXPECT_TRUE(w.action(QString::fromLatin1(name))->isEnabled()) << name;
    EXPECT_FALSE(w.down->isChecked());
    EXPECT_FALSE(w.up->isChecked());
    EXPECT_TRUE(w.fori->isChecked());
    EXPECT_TRUE(w.mnupresave->isChecked());   // [Preview] save=1 in the installed file
    EXPECT_TRUE(w.mnuautocheck->isChecked()); // [Update] auto=1
    EXPECT_FALSE(w.mnupop->isChecked());      // [Link] popwindow=0
    EXPECT_TRUE(w.mnupop->isEnabled());       // [Link] mnupop=1
    EXPECT_TRUE(w.List1->isHidden());
    EXPECT_FALSE(w.List2->isHidden());
    EXPECT_FALSE(w.Command1->isHidden());
    EXPECT_TRUE(w.Command->isHidden());
    EXPECT_EQ(w.Command1->backColor(), QColor(Qt::white));
    EXPECT_EQ(w.pd->text(), QStringLiteral("n"));
    EXPECT_EQ(w.Label8->text(), QStringLiteral("n"));
    EXPECT_EQ(w.l->text(), QStringLiteral("c"));
    EXPECT_EQ(w.Labeldir->text(), testenv::userFontsFolder());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorlan字体管理"));
    EXPECT_TRUE(w.Timerload.isActive());
    EXPECT_EQ(w.Timerload.interval(), 10);
    // The caption read back exactly, blanks and all.
    EXPECT_EQ(w.Command3->caption(), QStringLiteral("   退出"));
    EXPECT_TRUE(h.p.dialogs.shown.isEmpty());
    // The hidden context menu is not in the menu bar.
    EXPECT_FALSE(w.menuBar()->actions().contains(w.xx));
}

TEST(Startup, ShowsTheOpeningMessageOnlyForOneAndBeforeTheWindow) {
    for (const QString& flag : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("")}) {
        MainWindowHarness h;
        h.set("Main", "ifopenmsg", flag);
        h.set("Main", "openmsg", QStringLiteral("欢迎使用"));
        frmfont& w = h.make();
        bool visibleDuringMessage = true;
        h.p.dialogs.onMessage = [&](const FakeDialogs::Shown&) {
            visibleDuringMessage = w.isVisible();
        };
        w.Form_Load();
        if (flag == QLatin1String("1")) {
            ASSERT_EQ(h.p.dialogs.messages().size(), 1);
            EXPECT_EQ(h.p.dialogs.messages()[0].text, QStringLiteral("欢迎使用"));
            EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("^_^"));
            EXPECT_EQ(h.p.dialogs.messages()[0].icon, Dialogs::Icon::Information);
            EXPECT_FALSE(visibleDuringMessage);
        } else {
            EXPECT_TRUE(h.p.dialogs.messages().isEmpty()) << flag.toStdString();
        }
    }
}

TEST(Startup, RefusesWhenAnotherInstanceRunsBeforeAnythingElse) {
    MainWindowHarness h;
    h.set("Main", "ifopenmsg", QStringLiteral("1"));
    frmfont& w = h.make();
    w.anotherInstanceRunning = [] { return true; };
    EXPECT_FALSE(w.Form_Load());
    ASSERT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(h.p.dialogs.messages()[0].text,
              QStringLiteral("本程序不允许运行多次，请关闭后再试。"));
    EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("系统提示"));
    EXPECT_FALSE(w.Timerload.isActive());
}

TEST(Startup, MissingOrGarbageConfigStartsWithTheDefaults) {
    QByteArray binary;
    for (int i = 0; i < 2048; ++i)
        binary += static_cast<char>(i * 7);
    QByteArray nulls("[Main]\0language=c\0\0\0[Preview]\0size=99999\0", 40);
    const QByteArray longLine = "[Main]\r\nmaincaption=" + QByteArray(1024 * 1024, 'A') + "\r\n";
    const QByteArray notGb = "[Main]\r\nmaincaption=\xFF\xFF\x80\r\n[Preview]\r\nsize=abc\r\n";
    const QList<QByteArray> files = {binary, nulls, longLine, notGb};
    for (const QByteArray& bytes : files) {
        MainWindowHarness h;
        testenv::writeFile(h.config(), bytes);
        frmfont& w = h.make();
        ASSERT_TRUE(w.Form_Load());
        w.Timerload_Timer();
        w.Command1_Click();
        EXPECT_TRUE(h.p.dialogs.shown.isEmpty());
        EXPECT_EQ(w.presize, 0);
        EXPECT_EQ(w.Label2->pointSize(), 12);
        EXPECT_LE(w.windowTitle().size(), 254);
        w.exitexe_Click();
        EXPECT_EQ(h.ends, 1);
    }
    // A config.ini that cannot be read or written (here a folder of that name) loses the
    // settings, nothing else.
    MainWindowHarness unusable(false);
    QDir().mkpath(unusable.config());
    frmfont& u = unusable.make();
    ASSERT_TRUE(u.Form_Load());
    u.Timerload_Timer();
    u.Command1_Click();
    u.sbig_Click();
    u.exitSequence();
    EXPECT_EQ(unusable.ends, 1);
    EXPECT_TRUE(QFileInfo(unusable.config()).isDir());

    MainWindowHarness missing(false);
    frmfont& w = missing.make();
    ASSERT_TRUE(w.Form_Load());
    EXPECT_EQ(w.windowTitle(), QString());
    EXPECT_EQ(w.language(), QString());
    EXPECT_FALSE(w.mnuautocheck->isChecked());
    EXPECT_FALSE(w.mnupresave->isChecked());
    EXPECT_FALSE(w.mnupop->isEnabled());
    EXPECT_TRUE(missing.p.dialogs.shown.isEmpty());
}

TEST(Exit, RunsEveryStepInOrderFromEachWayOut) {
    enum class Way { Menu, Button, Close };
    for (Way way : {Way::Menu, Way::Button, Way::Close}) {
        MainWindowHarness h;
        h.set("Link", "popwindow", QStringLiteral("1"));
        h.set("Link", "poplink", QStringLiteral("https://example.org/bye"));
        h.set("Main", "ifclosemsg", QStringLiteral("1"));
        h.set("Main", "closemsg", QStringLiteral("再见"));
        frmfont& w = h.start();
        w.engls_Click();
        QStringList order;
        h.p.dialogs.onMessage = [&](const FakeDialogs::Shown& s) {
            order << QStringLiteral("message:") + s.title + QLatin1Char(':') +
                         QString::number(h.p.shell.openedAddresses.size()) + QLatin1Char(':') +
                         h.get("Main", "language");
        };
        if (way == Way::Menu)
            w.exitexe->trigger();
        else if (way == Way::Button)
            QTest::mouseClick(w.Command3, Qt::LeftButton);
        else
            w.close();
        // The page was opened before the message; the flag was stored after it.
        EXPECT_EQ(order, QStringList{QStringLiteral("message:Thanks:1:c")});
        EXPECT_EQ(h.p.shell.openedAddresses,
                  QStringList{QStringLiteral("https://example.org/bye")});
        EXPECT_EQ(h.get("Main", "language"), QStringLiteral("e"));
        EXPECT_EQ(h.ends, 1);
    }
}

TEST(Exit, OnlyExactlyOneOpensThePageAndOnlyWebAddressesAreHandedOn) {
    struct Case {
        QString popwindow;
        QString poplink;
        QStringList opened;
    };
    const QList<Case> cases = {
        {QStringLiteral("1"), QString(), {}},
        {QStringLiteral("01"), QStringLiteral("http://a.example/"), {}},
        {QStringLiteral("2"), QStringLiteral("http://a.example/"), {}},
        {QStringLiteral("1"), QStringLiteral("file:///etc/passwd"), {}},
        {QStringLiteral("1"), QStringLiteral("/usr/bin/xterm"), {}},
        {QStringLiteral("1"),
         QStringLiteral("mailto:a@b.example"),
         {QStringLiteral("mailto:a@b.example")}},
    };
    for (const Case& c : cases) {
        MainWindowHarness h;
        h.set("Link", "popwindow", c.popwindow);
        h.set("Link", "poplink", c.poplink);
        h.set("Main", "ifclosemsg", QStringLiteral("1"));
        frmfont& w = h.start();
        w.exitSequence();
        EXPECT_EQ(h.p.shell.openedAddresses, c.opened) << c.poplink.toStdString();
        EXPECT_EQ(h.p.dialogs.messages().size(), 1);
        EXPECT_EQ(h.get("Main", "language"), QStringLiteral("c"));
    }
}

TEST(MainWindow, ScrollingTextOpensOnlyWebAddressesWhenItTakesTheFocus) {
    MainWindowHarness h;
    h.set("Link", "mctext", QStringLiteral("新版本发布"));
    h.set("Link", "mccolor", QStringLiteral("255"));
    h.set("Link", "mctp", QStringLiteral("点击访问"));
    h.set("Link", "mclink", QStringLiteral("http://www.example.org/news"));
    frmfont& w = h.start();
    EXPECT_EQ(w.MovingText1->msgchar(), QStringLiteral("新版本发布"));
    EXPECT_EQ(w.MovingText1->charcolor(), 255);
    EXPECT_EQ(w.MovingText1->toolTip(), QStringLiteral("点击访问"));
    EXPECT_EQ(w.MovingText1->accessibleName(), QStringLiteral("新版本发布"));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    w.Command3->setFocus();
    ASSERT_TRUE(h.p.shell.openedAddresses.isEmpty()); // the window coming up opened nothing
    QTest::mouseClick(w.MovingText1, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.p.shell.openedAddresses.size() == 1; }, 5000));
    EXPECT_EQ(h.p.shell.openedAddresses[0], QStringLiteral("http://www.example.org/news"));

    w.mclink = QStringLiteral("file:///bin/sh");
    w.Command3->setFocus();
    QTest::keyClick(w.Command3, Qt::Key_Tab); // Tab onto the line
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.MovingText1->hasFocus(); }, 5000));
    EXPECT_EQ(h.p.shell.openedAddresses.size(), 1);
    EXPECT_EQ(h.p.shell.refusedAddresses, QStringList{QStringLiteral("file:///bin/sh")});

    // The window coming back to the front returns the focus without a click: nothing opens.
    w.mclink = QStringLiteral("http://www.example.org/news");
    w.Command3->setFocus();
    w.MovingText1->setFocus(Qt::ActiveWindowFocusReason);
    w.MovingText1->setFocus(Qt::PopupFocusReason);
    EXPECT_EQ(h.p.shell.openedAddresses.size(), 1);
    EXPECT_EQ(h.p.shell.refusedAddresses.size(), 1);
    w.hide();
}
