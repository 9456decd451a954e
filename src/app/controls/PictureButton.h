#pragma once

#include <QPushButton>

// The picture button: an icon beside a caption. The caption reads back exactly as it was set
// (a window decides its language by comparing a caption with "返回").
class PictureButton final : public QPushButton {
    Q_OBJECT
public:
    explicit PictureButton(const QString& caption = {}, QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return caption_; }
    // The colour drawn behind the picture and caption.
    void setBackColor(const QColor& color);
    QColor backColor() const { return backColor_; }

private:
    QString caption_;
    QColor backColor_;
};
