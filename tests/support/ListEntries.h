#pragma once

#include <QListWidget>
#include <QStringList>

// The texts of a list's entries, in their order.
inline QStringList entries(const QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

// Test failures show texts as text.
#include <ostream>
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
