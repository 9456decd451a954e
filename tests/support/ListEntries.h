#pragma once

#include "app/controls/FontListView.h"

#include <QStringList>

// The texts of a list's entries, in their order.
inline QStringList entries(const FontListView* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->text(i);
    return names;
}

// Test failures show texts as text.
#include <ostream>
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
