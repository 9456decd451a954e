#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

// A PipeWire daemon and its session manager (wireplumber) of the test's own, with runtime,
// configuration and state folders under the test's root, so that nothing of the machine's own
// sound or screen sharing is seen or touched. Producers started through it offer the known
// picture of support/screencast/ScreenCastProducer.cpp. Everything ends with the object.
class PipeWireTestDaemon final {
public:
    PipeWireTestDaemon();
    ~PipeWireTestDaemon();

    // Whether the daemon's socket came up.
    bool running() const { return running_; }
    QString socketPath() const;

    // Starts a producer (arguments as the producer takes them); returns its node id, or -1.
    int startProducer(const QStringList& arguments);
    // How many of the daemon's clients are alive: the daemon's own, the session manager, the
    // producers and any consumer still connected.
    int clientCount() const;

private:
    std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments);

    QString folder_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> pipewire_;
    std::unique_ptr<QProcess> wireplumber_;
    std::vector<std::unique_ptr<QProcess>> producers_;
    bool running_ = false;
};
