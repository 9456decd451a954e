#pragma once

#include "platform/Dialogs.h"

class QtDialogs final : public Dialogs {
public:
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
};
