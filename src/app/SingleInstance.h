#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

// One running vlfonts per user and program folder. The first instance listens on a local
// socket; a later one finds it answering and refuses to start, or hands it the font files it
// was asked to open ("Open with" in a file manager) and ends. A name left behind by a crashed
// instance answers nobody, and is reclaimed.
class SingleInstance final : public QObject {
    Q_OBJECT
public:
    explicit SingleInstance(const QString& programFolder, QObject* parent = nullptr);

    // True when another instance is running; otherwise this one now holds the name.
    bool anotherIsRunning();
    // Gives files to the running instance; true once it has taken them.
    bool handOver(const QStringList& files);
    QString serverName() const { return name_; }

    // The command-line arguments that name files, as absolute paths.
    static QStringList fileArguments(const QStringList& arguments);

signals:
    // Another process handed these files to this instance.
    void filesHandedOver(const QStringList& files);

private:
    void receive();

    QString name_;
    QLocalServer server_;
};
