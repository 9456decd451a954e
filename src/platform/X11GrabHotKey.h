#pragma once

#include "platform/HotKey.h"

#include <QAbstractNativeEventFilter>

// Ctrl+Alt+F grabbed on the root window of a real X server: the server gives the key to this
// program whichever window has the focus. Where there is no X connection, no F key, or another
// program holds the grab, the reach is ApplicationOnly.
class X11GrabHotKey final : public HotKey, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    using HotKey::HotKey;
    ~X11GrabHotKey() override;

    void start(const QString& description) override;
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    bool grab();
    void ungrab();

    unsigned keycode_ = 0;
    bool filtering_ = false;
};
