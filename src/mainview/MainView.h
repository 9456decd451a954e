#pragma once

#include "platform/Platform.h"

#include <QString>
#include <functional>

class FontListView;
class QColor;
class QObject;
class QWidget;

// What the windows of the other subsystems (install, search, tools, export, online) may use of
// the main window. The main window implements it; a test may hand a window a small fake
// instead of a whole main window.
class MainView {
public:
    virtual ~MainView() = default;

    // The main window as a widget: the parent of the subsystem windows and of their messages.
    virtual QWidget* mainWidget() = 0;
    virtual Platform& platform() = 0;

    // The language flag "l", and a call of relabel(chinese) whenever the language is switched
    // while the magnifier is open, for as long as receiver lives.
    virtual QString language() const = 0;
    virtual void onMagnifierCaptionsChanged(QObject* receiver,
                                            std::function<void(bool chinese)> relabel) = 0;

    // The font list List1, the family of its selected entry (empty when none), the name that
    // entry shows (the family's name in the reader's language) and the preview line's colour.
    virtual FontListView* fontList() = 0;
    virtual QString selectedFont() const = 0;
    virtual QString selectedFontName() const = 0;
    virtual QColor previewColor() const = 0;

    // The program folder (the program and update/vlupdate), the settings folder (config.ini,
    // update.ini and BBS.vlf: the program folder whenever this user may write there), and the
    // settings store config.ini itself.
    virtual const QString& programFolder() const = 0;
    virtual const QString& settingsFolder() const = 0;
    virtual QString configPath() const = 0;
    virtual QString configValue(const QString& section, const QString& key) const = 0;
    virtual void writeConfig(const QString& section, const QString& key,
                             const QString& value) const = 0;
    // The fonts folder "Labeldir".
    virtual QString fontsFolder() const = 0;

    // Hiding and showing the main window while a subsystem window stands in for it.
    virtual void hideMain() = 0;
    virtual void showMain() = 0;
    virtual void activateMain() = 0;

    // Shows the install-from-file window with path in its path field.
    virtual void openSetupfonWithPath(const QString& path) = 0;
    // Shows the search window at folder, in place of the main window.
    virtual void openSearchAt(const QString& folder) = 0;
    // Shows the main window with the font list (shown first when it was not) and family
    // selected and previewed in it.
    virtual void showFamilyInList(const QString& family) = 0;

    // The magnifier flag "Label8"; closing it also stops its opening growth.
    virtual bool magnifierOpen() const = 0;
    virtual void setMagnifierOpen(bool open) = 0;

    // The dial-up flag "client": the computer is on line.
    virtual bool onLine() const = 0;
    virtual void setOnLine(bool online) = 0;

    // Ends the program at once, without the main window's closing steps (the updater takes over).
    virtual void endAtOnce() = 0;
};
