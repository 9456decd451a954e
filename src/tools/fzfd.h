#pragma once

#include "tools/Magnifier.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

class QAction;
class QMenu;
class MainView;

// fzfd: the magnifier. A topmost window cut to an ellipse that shows, every 50 ms, the screen
// square beside the pointer enlarged 2, 3 or 4 times. A left click resets its size, the right
// button opens its menu. Closing it in any way clears the main window's magnifier flag.
class fzfd final : public QWidget {
    Q_OBJECT
public:
    explicit fzfd(MainView& main);

    // Window size in twips, as the growth and the reset set it (the client area).
    int widthTwips() const { return widthTwips_; }
    int heightTwips() const { return heightTwips_; }
    void setWidthTwips(int twips);
    void setHeightTwips(int twips);

    int factor() const { return factor_; }
    int sourceWidth() const { return sourceWidth_; }
    int sourceHeight() const { return sourceHeight_; }
    QPoint lastPointer() const { return QPoint(mouseX_, mouseY_); }
    // The enlargement drawn at the client origin; null before the first capture and after a
    // factor change has cleared the drawing.
    const QImage& frame() const { return frame_; }

    // Hidden pop-up menu xx: submenu fdbs with two, three, four; then exit.
    QMenu* xx;
    QMenu* fdbsMenu; // fdbs: "放大", the enlargement factor
    QAction* fdbs;
    QAction* two;
    QAction* three;
    QAction* four;
    QAction* exit;
    // Capture timer, 50 ms from load to unload.
    QTimer Timer1;

public slots:
    void Form_Activate();
    void Timer1_Timer();
    // Left click: size 3000 × 3000 twips with an ellipse fitted to it.
    void Form_Click();
    void Form_MouseDown(Qt::MouseButton button, const QPoint& globalPosition);
    void two_Click();
    void three_Click();
    void four_Click();
    void exit_Click();
    // Relabels caption and menus (the main window's language switch while open).
    void applyCaptions(bool chinese);
    // Topmost, and cut to an ellipse fitted to the size at this moment.
    void makeRoundWindow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void Form_Load();
    void Form_QueryUnload();
    void setFactor(int factor);

    MainView& main_;
    int widthTwips_ = magnifier::designedWidthTwips;
    int heightTwips_ = magnifier::designedHeightTwips;
    int mouseX_ = 0;
    int mouseY_ = 0;
    int factor_ = 2;
    int sourceWidth_ = 100;
    int sourceHeight_ = 100;
    QImage frame_;
    bool unloaded_ = false;
};
