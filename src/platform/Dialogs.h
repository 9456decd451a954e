#pragma once

#include <QColor>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// Every dialog a window shows goes through here, so that tests can script the answers.
class Dialogs {
public:
    enum class Icon { None, Information, Question, Warning, Critical };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    virtual Answer message(QWidget* parent, const QString& text, const QString& title,
                           Icon icon = Icon::Information, Buttons buttons = Buttons::Ok) = 0;
    // A message with a details section the user may open below it; where details cannot be
    // shown, the message alone.
    virtual Answer messageWithDetails(QWidget* parent, const QString& text, const QString& title,
                                      const QString& details, Icon icon = Icon::Information,
                                      Buttons buttons = Buttons::Ok) {
        Q_UNUSED(details);
        return message(parent, text, title, icon, buttons);
    }
    // The typed text; empty when the user cancels.
    virtual QString input(QWidget* parent, const QString& prompt, const QString& title,
                          const QString& defaultText) = 0;
    // filters in Qt's form, "Description (*.ttf)", the first one selected. nullopt on Cancel.
    virtual std::optional<QString> openFile(QWidget* parent, const QString& title,
                                            const QStringList& filters,
                                            const QString& startFolder = {}) = 0;
    // Asks before overwriting an existing file. nullopt on Cancel.
    virtual std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                            const QStringList& filters,
                                            const QString& startPath = {}) = 0;
    // nullopt on Cancel.
    virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
};
