#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

class QLocalSocket;

// One running vlfonts per user and program folder. The first instance listens on a local
// socket in a folder where only this user may create files; a later one finds it answering and
// refuses to start, or hands it the font files it was asked to open ("Open with" in a file
// manager) and ends. Only a socket of this user, answered by a process of this user, is talked
// to: a name left behind by a crashed instance, or put there by anyone else, is reclaimed.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);

    // True when another instance is running; otherwise this one now holds the name.
    bool anotherIsRunning();
    // Gives files to the running instance; true once it has taken them.
    bool handOver(const QStringList& files);
    // The socket's full path.
    QString serverName() const { return name_; }

    // The command-line arguments that name files, as absolute paths.
    static QStringList fileArguments(const QStringList& arguments);

    // How long a connection may take to hand its files over before it is dropped, and how many
    // are served at once: connections that never say anything must not use up the files this
    // process may open, or it could no longer take new ones.
    static constexpr int kWaitMs = 3000;
    static constexpr int kMaxConnections = 32;

signals:
    // Another process handed these files to this instance.
    void filesHandedOver(const QStringList& files);

private:
    void receive();
    // Connects socket to a running instance of this user; false when none answers.
    bool connectToRunning(QLocalSocket& socket, int waitMs) const;

    QString name_;
    int connections_ = 0; // served now; before server_, which ends them when it goes
    QLocalServer server_;
};
