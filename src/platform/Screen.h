#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>

// The pointer and the pixels of the screen, for the magnifier.
class Screen {
public:
    virtual ~Screen() = default;

    virtual QPoint pointer() = 0;
    // nullopt when the screen cannot be read (no permission, the stream ended).
    virtual std::optional<QImage> grab(const QRect& rect) = 0;

    // Asked before a magnifier opens: answer(true) once pointer() and grab() show the screen,
    // answer(false) where they cannot, so that no window ever shows black. A desktop that asks
    // the user first answers later, the others at once. A granted permission may be remembered
    // in permissionFolder.
    virtual void open(const QString& permissionFolder, std::function<void(bool)> answer) {
        Q_UNUSED(permissionFolder);
        answer(grab(QRect(0, 0, 1, 1)).has_value());
    }
    // Ends what open() started (a question still open, a stream); no answer comes after it.
    virtual void close() {}
};
