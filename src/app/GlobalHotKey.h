#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>

class QWidget;

// Ctrl+Alt+F anywhere on the desktop brings the main window to the front. On X11 the key is
// grabbed on the root window; elsewhere, or when another program holds the grab, it works as
// an application shortcut only. Start-up never fails because of it.
class GlobalHotKey final : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit GlobalHotKey(QWidget* window);
    ~GlobalHotKey() override;

    bool grabbed() const { return grabbed_; }
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

    // Raises and activates the window.
    void activate();

private:
    void grab();
    void ungrab();

    QWidget* window_;
    bool grabbed_ = false;
    unsigned keycode_ = 0;
};
