#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// Looking at windows as the user does: the title the window system carries, and real modal
// dialogs answered from the keyboard while the window that opened them waits.
namespace shown {

// The window's title as the desktop shows it: its _NET_WM_NAME property on the X server.
QString title(const QWidget* window);

// Waits, from within the call that opens it, for the next modal dialog to become the active
// window, hands it to look (when given), then presses Enter on it. Returns at once; the
// answer comes from the event loop of the dialog.
void answerNextDialog(std::function<void(QWidget*)> look = {});

// Windows of another process, through xdotool: the ids of its shown windows and a window's
// title.
QStringList windowsOf(qint64 pid);
QString titleOf(const QString& windowId);

} // namespace shown
