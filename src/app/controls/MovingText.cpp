#include "app/controls/MovingText.h"

#include "app/ColorCode.h"

#include <QAccessibleWidget>
#include <QFocusEvent>
#include <QPainter>

namespace {
// A screen reader meets the line as static text, named by its text (or by the fuller name a
// window gives it) and described by its tooltip.
QAccessibleInterface* accessibleMovingText(const QString& className, QObject* object) {
    if (className == QLatin1String("MovingText") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::StaticText);
    return nullptr;
}
} // namespace

MovingText::MovingText(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(accessibleMovingText), true);
    Q_UNUSED(accessible);
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
    // A click or Tab onto the line is the user's doing; its window coming back to the front
    // (or a popup closing) hands the focus back without anyone asking for the address.
    switch (event->reason()) {
    case Qt::MouseFocusReason:
    case Qt::TabFocusReason:
    case Qt::BacktabFocusReason:
    case Qt::ShortcutFocusReason:
        emit gotFocus();
        break;
    default:
        break;
    }
}

void MovingText::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_.start();
}

void MovingText::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_.stop();
}
