#pragma once

#include <QColor>
#include <QFont>
#include <QRawFont>
#include <QWidget>

class FontSystem;

// A line of sample text drawn in one face. Characters the face lacks are drawn in one fallback
// face per script, chosen once for the whole program, instead of letting the toolkit search
// every installed font for each new face: with thousands of fonts that search costs far more
// than drawing the line. Characters the fallback faces lack too are drawn where the toolkit
// finds them among the few faces it is shown for the interface. Used by the preview line and
// its shadow, the keyboard window and the custom display window.
class PreviewText final : public QWidget {
    Q_OBJECT
public:
    explicit PreviewText(QWidget* parent = nullptr);

    // The caption.
    void setText(const QString& text);
    QString text() const { return text_; }
    void setFamily(const QString& family);
    // The font table that makes the family drawable the first time this line measures or draws
    // it: not when it is only chosen, so that a walk through many families draws none of them.
    void setFonts(FontSystem* fonts) { fonts_ = fonts; }
    QString family() const { return family_; }
    void setPointSize(int points);
    int pointSize() const { return pointSize_; }
    void setBold(bool on);
    bool bold() const { return bold_; }
    void setItalic(bool on);
    bool italic() const { return italic_; }
    void setUnderline(bool on);
    bool underline() const { return underline_; }
    void setColor(const QColor& color);
    QColor color() const { return color_; }
    void setAlignment(Qt::Alignment alignment);

    // The faces used for characters the selected face lacks: CJK first, then the interface
    // face. Set once at start-up; empty names fall back to the application font.
    static void setFallbackFamilies(const QString& cjk, const QString& other);
    // Which face draws each character (for tests): the family name per character, as the
    // toolkit reports the face it picked where it picks one.
    QStringList facesOfCharacters() const;
    // The style of the face that draws the selected family's own characters, as that face
    // names it ("Bold Italic"), and the family it belongs to (for tests).
    QString drawnStyle() const;
    QString drawnFamily() const;
    // The line's natural size in its faces.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Run {
        QString text;
        QFont font;
    };
    QFont faceFont(const QString& family) const;
    QList<Run> runs() const;
    void invalidate();

    QString text_;
    QString family_;
    int pointSize_ = 12;
    bool bold_ = false;
    bool italic_ = false;
    bool underline_ = false;
    QColor color_ = Qt::black;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    FontSystem* fonts_ = nullptr;
    mutable QRawFont rawFace_;
    mutable bool rawValid_ = false;
};
