#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <vector>

// A Wayland desktop inside the test's X server: KWin nested in it, the desktop portal and its
// KDE back end on the test's own session bus, and a KWin script that reports every window it
// activates. Keys are pressed on the outer X server, into KWin's window, as a keyboard would.
class WaylandDesktop {
public:
    // withXWayland: KWin also runs an X server for X11 clients. withPortals: the desktop portal
    // and its KDE back end run; without them the portal's name is free for the test's own.
    explicit WaylandDesktop(bool withXWayland = false, bool withPortals = true);
    ~WaylandDesktop();

    // Empty when the desktop runs; otherwise why not (a program missing, a start failed).
    QString start();

    // The environment of a client of this desktop: its Wayland socket, runtime folder, session
    // type and desktop name; X11 clients also get XWayland's display.
    QProcessEnvironment clientEnvironment() const;
    QString xwaylandDisplay() const { return xwaylandDisplay_; }

    // Starts a program as a client of this desktop; it ends with the desktop.
    QProcess& launch(const QString& program, const QStringList& arguments,
                     const QProcessEnvironment& environment);

    // The caption of the window KWin activated last ("" for none), from its script's reports.
    QString activeCaption();
    bool waitForActive(const QString& caption, int milliseconds);
    // True once the portal has given KWin's shortcut daemon a component of that name.
    bool waitForShortcutComponent(const QString& component, int milliseconds);

    // Asks KWin to activate the window with that caption, as a click on it would.
    void activate(const QString& caption);
    // xdotool key names ("ctrl+alt+f"), pressed on the outer X server into KWin's window.
    void press(const QString& keys);
    // Everything KWin printed, for failure messages.
    QString compositorLog();

private:
    bool runScript(const QString& text);
    QProcess& run(const QString& program, const QStringList& arguments,
                  const QProcessEnvironment& environment);

    bool withXWayland_;
    bool withPortals_;
    QTemporaryDir folder_;
    QString runtime_;
    QString socket_ = QStringLiteral("wayland-vltest");
    QString xwaylandDisplay_;
    QString outerWindow_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    QProcess* kwin_ = nullptr;
    QString kwinOutput_;
    int scripts_ = 0;
};
