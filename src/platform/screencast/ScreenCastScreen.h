#pragma once

#include "platform/Screen.h"
#include "platform/portal/ScreenCastPortal.h"
#include "platform/screencast/ScreenCastStream.h"

#include <QDBusConnection>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The screen of a Wayland desktop, native or XWayland, where no client may read the screen or
// the pointer by itself: both come from the screen-cast portal's PipeWire stream. The screen
// counts as readable only once the stream has shown a picture that is not all black and
// carries the pointer's position; otherwise open() answers false and the window refuses.
class ScreenCastScreen final : public QObject, public Screen {
    Q_OBJECT
public:
    explicit ScreenCastScreen(QDBusConnection connection = QDBusConnection::sessionBus(),
                              QObject* parent = nullptr);
    ~ScreenCastScreen() override;

    QPoint pointer() override;
    std::optional<QImage> grab(const QRect& rect) override;
    void open(const QString& permissionFolder, std::function<void(bool)> answer) override;
    void close() override;

    // How long the stream may take to show a picture before the screen counts as unreadable.
    static constexpr int firstPictureMs = 3000;
    // The file in the permission folder that keeps the portal's restore token.
    static QString tokenFile(const QString& permissionFolder);

private:
    void onOpened(int fd, uint node, const QString& restoreToken);
    void watchFirstFrames();
    void answer(bool granted);

    ScreenCastPortal portal_;
    ScreenCastStream stream_;
    QTimer watch_;
    QElapsedTimer since_;
    std::function<void(bool)> answer_;
    QString permissionFolder_;
    QPoint lastPointer_;
    QImage lastSquare_;
    bool ready_ = false;
};
