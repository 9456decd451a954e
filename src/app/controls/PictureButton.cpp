#include "app/controls/PictureButton.h"

PictureButton::PictureButton(const QString& caption, QWidget* parent) : QPushButton(parent) {
    setCaption(caption);
    setIconSize(QSize(20, 20));
    setAutoDefault(false);
}

void PictureButton::setCaption(const QString& caption) {
    caption_ = caption;
    // "&" would otherwise turn into a shortcut underline and vanish from the drawn text.
    QString shown = caption;
    shown.replace(QLatin1Char('&'), QLatin1String("&&"));
    setText(shown);
    setAccessibleName(caption.trimmed());
}

void PictureButton::setBackColor(const QColor& color) {
    backColor_ = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Button, color);
    setPalette(pal);
}
