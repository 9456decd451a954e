// The magnifier fed by a screen-cast stream, as on Wayland: the process's processor time per
// second while the magnifier shows a 1920x1080 stream at its 50 ms tick, against the same main
// window without it, and the delay from a frame's making to the magnified picture showing it.
// Usage: bench_magnifier-stream SOCKET NODE [SECONDS]; run.sh starts the daemon and producer
// (which stamps each frame's time into the pixels at the pointer).
#include "../common/InstantDialogs.h"
#include "app/InterfaceFonts.h"
#include "app/frmfont.h"
#include "platform/DesktopPlatform.h"
#include "platform/screencast/ScreenCastStream.h"
#include "tools/fzfd.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

// The stream's pointer and picture, as the Wayland screen gives them once the portal granted.
class StreamScreen final : public Screen {
public:
    explicit StreamScreen(ScreenCastStream& stream) : stream_(stream) {}
    QPoint pointer() override { return stream_.pointer().value_or(QPoint()); }
    std::optional<QImage> grab(const QRect& rect) override { return stream_.copy(rect); }

private:
    ScreenCastStream& stream_;
};

double processSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return use.ru_utime.tv_sec + use.ru_stime.tv_sec +
           (use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

std::uint64_t monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::uint64_t(now.tv_sec) * 1000000000u + now.tv_nsec;
}

int connectTo(const QByteArray& path) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", path.constData());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        return -1;
    return fd;
}

// Processor time of this process per second of wall time, over seconds of the event loop.
double cpuShare(int seconds) {
    const double before = processSeconds();
    QTest::qWait(seconds * 1000);
    return (processSeconds() - before) / seconds;
}

} // namespace

int main(int argc, char** argv) {
    FontconfigFontSystem::showToolkitOnlyInterfaceFaces();
    QApplication app(argc, argv);
    applyInterfaceFonts();
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SOCKET NODE [SECONDS]\n", argv[0]);
        return 2;
    }
    const int seconds = argc > 3 ? std::atoi(argv[3]) : 10;
    QTemporaryDir dir;
    QFile::copy(QStringLiteral(VL_SOURCE_DIR "/dist/config.ini"),
                dir.filePath(QStringLiteral("config.ini")));
    QFile::setPermissions(dir.filePath(QStringLiteral("config.ini")),
                          QFile::ReadOwner | QFile::WriteOwner);

    DesktopPlatform desktop;
    InstantDialogs dialogs;
    ScreenCastStream stream;
    StreamScreen screen(stream);
    Platform platform = desktop.platform();
    Platform fed{dialogs,          platform.shell, platform.fonts,
                 platform.network, screen,         platform.hotKey};
    frmfont w(fed, dir.path());
    w.endProgram = [] {};
    w.Form_Load();
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    w.Timerload_Timer();
    const double idle = cpuShare(seconds / 2);

    if (!stream.start(connectTo(QByteArray(argv[1])), std::atoi(argv[2])) ||
        !QTest::qWaitFor([&] { return stream.progress().frames > 0; }, 10000)) {
        std::fprintf(stderr, "no frames from the stream\n");
        return 1;
    }
    w.fdj_Click();
    auto* magnifier = w.findChild<fzfd*>();
    if (!magnifier)
        return 1;
    while (w.Timerfdj.isActive())
        w.Timerfdj_Timer();

    // After each tick: the frame's time, one byte per enlarged pixel in the red channel where
    // the pointer's point lands (100, 40).
    std::vector<double> delays;
    QObject::connect(&magnifier->Timer1, &QTimer::timeout, [&] {
        const QImage& frame = magnifier->frame();
        if (frame.width() < 116 || frame.height() < 41)
            return;
        std::uint64_t made = 0;
        for (int i = 0; i < 8; ++i)
            made |= std::uint64_t(qRed(frame.pixel(100 + 2 * i, 40))) << (8 * i);
        const std::uint64_t now = monotonicNs();
        if (made > 0 && made <= now)
            delays.push_back((now - made) / 1e6);
    });
    const QSize size = stream.frameSize();
    const double open = cpuShare(seconds);
    const std::uint64_t frames = stream.progress().frames;
    magnifier->exit_Click();
    stream.stop();

    std::sort(delays.begin(), delays.end());
    auto at = [&](double q) {
        return delays.empty() ? -1.0 : delays[size_t(q * (delays.size() - 1))];
    };
    std::printf("stream %dx%d, %llu frames in %d s; magnifier tick 50 ms\n", size.width(),
                size.height(), static_cast<unsigned long long>(frames), seconds);
    std::printf("processor: %.1f %% of one core with the magnifier open, %.1f %% without "
                "(the magnifier's share: %.1f %%; goal under 5 %%)\n",
                open * 100, idle * 100, (open - idle) * 100);
    std::printf("frame to magnified picture: median %.1f ms, 95th percentile %.1f ms, max %.1f "
                "ms (%zu ticks)\n",
                at(0.5), at(0.95), at(1.0), delays.size());
    return (open - idle) < 0.05 ? 0 : 1;
}
