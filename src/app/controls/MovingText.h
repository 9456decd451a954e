#pragma once

#include <QColor>
#include <QTimer>
#include <QWidget>
#include <cstdint>

// The scrolling-text line: its text moves along by itself. Taking the keyboard focus (a click,
// or Tab onto it) is how the program learns that the line was "clicked".
class MovingText final : public QWidget {
    Q_OBJECT
public:
    explicit MovingText(QWidget* parent = nullptr);

    void setMsgchar(const QString& text);
    QString msgchar() const { return text_; }
    // 0x00BBGGRR, or a system colour code.
    void setCharcolor(std::int32_t code);
    std::int32_t charcolor() const { return colorCode_; }
    int offset() const { return offset_; }

    QSize sizeHint() const override;

signals:
    void gotFocus();

protected:
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void step();

    QString text_;
    std::int32_t colorCode_ = 0;
    int offset_ = 0;
    QTimer timer_;
};
