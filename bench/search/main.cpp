// The font file search on a large generated tree, timed from Start to the completion message
// (window) or around the bare walk (engine).
//
// usage: bench_search window|engine TREE [PATTERN]
// prints: seconds, matches, and for the window the longest time the window went without
// handling its events.
#include "../common/InstantDialogs.h"
#include "app/frmfont.h"
#include "install/FolderSearch.h"
#include "install/SearchResults.h"
#include "install/searchfont.h"
#include "platform/DesktopScreen.h"
#include "platform/DesktopShell.h"
#include "platform/Dialogs.h"
#include "platform/FontconfigFontSystem.h"
#include "platform/HotKey.h"
#include "platform/Network.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

class NoNetwork final : public Network {
public:
    QStringList phoneBook() override { return {}; }
    QStringList activeConnections() override { return {}; }
    Online online() override { return Online::Unknown; }
    bool connectTo(const QString&) override { return false; }
};

int runWindow(const QString& tree, const QString& pattern) {
    InstantDialogs dialogs;
    QElapsedTimer clock;
    qint64 messageAt = -1; // the completion message
    dialogs.onMessage = [&](const QString&) {
        if (messageAt < 0)
            messageAt = clock.nsecsElapsed();
    };
    DesktopShell shell;
    FontconfigFontSystem fonts;
    NoNetwork network;
    DesktopScreen screen;
    QTemporaryDir programFolder;
    ApplicationOnlyHotKey hotKey; // never started: the start-up sequence is not run
    frmfont main(Platform{dialogs, shell, fonts, network, screen, hotKey}, programFolder.path());
    main.searchfonts_Click();
    searchfont* window = main.findChild<searchfont*>();
    window->Text1->setText(tree.endsWith(QLatin1Char('/')) ? tree : tree + QLatin1Char('/'));
    window->Combo1->setEditText(pattern);

    // A timer that should tick every 5 ms: the longest pause between its ticks is how long
    // the window went without handling events.
    qint64 lastTick = 0, longestPause = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        longestPause = std::max(longestPause, now - lastTick);
        lastTick = now;
    });
    ticker.start();
    clock.start();
    window->Command1_Click();
    const qint64 now = messageAt;
    longestPause = std::max(longestPause, now - lastTick);
    std::printf("window %.3f s, %d matches, longest pause in event handling %.1f ms\n", now / 1e9,
                window->results()->count(), longestPause / 1e6);
    return window->results()->count() > 0 ? 0 : 1;
}

int runEngine(const QString& tree, const QString& pattern) {
    FolderSearch search;
    long matches = 0;
    search.found = [&](const QString&) { ++matches; };
    QElapsedTimer clock;
    clock.start();
    search.run(tree.endsWith(QLatin1Char('/')) ? tree : tree + QLatin1Char('/'), pattern);
    std::printf("engine %.3f s, %ld matches, %ld folders\n", clock.nsecsElapsed() / 1e9, matches,
                search.foldersRead());
    return matches > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s window|engine TREE [PATTERN]\n", argv[0]);
        return 2;
    }
    const QString mode = QString::fromLocal8Bit(argv[1]);
    const QString tree = QString::fromLocal8Bit(argv[2]);
    const QString pattern = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QStringLiteral("*.ttf");
    return mode == QLatin1String("engine") ? runEngine(tree, pattern) : runWindow(tree, pattern);
}
