#include "catalogue/PreviewText.h"

#include "platform/FontSystem.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>
#include <QtMath>

namespace {
// A screen reader meets the line as the static text it shows.
class AccessiblePreviewText final : public QAccessibleWidget {
public:
    explicit AccessiblePreviewText(PreviewText* line)
        : QAccessibleWidget(line, QAccessible::StaticText) {}
    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name)
            return static_cast<const PreviewText*>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface* accessiblePreviewText(const QString& className, QObject* object) {
    if (className == QLatin1String("PreviewText") && object && object->isWidgetType())
        return new AccessiblePreviewText(static_cast<PreviewText*>(object));
    return nullptr;
}

QString& cjkFallback() {
    static QString family;
    return family;
}
QString& otherFallback() {
    static QString family;
    return family;
}
QRawFont& rawFallback(bool cjk) {
    static QRawFont cjkRaw;
    static QRawFont otherRaw;
    return cjk ? cjkRaw : otherRaw;
}
} // namespace

PreviewText::PreviewText(QWidget* parent) : QWidget(parent) {
    static const bool accessible = (QAccessible::installFactory(accessiblePreviewText), true);
    Q_UNUSED(accessible);
    setAttribute(Qt::WA_TranslucentBackground);
}

void PreviewText::setFallbackFamilies(const QString& cjk, const QString& other) {
    cjkFallback() = cjk;
    otherFallback() = other;
    auto load = [](const QString& family) {
        QFont font(family.isEmpty() ? QApplication::font().family() : family, 12);
        font.setStyleStrategy(QFont::NoFontMerging);
        return QRawFont::fromFont(font);
    };
    rawFallback(true) = load(cjk);
    rawFallback(false) = load(other);
}

void PreviewText::setText(const QString& text) {
    text_ = text;
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

void PreviewText::setFamily(const QString& family) {
    if (family_ == family)
        return;
    family_ = family;
    invalidate();
}

void PreviewText::setPointSize(int points) {
    pointSize_ = points;
    invalidate();
}

void PreviewText::setBold(bool on) {
    bold_ = on;
    invalidate();
}

void PreviewText::setItalic(bool on) {
    italic_ = on;
    invalidate();
}

void PreviewText::setUnderline(bool on) {
    underline_ = on;
    update();
}

void PreviewText::setColor(const QColor& color) {
    color_ = color;
    update();
}

void PreviewText::setAlignment(Qt::Alignment alignment) {
    alignment_ = alignment;
    update();
}

void PreviewText::invalidate() {
    rawValid_ = false;
    update();
}

QFont PreviewText::faceFont(const QString& family) const {
    QFont font(family);
    font.setPointSize(pointSize_ > 0 ? pointSize_ : 12);
    font.setBold(bold_);
    font.setItalic(italic_);
    font.setUnderline(underline_);
    // Merging would make the toolkit look for fallbacks across every installed font.
    font.setStyleStrategy(QFont::NoFontMerging);
    return font;
}

QList<PreviewText::Run> PreviewText::runs() const {
    const QString primary = family_.isEmpty() ? QApplication::font().family() : family_;
    if (!rawValid_) {
        if (fonts_ && !family_.isEmpty())
            fonts_->prepareToDraw(family_);
        rawFace_ = QRawFont::fromFont(faceFont(primary));
        rawValid_ = true;
    }
    QList<Run> result;
    // 0 primary, 1 CJK fallback, 2 other fallback, 3 the toolkit's own fallback
    int current = -1;
    for (qsizetype i = 0; i < text_.size();) {
        char32_t ucs4 = text_.at(i).unicode();
        qsizetype len = 1;
        if (text_.at(i).isHighSurrogate() && i + 1 < text_.size() &&
            text_.at(i + 1).isLowSurrogate()) {
            ucs4 = QChar::surrogateToUcs4(text_.at(i), text_.at(i + 1));
            len = 2;
        }
        int face = 0;
        const bool control = ucs4 < 0x20;
        if (!control && !(rawFace_.isValid() && rawFace_.supportsCharacter(ucs4))) {
            if (rawFallback(true).isValid() && rawFallback(true).supportsCharacter(ucs4))
                face = 1;
            else if (rawFallback(false).isValid() && rawFallback(false).supportsCharacter(ucs4))
                face = 2;
            else
                face = 3;
        }
        if (face != current) {
            const QString family =
                face == 0 ? primary : (face == 1 ? cjkFallback() : otherFallback());
            QFont font = faceFont(family.isEmpty() ? primary : family);
            // A script neither fallback face has (Devanagari, Thai, emoji) is left to the
            // toolkit, which searches only the few faces it is shown for the interface, in
            // the other fallback face so that its search is made once per script, not once
            // for every family previewed.
            if (face == 3)
                font.setStyleStrategy(QFont::PreferDefault);
            result.append(Run{QString(), font});
            current = face;
        }
        result.last().text += text_.mid(i, len);
        i += len;
    }
    return result;
}

QStringList PreviewText::facesOfCharacters() const {
    QStringList faces;
    for (const Run& run : runs()) {
        // Where the toolkit may merge faces, the face it picked for the character.
        QTextLayout layout(run.text, run.font);
        const bool merging = !(run.font.styleStrategy() & QFont::NoFontMerging);
        if (merging) {
            layout.beginLayout();
            layout.createLine();
            layout.endLayout();
        }
        for (qsizetype i = 0; i < run.text.size(); ++i) {
            if (run.text.at(i).isLowSurrogate())
                continue;
            const int length = run.text.at(i).isHighSurrogate() ? 2 : 1;
            const QList<QGlyphRun> glyphs =
                merging ? layout.glyphRuns(int(i), length) : QList<QGlyphRun>();
            // The toolkit's box for a character no face has has no font tables and no family
            // (asking for it crashes): no face draws the character.
            const QRawFont face = glyphs.isEmpty() ? QRawFont() : glyphs.first().rawFont();
            faces.append(glyphs.isEmpty()                   ? run.font.family()
                         : face.fontTable("name").isEmpty() ? QString()
                                                            : face.familyName());
        }
    }
    return faces;
}

QString PreviewText::drawnStyle() const {
    runs();
    return rawFace_.styleName();
}

QString PreviewText::drawnFamily() const {
    runs();
    return rawFace_.familyName();
}

QSize PreviewText::sizeHint() const {
    qreal width = 0;
    qreal height = 0;
    for (const Run& run : runs()) {
        const QFontMetricsF metrics(run.font);
        width += metrics.horizontalAdvance(run.text);
        height = std::max(height, metrics.height());
    }
    if (height == 0)
        height =
            QFontMetricsF(faceFont(family_.isEmpty() ? QApplication::font().family() : family_))
                .height();
    return QSize(qCeil(width), qCeil(height));
}

void PreviewText::paintEvent(QPaintEvent*) {
    if (text_.isEmpty())
        return;
    QPainter painter(this);
    painter.setPen(color_);
    const QList<Run> parts = runs();
    qreal width = 0;
    qreal ascent = 0;
    qreal descent = 0;
    for (const Run& run : parts) {
        const QFontMetricsF metrics(run.font);
        width += metrics.horizontalAdvance(run.text);
        ascent = std::max(ascent, metrics.ascent());
        descent = std::max(descent, metrics.descent());
    }
    qreal x = 0;
    if (alignment_ & Qt::AlignHCenter)
        x = (this->width() - width) / 2;
    else if (alignment_ & Qt::AlignRight)
        x = this->width() - width;
    qreal baseline = ascent;
    if (alignment_ & Qt::AlignVCenter)
        baseline = (height() - (ascent + descent)) / 2 + ascent;
    for (const Run& run : parts) {
        painter.setFont(run.font);
        painter.drawText(QPointF(x, baseline), run.text);
        x += QFontMetricsF(run.font).horizontalAdvance(run.text);
    }
}
