#pragma once

#include "platform/Dialogs.h"

#include <QList>
#include <deque>

// Records every dialog a window shows and answers from a script. A dialog with no scripted
// answer gets the neutral one (OK, Cancel for files and colours, empty input); too many
// unscripted inputs in a row fail the test instead of looping for ever.
class FakeDialogs final : public Dialogs {
public:
    struct Shown {
        QString kind; // "message", "input", "open", "save", "color"
        QString text; // message text or input prompt
        QString title;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QString defaultText; // input default, or the dialog's start folder or path
        QStringList filters;
        QString details; // a message's details section
    };

    QList<Shown> shown;
    std::deque<Answer> answers;
    std::deque<QString> inputs;
    // File dialog answers; a null QString() is Cancel.
    std::deque<QString> openFiles;
    std::deque<QString> saveFiles;
    std::deque<std::optional<QColor>> colors;
    // Runs when a message is shown, before it returns (to look at a window while it is open).
    std::function<void(const Shown&)> onMessage;

    QList<Shown> messages() const;
    QStringList messageTexts() const;
    void clear() { shown.clear(); }

    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    Answer messageWithDetails(QWidget* parent, const QString& text, const QString& title,
                              const QString& details, Icon icon, Buttons buttons) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& defaultText) override;
    std::optional<QString> openFile(QWidget* parent, const QString& title,
                                    const QStringList& filters,
                                    const QString& startFolder) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                    const QStringList& filters, const QString& startPath) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;

private:
    int unscriptedInputs_ = 0;
};
