#include "FakeDialogs.h"

#include <gtest/gtest.h>

QList<FakeDialogs::Shown> FakeDialogs::messages() const {
    QList<Shown> result;
    for (const Shown& s : shown)
        if (s.kind == QLatin1String("message"))
            result.append(s);
    return result;
}

QStringList FakeDialogs::messageTexts() const {
    QStringList result;
    for (const Shown& s : messages())
        result.append(s.text);
    return result;
}

Dialogs::Answer FakeDialogs::message(QWidget* parent, const QString& text, const QString& title,
                                     Icon icon, Buttons buttons) {
    return messageWithDetails(parent, text, title, {}, icon, buttons);
}

Dialogs::Answer FakeDialogs::messageWithDetails(QWidget*, const QString& text, const QString& title,
                                                const QString& details, Icon icon,
                                                Buttons buttons) {
    Shown s{QStringLiteral("message"), text, title, icon, buttons, {}, {}, details};
    shown.append(s);
    if (onMessage)
        onMessage(s);
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    return Answer::Ok;
}

QString FakeDialogs::input(QWidget*, const QString& prompt, const QString& title,
                           const QString& defaultText) {
    shown.append(Shown{QStringLiteral("input"),
                       prompt,
                       title,
                       Icon::None,
                       Buttons::OkCancel,
                       defaultText,
                       {},
                       {}});
    if (!inputs.empty()) {
        unscriptedInputs_ = 0;
        const QString a = inputs.front();
        inputs.pop_front();
        return a;
    }
    if (++unscriptedInputs_ > 20) {
        ADD_FAILURE() << "input box asked again and again without a scripted answer";
        return QStringLiteral("(unscripted)");
    }
    return {};
}

std::optional<QString> FakeDialogs::openFile(QWidget*, const QString& title,
                                             const QStringList& filters,
                                             const QString& startFolder) {
    shown.append(Shown{QStringLiteral("open"),
                       {},
                       title,
                       Icon::None,
                       Buttons::OkCancel,
                       startFolder,
                       filters,
                       {}});
    if (openFiles.empty())
        return std::nullopt;
    const QString a = openFiles.front();
    openFiles.pop_front();
    if (a.isNull())
        return std::nullopt;
    return a;
}

std::optional<QString> FakeDialogs::saveFile(QWidget*, const QString& title,
                                             const QStringList& filters, const QString& startPath) {
    shown.append(Shown{
        QStringLiteral("save"), {}, title, Icon::None, Buttons::OkCancel, startPath, filters, {}});
    if (saveFiles.empty())
        return std::nullopt;
    const QString a = saveFiles.front();
    saveFiles.pop_front();
    if (a.isNull())
        return std::nullopt;
    return a;
}

std::optional<QColor> FakeDialogs::color(QWidget*, const QColor& initial) {
    shown.append(Shown{
        QStringLiteral("color"), {}, {}, Icon::None, Buttons::OkCancel, initial.name(), {}, {}});
    if (colors.empty())
        return std::nullopt;
    auto a = colors.front();
    colors.pop_front();
    return a;
}
