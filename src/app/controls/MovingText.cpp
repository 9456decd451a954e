#include "app/controls/MovingText.h"

#include "app/ColorCode.h"

#include <QPainter>

MovingText::MovingText(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    timer_.setInterval(40);
    connect(&timer_, &QTimer::timeout, this, &MovingText::step);
}

void MovingText::setMsgchar(const QString& text) {
    text_ = text;
    setAccessibleName(text);
    offset_ = 0;
    update();
}

void MovingText::setCharcolor(std::int32_t code) {
    colorCode_ = code;
    update();
}

QSize MovingText::sizeHint() const {
    return {200, fontMetrics().height() + 2};
}

void MovingText::step() {
    if (text_.isEmpty())
        return;
    // Right to left: the text enters at the right edge and leaves at the left one.
    const int textWidth = fontMetrics().horizontalAdvance(text_);
    offset_ = (offset_ + 1) % (width() + textWidth);
    update();
}

void MovingText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(colorcode::toColor(colorCode_));
    const int x = width() - offset_;
    painter.drawText(QRect(x, 0, fontMetrics().horizontalAdvance(text_) + 4, height()),
                     Qt::AlignVCenter | Qt::AlignLeft, text_);
    if (hasFocus()) {
        QPen pen(palette().color(QPalette::Highlight));
        pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void MovingText::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    update();
    emit gotFocus();
}

void MovingText::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start();
}

void MovingText::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}
