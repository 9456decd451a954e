#include "updater/AutoAnswerDialogs.h"

#include <cstdio>

void AutoAnswerDialogs::print(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

Dialogs::Answer AutoAnswerDialogs::message(QWidget*, const QString& text, const QString& title,
                                           Icon, Buttons buttons) {
    print(title + QLatin1Char('|') + text);
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
}

QString AutoAnswerDialogs::input(QWidget*, const QString&, const QString&, const QString&) {
    return {};
}

std::optional<QString> AutoAnswerDialogs::openFile(QWidget*, const QString&, const QStringList&,
                                                   const QString&) {
    return std::nullopt;
}

std::optional<QString> AutoAnswerDialogs::saveFile(QWidget*, const QString&, const QStringList&,
                                                   const QString&) {
    return std::nullopt;
}

std::optional<QColor> AutoAnswerDialogs::color(QWidget*, const QColor&) {
    return std::nullopt;
}
