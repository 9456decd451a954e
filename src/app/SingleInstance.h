#pragma once

#include <QLocalServer>
#include <QString>

// One running vlfonts per user and program folder. The first instance listens on a local
// socket; a later one finds it answering and refuses to start. A name left behind by a crashed
// instance answers nobody, and is reclaimed.
class SingleInstance final {
public:
    explicit SingleInstance(const QString& programFolder);

    // True when another instance is running; otherwise this one now holds the name.
    bool anotherIsRunning();
    QString serverName() const { return name_; }

private:
    QString name_;
    QLocalServer server_;
};
