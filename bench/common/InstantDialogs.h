#pragma once

#include "platform/Dialogs.h"

#include <functional>

// Answers every dialog of a benchmarked window at once: OK to messages, yesNo to questions,
// Cancel to the rest.
// onMessage sees each message text as it is shown, to time the window's steps.
class InstantDialogs final : public Dialogs {
public:
    std::function<void(const QString&)> onMessage;
    // The answer to a Yes/No question.
    Answer yesNo = Answer::No;

    Answer message(QWidget*, const QString& text, const QString&, Icon, Buttons buttons) override {
        if (onMessage)
            onMessage(text);
        return buttons == Buttons::YesNo ? yesNo : Answer::Ok;
    }
    QString input(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(QWidget*, const QString&, const QStringList&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<QString> saveFile(QWidget*, const QString&, const QStringList&,
                                    const QString&) override {
        return std::nullopt;
    }
    std::optional<QColor> color(QWidget*, const QColor&) override { return std::nullopt; }
};
