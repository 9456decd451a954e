#pragma once

#include <QJsonArray>
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
    // A fresh connection to the daemon, as a screen-cast portal hands one over; -1 on failure.
    int connection() const;

    // Starts a producer (arguments as the producer takes them); returns its node id, or -1.
    int startProducer(const QStringList& arguments);
    // How many connections to the daemon the process pid holds (-1 when the daemon cannot
    // be asked).
    int connectionsOf(qint64 pid) const;

private:
    // The daemon's clients as it lists them.
    QJsonArray clients() const;
    std::unique_ptr<QProcess> start(const QString& program, const QStringList& arguments);

    QString folder_;
    QProcessEnvironment env_;
    std::unique_ptr<QProcess> pipewire_;
    std::unique_ptr<QProcess> wireplumber_;
    std::vector<std::unique_ptr<QProcess>> producers_;
    bool running_ = false;
};
