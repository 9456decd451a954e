#include "tools/Magnifier.h"
#include "../app/MainWindowHarness.h"
#include "tools/fzfd.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using magnifier::SourceOrigin;

// The shape is an ellipse filling a width × height box (the rasterised edge may lose a row).
bool ellipseFits(const QRegion& shape, int width, int height) {
    const QRect box = shape.boundingRect();
    return QRect(0, 0, width, height).contains(box) && box.width() >= width - 1 &&
           box.height() >= height - 1 && !shape.contains(QPoint(1, 1)) &&
           !shape.contains(QPoint(width - 2, height - 2)) &&
           shape.contains(QPoint(width / 2, height / 2));
}

// A screen whose every pixel tells where it is.
QImage coordinateScreen() {
    QImage image(1280, 1024, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x / 256) * 16 + y / 256));
    return image;
}

void deletePending() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

struct OpenMagnifier {
    explicit OpenMagnifier(const QString& flag = QStringLiteral("c")) {
        h.p.screen.image = coordinateScreen();
        h.p.screen.position = QPoint(500, 300);
        w = &h.start();
        w->setLanguage(flag);
        w->fdj_Click();
        win = w->findChild<fzfd*>();
    }
    QList<fzfd*> windows() const { return w->findChildren<fzfd*>(); }

    MainWindowHarness h;
    frmfont* w = nullptr;
    fzfd* win = nullptr;
};

} // namespace

TEST(MagnifierArithmetic, SourceOriginHoldsThePointerInsideTheCopiedSquare) {
    auto origin = [](int x, int y) {
        const SourceOrigin o = magnifier::sourceOrigin(QPoint(x, y));
        return QPoint(o.x, o.y);
    };
    EXPECT_EQ(origin(30, 10), QPoint(0, 0));
    EXPECT_EQ(origin(500, 300), QPoint(450, 280));
    EXPECT_EQ(origin(1000, 900), QPoint(800, 800));
    // The edges: 50 and 20 are the first positions that move, 800 the last before the jump.
    EXPECT_EQ(origin(49, 19), QPoint(0, 0));
    EXPECT_EQ(origin(50, 20), QPoint(0, 0));
    EXPECT_EQ(origin(51, 21), QPoint(1, 1));
    EXPECT_EQ(origin(800, 800), QPoint(750, 780));
    EXPECT_EQ(origin(801, 801), QPoint(800, 800));
    EXPECT_EQ(origin(-40, -7), QPoint(0, 0));
}

TEST(MagnifierArithmetic, CoordinateCaptionFollowsTheCRule) {
    const SourceOrigin o{120, 340};
    EXPECT_EQ(magnifier::coordinateCaption(QStringLiteral("c"), o),
              QStringLiteral("    坐标120,340"));
    EXPECT_EQ(magnifier::coordinateCaption(QStringLiteral("e"), o),
              QStringLiteral("     Axis120,340"));
    EXPECT_EQ(magnifier::coordinateCaption(QString(), SourceOrigin{0, 0}),
              QStringLiteral("     Axis0,0"));
    EXPECT_EQ(magnifier::pixelsFromTwips(2910), 194);
    EXPECT_EQ(magnifier::pixelsFromTwips(10), 1);
    EXPECT_EQ(magnifier::pixelsFromTwips(112), 7);
    EXPECT_EQ(magnifier::pixelsFromTwips(113), 8);
}

TEST(Magnifier, OpensOnceWithTheNoticeAndSaysSoWhenAlreadyOpen) {
    OpenMagnifier m(QStringLiteral("c"));
    ASSERT_NE(m.win, nullptr);
    EXPECT_TRUE(m.w->magnifierOpen());
    EXPECT_TRUE(m.win->isVisible());
    EXPECT_TRUE(m.win->windowFlags() & Qt::WindowStaysOnTopHint);
    // A screen reader announces the window by its caption.
    QAccessibleInterface* window = QAccessible::queryAccessibleInterface(m.win);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->text(QAccessible::Name), m.win->windowTitle());
    EXPECT_FALSE(m.win->windowTitle().isEmpty());
    auto shown = m.h.p.dialogs.messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, QStringLiteral("系统提示"));
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("VLFonts")));
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("放大镜")));

    m.win->setWidthTwips(1200);
    m.h.p.dialogs.clear();
    m.w->fdj_Click();
    shown = m.h.p.dialogs.messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, QStringLiteral("放大镜已经启动。"));
    EXPECT_EQ(shown[0].title, QStringLiteral("系统提示"));
    EXPECT_EQ(shown[0].icon, Dialogs::Icon::Information);
    EXPECT_EQ(m.windows().size(), 1);
    EXPECT_EQ(m.win->widthTwips(), 1200);
}

TEST(Magnifier, NoticeAndAlreadyOpenMessageInEnglish) {
    OpenMagnifier m(QStringLiteral("e"));
    auto shown = m.h.p.dialogs.messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].title, QStringLiteral("Tips"));
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("VLFonts")));
    EXPECT_TRUE(shown[0].text.contains(QStringLiteral("magnifier")));
    m.w->fdj_Click();
    // The "already open" message is Chinese whatever the language.
    EXPECT_EQ(m.h.p.dialogs.messageTexts().last(), QStringLiteral("放大镜已经启动。"));
}

TEST(Magnifier, GrowsTo2910TwipsSquareKeepingTheEllipseOfItsLoad) {
    OpenMagnifier m;
    ASSERT_NE(m.win, nullptr);
    EXPECT_EQ(m.win->heightTwips(), 10);
    EXPECT_EQ(m.win->widthTwips(), 10);
    EXPECT_TRUE(m.w->Timerfdj.isActive());
    EXPECT_EQ(m.w->Timerfdj.interval(), 5);
    // Cut at load to the designed 2910 × 2400 twips.
    EXPECT_TRUE(ellipseFits(m.win->mask(), 194, 160));

    int ticks = 0;
    while (m.w->Timerfdj.isActive() && ticks < 500) {
        m.w->Timerfdj_Timer();
        ++ticks;
        if (ticks == 1) {
            EXPECT_EQ(m.win->heightTwips(), 40);
            EXPECT_EQ(m.win->widthTwips(), 40);
        }
    }
    EXPECT_EQ(ticks, 97);
    EXPECT_EQ(m.win->heightTwips(), 2910);
    EXPECT_EQ(m.win->widthTwips(), 2910);
    EXPECT_EQ(m.win->size(), QSize(194, 194));
    EXPECT_TRUE(ellipseFits(m.win->mask(), 194, 160));

    // A left click makes it 3000 × 3000 twips with an ellipse fitted to it.
    QTest::mouseClick(m.win, Qt::LeftButton, {}, QPoint(90, 60));
    EXPECT_EQ(m.win->heightTwips(), 3000);
    EXPECT_EQ(m.win->widthTwips(), 3000);
    EXPECT_EQ(m.win->size(), QSize(200, 200));
    EXPECT_TRUE(ellipseFits(m.win->mask(), 200, 200));
    EXPECT_TRUE(m.win->Timer1.isActive());
    EXPECT_EQ(m.win->Timer1.interval(), 50);
    EXPECT_EQ(m.win->sourceWidth(), 100);
    EXPECT_EQ(m.win->sourceHeight(), 100);
}

TEST(Magnifier, CopiesTheSquareBesideThePointerEnlargedByTheChosenFactor) {
    OpenMagnifier m{QString()};
    ASSERT_NE(m.win, nullptr);
    const QImage screen = m.h.p.screen.image;
    EXPECT_TRUE(m.win->Timer1.isActive());
    EXPECT_EQ(m.win->Timer1.interval(), 50);
    EXPECT_EQ(m.win->factor(), 2);

    m.win->Timer1_Timer();
    ASSERT_FALSE(m.h.p.screen.grabs.isEmpty());
    EXPECT_EQ(m.h.p.screen.grabs.last(), QRect(450, 280, 100, 100));
    EXPECT_EQ(m.win->lastPointer(), QPoint(500, 300));
    // The empty flag: the caption by the "c" rule is English.
    EXPECT_EQ(m.win->windowTitle(), QStringLiteral("     Axis450,280"));
    QImage frame = m.win->frame();
    ASSERT_EQ(frame.size(), QSize(200, 200));
    // Every source pixel becomes a 2 × 2 block; the pointer's point lands at (100, 40).
    EXPECT_EQ(frame.pixel(100, 40), screen.pixel(500, 300));
    EXPECT_EQ(frame.pixel(101, 41), screen.pixel(500, 300));
    EXPECT_EQ(frame.pixel(102, 40), screen.pixel(501, 300));
    EXPECT_EQ(frame.pixel(0, 0), screen.pixel(450, 280));
    EXPECT_EQ(frame.pixel(199, 199), screen.pixel(549, 379));

    m.win->four_Click();
    EXPECT_EQ(m.win->factor(), 4);
    EXPECT_TRUE(m.win->frame().isNull()); // the drawing is cleared at once
    EXPECT_TRUE(m.win->Timer1.isActive());
    m.win->Form_Click(); // 200 × 200 pixels
    m.win->Timer1_Timer();
    frame = m.win->frame();
    ASSERT_EQ(frame.size(), QSize(400, 400));
    EXPECT_EQ(frame.pixel(200, 80), screen.pixel(500, 300));
    EXPECT_EQ(frame.pixel(203, 83), screen.pixel(500, 300));
    // What the window shows: only the top-left quarter of the enlargement fits.
    const QImage shown = m.win->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(200, 200));
    EXPECT_EQ(shown.pixel(196, 80), screen.pixel(499, 300));
    EXPECT_EQ(shown.pixel(100, 100), screen.pixel(475, 305));

    m.win->three_Click();
    m.h.p.screen.position = QPoint(1000, 900);
    m.win->Timer1_Timer();
    EXPECT_EQ(m.win->frame().size(), QSize(300, 300));
    EXPECT_EQ(m.win->frame().pixel(3, 3), screen.pixel(801, 801));
    EXPECT_EQ(m.win->windowTitle(), QStringLiteral("     Axis800,800"));
}

TEST(Magnifier, MenusFollowTheERuleAndTheLanguageSwitch) {
    OpenMagnifier m{QString()};
    ASSERT_NE(m.win, nullptr);
    auto texts = [&] {
        return QStringList{m.win->windowTitle(), m.win->fdbs->text(), m.win->two->text(),
                           m.win->three->text(), m.win->four->text(), m.win->exit->text()};
    };
    EXPECT_EQ(texts(), (QStringList{"辅助工具-放大镜", "放大", "2倍", "3倍", "4倍", "退出"}));
    m.w->setLanguage(QStringLiteral("c"));
    m.win->Timer1_Timer();
    EXPECT_EQ(m.win->windowTitle(), QStringLiteral("    坐标450,280"));

    m.w->engls_Click();
    EXPECT_EQ(texts(), (QStringList{"Tool-Clearly", "Amplification", "2 Times", "3 Times",
                                    "4 Times", "Exit"}));
    m.w->jtzw_Click();
    EXPECT_EQ(m.win->four->text(), QStringLiteral("4倍"));

    // The right button opens the menu; the left does not.
    QTest::mousePress(m.win, Qt::LeftButton, {}, QPoint(60, 60));
    EXPECT_FALSE(m.win->xx->isVisible());
    QTest::mousePress(m.win, Qt::RightButton, {}, QPoint(60, 60));
    EXPECT_TRUE(m.win->xx->isVisible());
    m.win->xx->hide();
}

TEST(Magnifier, FlagReturnsToNHoweverTheWindowCloses) {
    OpenMagnifier m;
    ASSERT_NE(m.win, nullptr);
    QPointer<fzfd> first = m.win;
    m.win->exit_Click();
    EXPECT_FALSE(m.w->magnifierOpen());
    EXPECT_EQ(m.w->Label8->text(), QStringLiteral("n"));
    deletePending();
    EXPECT_TRUE(first.isNull());

    // Closed another way while still growing: the flag and the growth stop too.
    m.w->fdj_Click();
    QPointer<fzfd> second = m.w->findChild<fzfd*>();
    ASSERT_FALSE(second.isNull());
    EXPECT_TRUE(m.w->magnifierOpen());
    m.w->Timerfdj_Timer();
    EXPECT_TRUE(m.w->Timerfdj.isActive());
    second->close();
    EXPECT_EQ(m.w->Label8->text(), QStringLiteral("n"));
    EXPECT_FALSE(m.w->Timerfdj.isActive());
    deletePending();
    EXPECT_TRUE(second.isNull());

    // And the menu item opens a new one afterwards.
    m.h.p.dialogs.clear();
    m.w->fdj_Click();
    EXPECT_EQ(m.windows().size(), 1);
    EXPECT_TRUE(m.w->magnifierOpen());
    EXPECT_FALSE(m.h.p.dialogs.messageTexts().contains(QStringLiteral("放大镜已经启动。")));
}

TEST(Magnifier, UnreadableScreenIsReportedInsteadOfABlackWindow) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.setLanguage(QStringLiteral("e"));
    w.fdj_Click(); // the fake screen holds no image: grabbing is impossible
    EXPECT_EQ(w.findChildren<fzfd*>().size(), 0);
    EXPECT_FALSE(w.magnifierOpen());
    ASSERT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("Tips"));
    EXPECT_TRUE(h.p.dialogs.messages()[0].text.contains(QStringLiteral("screen")));

    // The screen becomes unreadable while the magnifier is open.
    h.p.screen.image = coordinateScreen();
    w.fdj_Click();
    QPointer<fzfd> win = w.findChild<fzfd*>();
    ASSERT_FALSE(win.isNull());
    h.p.screen.image = QImage();
    h.p.dialogs.clear();
    win->Timer1_Timer();
    EXPECT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_FALSE(w.magnifierOpen());
    deletePending();
    EXPECT_TRUE(win.isNull());
}
