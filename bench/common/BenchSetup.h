#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <vector>

// What the benchmarks that run the main window share.
namespace bench {

// The middle of the measured values; -1 when nothing was measured.
inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// A program folder in dir holding the shipped config.ini without the automatic update check,
// so that no benchmark reaches for the network.
inline QString programFolder(QTemporaryDir& dir) {
    QFile source(QStringLiteral(VL_SOURCE_DIR "/dist/config.ini"));
    source.open(QIODevice::ReadOnly);
    QByteArray config = source.readAll();
    config.replace("auto=1", "auto=0");
    QFile target(dir.path() + QStringLiteral("/config.ini"));
    target.open(QIODevice::WriteOnly);
    target.write(config);
    return dir.path();
}

// The desktop's platform with dialogs that answer at once.
inline Platform withDialogs(const Platform& desktop, Dialogs& dialogs) {
    return Platform{dialogs,         desktop.shell,  desktop.fonts,
                    desktop.network, desktop.screen, desktop.hotKey};
}

} // namespace bench
