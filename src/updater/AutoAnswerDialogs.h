#pragma once

#include "platform/Dialogs.h"

// The unattended mode of vlupdate (environment VLUPDATE_AUTO_ANSWER=1): every message box
// is written to standard output as one line "title|text" and answered with OK at once, so
// a script can run the updater without anyone at the screen. Other dialogs are never used
// by the updater and answer Cancel.
class AutoAnswerDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    QString input(QWidget* parent, const QString& prompt, const QString& title,
                  const QString& defaultText) override;
    std::optional<QString> openFile(QWidget* parent, const QString& title,
                                    const QStringList& filters,
                                    const QString& startFolder) override;
    std::optional<QString> saveFile(QWidget* parent, const QString& title,
                                    const QStringList& filters, const QString& startPath) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;

    // Writes one line to standard output at once.
    static void print(const QString& line);
};
