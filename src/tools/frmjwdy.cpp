#include "tools/frmjwdy.h"

#include "app/controls/PictureButton.h"
#include "catalogue/PreviewText.h"
#include "i18n/Language.h"
#include "install/SecondaryWindow.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"
#include "platform/FontSystem.h"
#include "tools/Magnifier.h"
#include "tools/frmzdy.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

namespace {

// Designed placements are in twips.
QRect twipsRect(int left, int top, int width, int height) {
    using magnifier::pixelsFromTwips;
    return QRect(pixelsFromTwips(left), pixelsFromTwips(top), pixelsFromTwips(width),
                 pixelsFromTwips(height));
}

constexpr int labelHeight = 255;
// The glyphs' designed size; only their face follows the selected font.
constexpr int glyphPoints = 10;

// Letter k (0 to 25): rows of 13 in two columns, 240 twips apart.
int letterTop(int index) {
    return 480 + 240 * (index % 13);
}

PreviewText* glyph(QWidget* parent, const QString& name, const QString& text, QRect at) {
    auto* label = new PreviewText(parent);
    label->setObjectName(name);
    label->setText(text);
    label->setPointSize(glyphPoints);
    label->setGeometry(at);
    return label;
}

} // namespace

frmjwdy::frmjwdy(MainView& main)
    : QMainWindow(main.mainWidget(), secondaryWindowFlags()), main_(main) {
    setObjectName(QStringLiteral("frmjwdy"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twipsRect(0, 0, 3825, 4680).size());
    setCentralWidget(client);

    Label3 = new QLabel(QStringLiteral("键位对应情况："), client);
    Label3->setObjectName(QStringLiteral("Label3"));
    QFont heading(QStringLiteral("宋体"), 12);
    heading.setBold(true);
    Label3->setFont(heading);
    Label3->setGeometry(twipsRect(120, 120, 3495, labelHeight));

    const QStringList rowHeadings = {QStringLiteral("字母"), QStringLiteral("数字")};
    const int rowTops[] = {480, 3840};
    for (int i = 0; i < 2; ++i) {
        auto* label = new QLabel(rowHeadings[i], client);
        label->setObjectName(QStringLiteral("Label5_%1").arg(i));
        label->setGeometry(twipsRect(120, rowTops[i], 495, labelHeight));
        Label5.append(label);
    }

    for (int i = 0; i < 26; ++i) {
        const bool second = i >= 13;
        const int top = letterTop(i);
        const QChar capital(u'A' + i);
        const QChar small(u'a' + i);
        auto* key = new QLabel(QString(capital) + QLatin1Char(':'), client);
        key->setObjectName(QStringLiteral("Label1_%1").arg(i));
        key->setGeometry(
            twipsRect(second ? 2040 : 600, top, capital == u'C' ? 615 : 495, labelHeight));
        Label1.append(key);
        Label2.append(glyph(client, QStringLiteral("Label2_%1").arg(i), QString(capital),
                            twipsRect(second ? 2400 : 960, top, 375, labelHeight)));
        Label6.append(glyph(client, QStringLiteral("Label6_%1").arg(i), QString(small),
                            twipsRect(second ? 2880 : 1440, top, 375, labelHeight)));
    }
    const int digitLefts[] = {600, 960, 1320, 1680, 2040};
    for (int i = 0; i < 10; ++i)
        Label4.append(glyph(client, QStringLiteral("Label4_%1").arg(i), QString::number(i + 1),
                            twipsRect(digitLefts[i % 5], i < 5 ? 3840 : 4200, 375, labelHeight)));

    Label7 = new PreviewText(client);
    Label7->setObjectName(QStringLiteral("Label7"));
    Label7->hide();

    Command1 = new PictureButton(QStringLiteral("返回"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(twipsRect(2640, 4080, 975, 375));
    connect(Command1, &QPushButton::clicked, this, &frmjwdy::Command1_Click);

    xuanMenu = menuBar()->addMenu(QStringLiteral("选项"));
    xuanMenu->setObjectName(QStringLiteral("xuanMenu"));
    xuan = xuanMenu->menuAction();
    xuan->setObjectName(QStringLiteral("xuan"));
    ysxz = xuanMenu->addAction(QStringLiteral("颜色选择"));
    ysxz->setObjectName(QStringLiteral("ysxz"));
    connect(ysxz, &QAction::triggered, this, &frmjwdy::ysxz_Click);
    zdy = xuanMenu->addAction(QStringLiteral("自定义文字"));
    zdy->setObjectName(QStringLiteral("zdy"));
    connect(zdy, &QAction::triggered, this, &frmjwdy::zdy_Click);

    Form_Load();
}

QList<PreviewText*> frmjwdy::glyphLabels() const {
    return Label2 + Label4 + Label6;
}

void frmjwdy::Form_Load() {
    const QString face = main_.selectedFont();
    for (PreviewText* label : glyphLabels() + QList<PreviewText*>{Label7}) {
        label->setFonts(&main_.platform().fonts);
        label->setFamily(face);
    }
    const QColor preview = main_.previewColor();
    QPalette palette = Label3->palette();
    palette.setColor(QPalette::WindowText, preview);
    Label3->setPalette(palette);
    Label7->setColor(preview);
    // No close command: the window is left by "返回" alone (closeEvent is ignored as well).
}

void frmjwdy::fitHeading() {
    // Where the interface face is wider than the designed one, the heading and the window
    // widen to show it whole instead of cutting it off.
    const QRect designed = twipsRect(120, 120, 3495, labelHeight);
    const int needed = std::max(designed.width(), Label3->sizeHint().width());
    Label3->setGeometry(designed.x(), designed.y(), needed, designed.height());
    const QSize client = twipsRect(0, 0, 3825, 4680).size();
    centralWidget()->setFixedSize(std::max(client.width(), designed.x() + needed + 8),
                                  client.height());
}

QColor frmjwdy::headingColor() const {
    return Label3->palette().color(QPalette::WindowText);
}

bool frmjwdy::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QMainWindow::event(e);
}

void frmjwdy::Form_Activate() {
    const bool zh = lang::chineseByE(main_.language());
    auto pick = [zh](const char* chinese, const char* english) {
        return zh ? QString::fromUtf8(chinese) : QString::fromUtf8(english);
    };
    setWindowTitle(pick("辅助工具-键位对应", "Tools-Keyboard to Fonts"));
    Label3->setText(pick("键位对应情况：", "Keyboard to Fonts Situation:"));
    fitHeading();
    for (QLabel* label : Label5)
        label->setVisible(zh);
    xuan->setText(pick("选项", "Option"));
    ysxz->setText(pick("颜色选择", "Choose Colour"));
    zdy->setText(pick("自定义文字", "Custom Text"));
    Command1->setCaption(pick("返回", "Back"));
    Command1->setToolTip(pick("返回主界面", "Back"));
}

void frmjwdy::ysxz_Click() {
    // Cancel keeps the colours as they are.
    const auto chosen = main_.platform().dialogs.color(this, headingColor());
    if (!chosen)
        return;
    for (PreviewText* label : glyphLabels())
        label->setColor(*chosen);
    QPalette palette = Label3->palette();
    palette.setColor(QPalette::WindowText, *chosen);
    Label3->setPalette(palette);
}

void frmjwdy::zdy_Click() {
    Dialogs& dialogs = main_.platform().dialogs;
    for (;;) {
        const bool zh = Command1->caption() == QStringLiteral("返回");
        const QString text =
            zh ? dialogs.input(this, QStringLiteral("请输入需要自定义的文字："),
                               QStringLiteral("自定义"), QString())
               : dialogs.input(this, QStringLiteral("Please type in what to preview："),
                               QStringLiteral("Custom Preview Text..."), QString());
        Label7->setText(text);
        if (!text.isEmpty()) {
            if (frmzdy_)
                frmzdy_->deleteLater();
            frmzdy_ = new frmzdy(main_, *this);
            frmzdy_->show();
            frmzdy_->raise();
            frmzdy_->activateWindow();
            hide();
            return;
        }
        if (zh)
            dialogs.message(this, QStringLiteral("未输入自定义文字"), QStringLiteral("系统提示"),
                            Dialogs::Icon::Information);
        else
            dialogs.message(this, QStringLiteral("No type in !"), QStringLiteral("Tips"),
                            Dialogs::Icon::Information);
    }
}

void frmjwdy::Command1_Click() {
    unloaded_ = true;
    if (frmzdy_)
        frmzdy_->deleteLater();
    hide();
    deleteLater();
    main_.showMain();
}

void frmjwdy::closeEvent(QCloseEvent* event) {
    event->ignore();
}

frmzdy* frmjwdy::customDisplay() const {
    return frmzdy_;
}
