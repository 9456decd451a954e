#include "app/HandedFiles.h"

#include <QApplication>
#include <QThread>

HandedFiles::HandedFiles(Take take, QObject* parent) : QObject(parent), take_(std::move(take)) {
    retry_.setInterval(100);
    connect(&retry_, &QTimer::timeout, this, &HandedFiles::passOn);
}

void HandedFiles::add(const QStringList& files) {
    waiting_.append(files);
    passOn();
}

void HandedFiles::open() {
    open_ = true;
    passOn();
}

void HandedFiles::passOn() {
    // While a list is being taken (its message box open), later ones wait for it to finish.
    if (!open_ || taking_)
        return;
    while (!waiting_.isEmpty()) {
        // A modal box's own event loop runs inside whatever opened it: acting there would open
        // windows under the box and pull the ground from under the code waiting for its answer.
        if (QApplication::activeModalWidget() || QThread::currentThread()->loopLevel() > 1) {
            retry_.start();
            return;
        }
        taking_ = true;
        take_(waiting_.takeFirst());
        taking_ = false;
    }
    retry_.stop();
}
