#pragma once

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <functional>

// Files given to the program (its command line, a hand-over from another process), passed on to
// the main window once it can take them: after start-up, and never while a modal box (the
// start-up message, a question) or another nested event loop waits for its answer. Until then
// each list is kept, in the order it came.
class HandedFiles final : public QObject {
    Q_OBJECT
public:
    using Take = std::function<void(const QStringList& files)>;
    explicit HandedFiles(Take take, QObject* parent = nullptr);

    void add(const QStringList& files);
    // Start-up is over: what came meanwhile is passed on now.
    void open();

private:
    void passOn();

    Take take_;
    QList<QStringList> waiting_;
    bool open_ = false;
    bool taking_ = false;
    QTimer retry_; // looks again while a box is open
};
