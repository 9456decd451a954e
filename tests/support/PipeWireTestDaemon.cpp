#include "PipeWireTestDaemon.h"

#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

PipeWireTestDaemon::PipeWireTestDaemon() : folder_(testenv::newFolder(QStringLiteral("pipewire"))) {
    for (const char* sub : {"run", "config", "state"})
        QDir().mkpath(folder_ + QLatin1Char('/') + QLatin1String(sub));
    QFile::setPermissions(folder_ + QStringLiteral("/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env_ = QProcessEnvironment::systemEnvironment();
    env_.insert(QStringLiteral("HOME"), folder_);
    env_.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder_ + QStringLiteral("/run"));
    env_.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_ + QStringLiteral("/config"));
    env_.insert(QStringLiteral("XDG_STATE_HOME"), folder_ + QStringLiteral("/state"));
    // The daemons read their own configuration from the system's data folder.
    env_.insert(QStringLiteral("XDG_DATA_DIRS"), QStringLiteral("/usr/share"));
    env_.remove(QStringLiteral("PIPEWIRE_REMOTE"));
    env_.remove(QStringLiteral("PIPEWIRE_RUNTIME_DIR"));

    pipewire_ = start(QStringLiteral("pipewire"), {});
    const QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(socketPath()) && !deadline.hasExpired())
        QThread::msleep(20);
    if (!QFileInfo::exists(socketPath()))
        return;
    wireplumber_ = start(QStringLiteral("wireplumber"), {});
    // Streams are linked only once the session manager is there.
    const qint64 manager = wireplumber_->processId();
    while (wireplumber_->state() == QProcess::Running && connectionsOf(manager) <= 0 &&
           !deadline.hasExpired())
        QThread::msleep(50);
    running_ = wireplumber_->state() == QProcess::Running && connectionsOf(manager) > 0;
}

PipeWireTestDaemon::~PipeWireTestDaemon() {
    auto end = [](std::unique_ptr<QProcess>& p) {
        if (!p || p->state() == QProcess::NotRunning)
            return;
        p->terminate();
        if (!p->waitForFinished(5000)) {
            p->kill();
            p->waitForFinished(2000);
        }
    };
    for (auto& p : producers_)
        end(p);
    end(wireplumber_);
    end(pipewire_);
}

QString PipeWireTestDaemon::socketPath() const {
    return folder_ + QStringLiteral("/run/pipewire-0");
}

int PipeWireTestDaemon::connection() const {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath());
    if (fd < 0 || std::size_t(path.size()) >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.constData(), path.size());
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

std::unique_ptr<QProcess> PipeWireTestDaemon::start(const QString& program,
                                                    const QStringList& arguments) {
    auto p = std::make_unique<QProcess>();
    p->setProcessEnvironment(env_);
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Nothing outlives a test program that dies on the way.
    p->setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    p->start(program, arguments);
    p->waitForStarted(5000);
    return p;
}

int PipeWireTestDaemon::startProducer(const QStringList& arguments) {
    auto p = start(QStringLiteral(VL_BUILD_DIR "/tests/screencast-producer"), arguments);
    QProcess& producer = *p;
    producers_.push_back(std::move(p));
    const QDeadlineTimer deadline(10000);
    QByteArray line;
    while (!deadline.hasExpired() && producer.state() == QProcess::Running) {
        if (producer.canReadLine() || producer.waitForReadyRead(100)) {
            line = producer.readLine().trimmed();
            if (line.startsWith("node "))
                return line.mid(5).toInt();
        }
    }
    return -1;
}

QJsonArray PipeWireTestDaemon::clients() const {
    QProcess dump;
    dump.setProcessEnvironment(env_);
    dump.start(QStringLiteral("pw-dump"), {});
    if (!dump.waitForFinished(10000))
        return {};
    QJsonArray found;
    for (const QJsonValue& v : QJsonDocument::fromJson(dump.readAllStandardOutput()).array())
        if (v.toObject().value(QStringLiteral("type")).toString() ==
            QLatin1String("PipeWire:Interface:Client"))
            found.append(v);
    return found;
}

int PipeWireTestDaemon::connectionsOf(qint64 pid) const {
    const QJsonArray all = clients();
    if (all.isEmpty())
        return -1;
    int held = 0;
    for (const QJsonValue& client : all) {
        // Set by the daemon from the socket's credentials, not by the client.
        const QJsonValue owner = client.toObject()
                                     .value(QStringLiteral("info"))
                                     .toObject()
                                     .value(QStringLiteral("props"))
                                     .toObject()
                                     .value(QStringLiteral("pipewire.sec.pid"));
        held += owner.toInteger() == pid;
    }
    return held;
}
