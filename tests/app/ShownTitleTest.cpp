// The titles the desktop shows for the program's windows and message boxes.
#include "MainWindowHarness.h"
#include "ShownWindows.h"
#include "app/SingleInstance.h"
#include "app/settings/IniFile.h"
#include "install/setupexe.h"
#include "platform/QtDialogs.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

TEST(ShownTitle, EveryWindowAndMessageCarriesExactlyItsCaption) {
    QtDialogs realDialogs;
    MainWindowHarness h;
    h.dialogs = &realDialogs;
    h.set("Main", "language", QStringLiteral("c"));
    h.set("Main", "maincaption", QStringLiteral("Vorlan字体管理"));
    frmfont& w = h.start();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    EXPECT_EQ(w.windowHandle()->title(), QStringLiteral("Vorlan字体管理"));
    EXPECT_EQ(shown::title(&w), QStringLiteral("Vorlan字体管理"));

    w.fromexe->trigger();
    auto* setup = w.findChild<setupexe*>();
    ASSERT_NE(setup, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(setup));
    EXPECT_EQ(shown::title(setup), QStringLiteral("从EXE文件安装"));

    // "安装" with an empty path: a real message box, answered from the keyboard.
    QString boxTitle;
    shown::answerNextDialog([&](QWidget* box) { boxTitle = shown::title(box); });
    QTest::mouseClick(setup->Command2, Qt::LeftButton);
    EXPECT_EQ(boxTitle, QStringLiteral("系统提示"));
    setup->Command3_Click();

    // An empty configured caption is an empty title bar, not the program's name.
    MainWindowHarness empty;
    empty.set("Main", "maincaption", QString());
    frmfont& e = empty.start();
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    EXPECT_EQ(shown::title(&e), QString());
    e.setWindowTitle(QStringLiteral("x"));
    e.setWindowTitle(QString());
    EXPECT_EQ(shown::title(&e), QString());
}

TEST(ShownTitle, TheProgramAddsNothingToTheTitles) {
    auto run = [](const QString& caption, bool openingMessage) {
        const QString folder = testenv::newProgramFolder();
        QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                    folder + QStringLiteral("/vlfonts"));
        const QString config = folder + QStringLiteral("/config.ini");
        mfncWriteIni(QStringLiteral("Update"), QStringLiteral("auto"), QStringLiteral("0"), config);
        mfncWriteIni(QStringLiteral("Main"), QStringLiteral("maincaption"), caption, config);
        mfncWriteIni(QStringLiteral("Main"), QStringLiteral("ifopenmsg"),
                     openingMessage ? QStringLiteral("1") : QStringLiteral("0"), config);
        mfncWriteIni(QStringLiteral("Main"), QStringLiteral("openmsg"), QStringLiteral("你好"),
                     config);
        auto program = std::make_unique<QProcess>();
        program->start(folder + QStringLiteral("/vlfonts"), QStringList());
        EXPECT_TRUE(program->waitForStarted());
        return program;
    };
    auto firstWindow = [](const QProcess& program) {
        QStringList ids;
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return !(ids = shown::windowsOf(program.processId())).isEmpty(); }, 15000));
        return ids.value(0);
    };

    // The opening message comes before the main window.
    std::unique_ptr<QProcess> program = run(QStringLiteral("Vorlan字体管理"), true);
    EXPECT_EQ(shown::titleOf(firstWindow(*program)), QStringLiteral("^_^"));
    program->kill();
    program->waitForFinished();

    program = run(QStringLiteral("Vorlan字体管理"), false);
    EXPECT_EQ(shown::titleOf(firstWindow(*program)), QStringLiteral("Vorlan字体管理"));
    program->kill();
    program->waitForFinished();

    program = run(QString(), false);
    EXPECT_EQ(shown::titleOf(firstWindow(*program)), QString());
    program->kill();
    program->waitForFinished();
}

TEST(ShownTitle, WithoutAnXServerTheProgramComesUpWithItsEmptyCaption) {
    // No config.ini: an empty caption, which on X11 is written to the window's properties.
    const QString folder = testenv::newProgramFolder(false);
    ASSERT_TRUE(QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                            folder + QStringLiteral("/vlfonts")));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(folder + QStringLiteral("/vlfonts"), QStringList());
    ASSERT_TRUE(program.waitForStarted());
    // The running program takes a hand-over only from its event loop, after its window was
    // shown.
    SingleInstance instance(folder);
    bool handedOver = false;
    const QDeadlineTimer bound(60000);
    while (!handedOver && program.state() == QProcess::Running && !bound.hasExpired()) {
        handedOver = instance.handOver({testenv::spareFont()});
        if (!handedOver)
            QTest::qWait(50);
    }
    EXPECT_TRUE(handedOver);
    EXPECT_EQ(program.state(), QProcess::Running) << "exit code " << program.exitCode();
    program.kill();
    program.waitForFinished();
}
