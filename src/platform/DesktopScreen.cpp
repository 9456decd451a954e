#include "platform/DesktopScreen.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

QPoint DesktopScreen::pointer() {
    return QCursor::pos();
}

std::optional<QImage> DesktopScreen::grab(const QRect& rect) {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return std::nullopt;
    const QPixmap pixmap = screen->grabWindow(0, rect.x(), rect.y(), rect.width(), rect.height());
    if (pixmap.isNull())
        return std::nullopt;
    return pixmap.toImage();
}
