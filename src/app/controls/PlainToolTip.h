#pragma once

#include <QString>

class QWidget;

// Qt reads a tooltip as rich text when it looks like HTML. A tooltip from outside (the update
// descriptor's) is set through here: it shows as written, and a screen reader is given it as
// written as well.
void setPlainToolTip(QWidget* widget, const QString& text);
