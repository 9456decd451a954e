#include "ShownWindows.h"

#include <QApplication>
#include <QPointer>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>
#include <xcb/xcb.h>

namespace shown {

namespace {
xcb_connection_t* connection() {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t atom(const char* name) {
    const auto cookie =
        xcb_intern_atom(connection(), 0, static_cast<uint16_t>(qstrlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection(), cookie, nullptr);
    const xcb_atom_t found = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    free(reply);
    return found;
}
} // namespace

QString title(const QWidget* window) {
    if (!connection() || !window->internalWinId())
        return QStringLiteral("<no X window>");
    const auto cookie =
        xcb_get_property(connection(), 0, static_cast<xcb_window_t>(window->internalWinId()),
                         atom("_NET_WM_NAME"), atom("UTF8_STRING"), 0, 4096);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection(), cookie, nullptr);
    QString text;
    if (reply)
        text = QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(reply)),
                                 xcb_get_property_value_length(reply));
    free(reply);
    return text;
}

void answerNextDialog(std::function<void(QWidget*)> look) {
    auto* poll = new QTimer;
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, look, ticks = 0]() mutable {
        QPointer<QWidget> dialog = QApplication::activeModalWidget();
        if (++ticks == 500) { // ten seconds: never leave the test hanging in the dialog
            poll->deleteLater();
            ADD_FAILURE() << "no dialog became the active window";
            if (dialog)
                dialog->close();
            return;
        }
        if (!dialog || QApplication::activeWindow() != dialog)
            return;
        poll->stop();
        poll->deleteLater();
        if (look)
            look(dialog);
        if (dialog)
            QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog.data(),
                            Qt::Key_Return);
    });
    poll->start();
}

namespace {
QString xdotool(const QStringList& arguments) {
    QProcess run;
    run.start(QStringLiteral("xdotool"), arguments);
    run.waitForFinished(5000);
    return QString::fromUtf8(run.readAllStandardOutput());
}
} // namespace

QStringList windowsOf(qint64 pid) {
    return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                    QStringLiteral("--pid"), QString::number(pid)})
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString titleOf(const QString& windowId) {
    QString name = xdotool({QStringLiteral("getwindowname"), windowId});
    if (name.endsWith(QLatin1Char('\n')))
        name.chop(1);
    return name;
}

} // namespace shown
