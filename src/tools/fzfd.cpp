#include "tools/fzfd.h"

#include "i18n/Language.h"
#include "mainview/MainView.h"
#include "platform/Dialogs.h"
#include "platform/Screen.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

fzfd::fzfd(MainView& main)
    : QWidget(main.mainWidget(), Qt::Window | Qt::WindowStaysOnTopHint), main_(main) {
    setObjectName(QStringLiteral("fzfd"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Every pixel is drawn by the capture; no background to clear first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);

    xx = new QMenu(this);
    xx->setObjectName(QStringLiteral("xx"));
    fdbsMenu = xx->addMenu(QString());
    fdbsMenu->setObjectName(QStringLiteral("fdbsMenu"));
    fdbs = fdbsMenu->menuAction();
    fdbs->setObjectName(QStringLiteral("fdbs"));
    auto item = [this](QMenu* menu, const char* name, void (fzfd::*slot)()) {
        QAction* a = menu->addAction(QString());
        a->setObjectName(QString::fromLatin1(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    two = item(fdbsMenu, "two", &fzfd::two_Click);
    three = item(fdbsMenu, "three", &fzfd::three_Click);
    four = item(fdbsMenu, "four", &fzfd::four_Click);
    exit = item(xx, "exit", &fzfd::exit_Click);

    connect(&Timer1, &QTimer::timeout, this, &fzfd::Timer1_Timer);
    main.onMagnifierCaptionsChanged(this, [this](bool chinese) { applyCaptions(chinese); });

    resize(magnifier::pixelsFromTwips(widthTwips_), magnifier::pixelsFromTwips(heightTwips_));
    Form_Load();
}

void fzfd::Form_Load() {
    applyCaptions(lang::chineseByE(main_.language()));
    makeRoundWindow();
    factor_ = 2;
    sourceWidth_ = 100;
    sourceHeight_ = 100;
    Timer1.start(50);
}

void fzfd::applyCaptions(bool chinese) {
    for (const lang::Caption& c : lang::magnifierCaptions()) {
        if (c.name == objectName()) {
            setWindowTitle(c.text(chinese));
            continue;
        }
        if (auto* a = findChild<QAction*>(c.name))
            a->setText(c.text(chinese));
    }
}

void fzfd::setWidthTwips(int twips) {
    widthTwips_ = twips;
    resize(std::max(1, magnifier::pixelsFromTwips(twips)), height());
}

void fzfd::setHeightTwips(int twips) {
    heightTwips_ = twips;
    resize(width(), std::max(1, magnifier::pixelsFromTwips(twips)));
}

void fzfd::makeRoundWindow() {
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    if (isVisible())
        raise();
    const int w = magnifier::pixelsFromTwips(widthTwips_);
    const int h = magnifier::pixelsFromTwips(heightTwips_);
    setMask(QRegion(0, 0, w, h, QRegion::Ellipse));
    update();
}

void fzfd::Form_Activate() {
    raise();
}

bool fzfd::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate)
        Form_Activate();
    return QWidget::event(e);
}

void fzfd::Timer1_Timer() {
    const QPoint at = main_.platform().screen.pointer();
    mouseX_ = at.x();
    mouseY_ = at.y();
    const magnifier::SourceOrigin origin = magnifier::sourceOrigin(at);
    setWindowTitle(magnifier::coordinateCaption(main_.language(), origin));
    const auto grabbed =
        main_.platform().screen.grab(QRect(origin.x, origin.y, sourceWidth_, sourceHeight_));
    if (!grabbed) {
        // A black window helps nobody: say why and close.
        Timer1.stop();
        const QString flag = main_.language();
        main_.platform().dialogs.message(
            this,
            lang::pickC(flag, QStringLiteral("无法读取屏幕内容，放大镜已关闭。"),
                        QStringLiteral("The screen cannot be read here; the magnifier "
                                       "has been closed.")),
            lang::tipsTitle(flag), Dialogs::Icon::Warning);
        close();
        return;
    }
    // A plain pixel copy, as a stretched blit gives: no smoothing between pixels.
    frame_ = grabbed->scaled(factor_ * sourceWidth_, factor_ * sourceHeight_, Qt::IgnoreAspectRatio,
                             Qt::FastTransformation);
    update();
}

void fzfd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!frame_.isNull())
        painter.drawImage(0, 0, frame_);
}

void fzfd::Form_Click() {
    Timer1.stop();
    setHeightTwips(magnifier::resetSizeTwips);
    setWidthTwips(magnifier::resetSizeTwips);
    sourceWidth_ = 100;
    sourceHeight_ = 100;
    makeRoundWindow();
    Timer1.start(50);
}

void fzfd::Form_MouseDown(Qt::MouseButton button, const QPoint& globalPosition) {
    if (button == Qt::RightButton)
        xx->popup(globalPosition);
}

void fzfd::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->button(), event->globalPosition().toPoint());
}

void fzfd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Form_Click();
}

void fzfd::contextMenuEvent(QContextMenuEvent* event) {
    // The mouse opens the menu on the press; the menu key opens it here.
    if (event->reason() == QContextMenuEvent::Keyboard)
        xx->popup(mapToGlobal(QPoint(width() / 2, height() / 2)));
}

void fzfd::setFactor(int factor) {
    frame_ = QImage();
    update();
    Timer1.stop();
    factor_ = factor;
    Timer1.start(50);
}

void fzfd::two_Click() {
    setFactor(2);
}

void fzfd::three_Click() {
    setFactor(3);
}

void fzfd::four_Click() {
    setFactor(4);
}

void fzfd::exit_Click() {
    main_.activateMain();
    close();
}

void fzfd::Form_QueryUnload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    Timer1.stop();
    // The screen-cast stream, where there is one, ends with the window.
    main_.platform().screen.close();
    // A magnifier closed while still growing stops the growth too.
    main_.setMagnifierOpen(false);
}

void fzfd::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    event->accept();
}
