#include "app/controls/PlainToolTip.h"

#include <QTextDocument>
#include <QWidget>

void setPlainToolTip(QWidget* widget, const QString& text) {
    // Escaped only when it would be taken for markup, so that a plain tip stays plain.
    widget->setToolTip(Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text) : text);
    widget->setAccessibleDescription(text);
}
