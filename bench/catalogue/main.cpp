// The font list against the real fontconfig: filling List1, one selection with the preview
// repainted, refresh, and (mode "startup") the time from process start to the list shown after
// "获取系统字体" with the Chinese count text in the preview line.
#include "../common/BenchSetup.h"
#include "app/InterfaceFonts.h"
#include "app/controls/FontListView.h"
#include "app/frmfont.h"
#include "app/settings/ProgramFolder.h"
#include "catalogue/PreviewText.h"
#include "platform/DesktopPlatform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <unistd.h>

namespace {

// Milliseconds since this process started, from /proc.
double sinceProcessStart() {
    std::ifstream stat("/proc/self/stat");
    std::string field;
    unsigned long long startTicks = 0;
    for (int i = 1; i <= 22 && stat >> field; ++i)
        if (i == 22)
            startTicks = std::stoull(field);
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

} // namespace

int main(int argc, char** argv) {
    const bool startupMode = argc > 1 && QByteArray(argv[1]) == "startup";
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces();
    QApplication app(argc, argv);
    applyInterfaceFonts();
    QTemporaryDir dir;
    DesktopPlatform desktop;
    frmfont w(desktop.platform(), bench::programFolder(dir));
    w.endProgram = [] {};
    w.Form_Load();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;

    if (startupMode) {
        w.Timerload_Timer();
        w.Command1_Click();
        w.List1->repaint();
        w.Label2->repaint();
        std::printf("%.1f\n", sinceProcessStart());
        return 0;
    }

    // The fill names every family in the interface language and sorts the list by collation:
    // Chinese names in pinyin order in Chinese, English names without regard to case in English.
    const auto timedFills = [&] {
        std::vector<double> times;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            w.Timerload_Timer();
            w.List1->repaint();
            times.push_back(t.nsecsElapsed() / 1e6);
        }
        return bench::median(times);
    };
    w.setLanguage(QStringLiteral("e"));
    const double englishFill = timedFills();
    w.setLanguage(QStringLiteral("c"));
    const double chineseFill = timedFills();
    int chineseNames = 0;
    for (int row = 0; row < w.List1->count(); ++row)
        chineseNames += w.List1->text(row).startsWith(QStringLiteral("基准体")) ? 1 : 0;
    w.Command1_Click();
    QApplication::processEvents();

    // Each selection is of a family never drawn before in this process.
    std::vector<double> selections;
    const int count = w.List1->count();
    for (int i = 0; i < 25; ++i) {
        const int row = (i * 7919 + 13) % count;
        QElapsedTimer t;
        t.start();
        w.List1->setCurrentRow(row);
        w.Label6->repaint();
        w.Label2->repaint();
        selections.push_back(t.nsecsElapsed() / 1e6);
    }

    std::vector<double> refreshes;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer t;
        t.start();
        w.ref_Click();
        w.List1->repaint();
        w.Label2->repaint();
        refreshes.push_back(t.nsecsElapsed() / 1e6);
    }
    std::printf("families %d (%d by a Chinese name): fill %.1f ms in Chinese, %.1f ms in English, "
                "selection %.2f ms, refresh %.1f ms (medians)\n",
                count, chineseNames, chineseFill, englishFill, bench::median(selections),
                bench::median(refreshes));
    return 0;
}
