// config.ini as an attacker or an unlucky user may leave it: a FIFO, a link to a device, a
// file of megabytes. The program starts with what it can read and overwrites nothing.
#include "MainWindowHarness.h"
#include "ShownWindows.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

bool isFifo(const QString& path) {
    struct stat info;
    return stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode);
}

// A valid config.ini of about megabytes MB: the installed one with a section of notes between
// [Main] and the rest, so that most keys lie behind them.
QByteArray bigConfig(int megabytes) {
    QByteArray installed = testenv::readFile(QStringLiteral(VL_SOURCE_DIR "/dist/config.ini"));
    QByteArray notes = "[Notes]\r\n";
    for (int i = 0; notes.size() < megabytes * 1000 * 1000; ++i)
        notes += "note" + QByteArray::number(i) + "=a note that nobody reads, kept by hand\r\n";
    const qsizetype preview = installed.indexOf("[Preview]");
    return installed.left(preview) + notes + installed.mid(preview);
}

// The ids of the shown windows of a process, through xdotool.
QStringList shownWindowsOf(qint64 pid) {
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--pid"), QString::number(pid)});
    xdotool.waitForFinished(5000);
    return QString::fromUtf8(xdotool.readAllStandardOutput())
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

} // namespace

TEST(HostileSettings, TheRealProgramComesUpWithAFifoOrALinkToDevZeroAsConfig) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    for (const bool fifo : {true, false}) {
        SCOPED_TRACE(fifo ? "FIFO" : "link to /dev/zero");
        const QString folder = testenv::newProgramFolder(false);
        const QString config = folder + QStringLiteral("/config.ini");
        ASSERT_TRUE(QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                                folder + QStringLiteral("/vlfonts")));
        if (fifo)
            ASSERT_EQ(mkfifo(QFile::encodeName(config).constData(), 0600), 0);
        else
            ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), config));

        QProcess program;
        program.setProgram(folder + QStringLiteral("/vlfonts"));
        program.start();
        ASSERT_TRUE(program.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        bool shown = false;
        while (!shown && clock.elapsed() < 20000 && program.state() == QProcess::Running) {
            QTest::qWait(100);
            shown = !shownWindowsOf(program.processId()).isEmpty();
        }
        EXPECT_TRUE(shown) << "no window within 20 s";
        program.kill();
        program.waitForFinished();
        if (fifo)
            EXPECT_TRUE(isFifo(config));
        else
            EXPECT_EQ(QFileInfo(config).symLinkTarget(), QStringLiteral("/dev/zero"));
    }
}

TEST(HostileSettings, AnUnreadableConfigGivesTheDefaultsAndIsNeverWrittenOver) {
    MainWindowHarness h(false);
    ASSERT_EQ(mkfifo(QFile::encodeName(h.config()).constData(), 0600), 0);
    frmfont& w = h.make();
    ASSERT_TRUE(w.Form_Load());
    w.Timerload_Timer();
    w.Command1_Click();
    EXPECT_EQ(w.windowTitle(), QString());
    EXPECT_EQ(w.language(), QString());
    EXPECT_FALSE(w.mnuautocheck->isChecked());
    // Settings changed and the exit that stores the language: all refused.
    w.mnupresave_Click();
    w.sbig_Click();
    w.setLanguage(QStringLiteral("e"));
    w.exitSequence();
    EXPECT_EQ(h.ends, 1);
    EXPECT_TRUE(isFifo(h.config()));
    EXPECT_EQ(QDir(h.folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                       QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("config.ini")});
}

TEST(HostileSettings, AFiveMegabyteConfigIsReadAndKeptWholeByWrites) {
    MainWindowHarness h;
    const QByteArray big = bigConfig(5);
    testenv::writeFile(h.config(), big);
    frmfont& w = h.make();
    ASSERT_TRUE(w.Form_Load());
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorlan字体管理"));
    EXPECT_EQ(w.language(), QStringLiteral("c"));
    EXPECT_TRUE(w.mnupresave->isChecked()); // [Preview], behind the notes
    EXPECT_TRUE(w.mnupop->isEnabled());     // [Link]
    w.setLanguage(QStringLiteral("e"));
    w.exitSequence();
    QByteArray expected = big;
    expected.replace("language=c\r\n", "language=e\r\n");
    EXPECT_EQ(testenv::readFile(h.config()), expected);
}

TEST(HostileSettings, AStartUpMessageThatLooksLikeMarkupIsShownAsText) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        GTEST_SKIP() << "needs an X display (run under xvfb-run)";
    const QString fifo = testenv::newFolder(QStringLiteral("fifo")) + QStringLiteral("/picture");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    // As a descriptor leaves them in config.ini: an image that never ends, one that never comes.
    for (const QString& message : {QStringLiteral("<img src=\"/dev/zero\">"),
                                   QStringLiteral("<img src=") + fifo + QLatin1Char('>')}) {
        SCOPED_TRACE(message.toStdString());
        const QString folder = testenv::newProgramFolder();
        ASSERT_TRUE(QFile::copy(testenv::binFolder() + QStringLiteral("/vlfonts"),
                                folder + QStringLiteral("/vlfonts")));
        const QString config = folder + QStringLiteral("/config.ini");
        mfncWriteIni(QStringLiteral("Main"), QStringLiteral("ifopenmsg"), QStringLiteral("1"),
                     config);
        mfncWriteIni(QStringLiteral("Main"), QStringLiteral("openmsg"), message, config);
        mfncWriteIni(QStringLiteral("Update"), QStringLiteral("auto"), QStringLiteral("0"), config);

        QProcess program;
        // Should the image be read after all, the program runs out of its own memory, not the
        // machine's.
        program.setChildProcessModifier([] {
            const rlimit limit{4UL << 30, 4UL << 30};
            setrlimit(RLIMIT_AS, &limit);
        });
        program.start(folder + QStringLiteral("/vlfonts"), QStringList());
        ASSERT_TRUE(program.waitForStarted());
        QString title;
        const QDeadlineTimer bound(20000);
        while (title.isEmpty() && program.state() == QProcess::Running && !bound.hasExpired()) {
            QTest::qWait(100);
            const QStringList windows = shown::windowsOf(program.processId());
            if (!windows.isEmpty())
                title = shown::titleOf(windows.first());
        }
        EXPECT_EQ(title, QStringLiteral("^_^"));
        EXPECT_EQ(program.state(), QProcess::Running);
        program.kill();
        program.waitForFinished();
        EXPECT_TRUE(isFifo(fifo));
    }
}
