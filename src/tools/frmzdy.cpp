#include "tools/frmzdy.h"

#include "app/controls/PictureButton.h"
#include "catalogue/PreviewText.h"
#include "i18n/Language.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/FontSystem.h"
#include "tools/frmjwdy.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QScreen>
#include <QtMath>
#include <algorithm>

namespace {
constexpr int textPoints = 42;
constexpr QSize designedSize(307, 197);
} // namespace

frmzdy::frmzdy(MainView& main, frmjwdy& keyboard)
    : QWidget(&keyboard, secondaryWindowFlags()), main_(main), keyboard_(keyboard) {
    setObjectName(QStringLiteral("frmzdy"));
    // Client area 4605 × 2955 twips.
    setFixedSize(designedSize);

    Label1 = new PreviewText(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFamily(QStringLiteral("宋体"));
    Label1->setPointSize(textPoints);
    Label1->move(16, 16);

    Command1 = new PictureButton(QStringLiteral("返回"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(232, 168, 65, 25);
    connect(Command1, &QPushButton::clicked, this, &frmzdy::Command1_Click);

    Form_Load();
}

void frmzdy::Form_Load() {
    // 1. No close command: left only by "返回" (closeEvent is ignored).
    // 2. This window labels itself by the "c" rule.
    const bool zh = lang::chineseByC(main_.language());
    setWindowTitle(zh ? QStringLiteral("自定义显示") : QStringLiteral("Custom Text"));
    Command1->setCaption(zh ? QStringLiteral("返回") : QStringLiteral("Back"));
    Command1->setToolTip(zh ? QStringLiteral("返回") : QStringLiteral("Back"));
    // 3.-6.
    const QString face = main_.selectedFont();
    Label1->setFonts(&main_.platform().fonts);
    Label1->setColor(keyboard_.headingColor());
    Label1->setText(keyboard_.Label7->text());
    Label1->setFamily(face);
    // The label sizes itself to its text, measured in the faces that draw each character
    // (a character the face lacks is drawn in a fallback face).
    const QString text = Label1->text();
    const QStringList faces = Label1->facesOfCharacters();
    qreal width = 0;
    qreal height = QFontMetricsF(QFont(face, textPoints)).height();
    qsizetype point = 0; // one face per code point
    for (qsizetype i = 0; i < text.size(); ++point) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QFont font(point < faces.size() ? faces[point] : face);
        font.setPointSize(textPoints);
        const QFontMetricsF metrics(font);
        width += metrics.horizontalAdvance(text.mid(i, length));
        height = std::max(height, metrics.height());
        i += length;
    }
    Label1->resize(qCeil(width) + 4, qCeil(height));
    fitWindow();
}

void frmzdy::fitWindow() {
    // Client area 4605 × 2955 twips; a text longer than that widens the window (as far as
    // the screen allows) rather than being cut off, "返回" keeping its corner.
    int width = std::max(designedSize.width(), Label1->geometry().right() + 1 + 16);
    if (const QScreen* shown = screen())
        width = std::min(width,
                         std::max(designedSize.width(), shown->availableGeometry().width() - 40));
    setFixedSize(width, designedSize.height());
    Command1->move(width - (designedSize.width() - 232), 168);
}

void frmzdy::Command1_Click() {
    hide();
    deleteLater();
    keyboard_.show();
    keyboard_.raise();
    keyboard_.activateWindow();
    keyboard_.Form_Activate();
}

void frmzdy::closeEvent(QCloseEvent* event) {
    event->ignore();
}
