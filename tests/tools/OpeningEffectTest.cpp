#include "tools/OpeningEffect.h"

#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

using openingeffect::Corners;

TEST(OpeningEffectGeometry, GrowsFromTheCentreToExactlyTheWindow) {
    const Corners window{100, 50, 500, 350}; // 400 × 300
    const QList<Corners> all = openingeffect::steps(window, 3500);
    ASSERT_EQ(all.size(), 3500);
    // Step 1: about 0.1 × 0 pixels at the centre, which draws nothing.
    EXPECT_EQ(all[0], (Corners{300, 200, 300, 200}));
    EXPECT_TRUE(all[0].empty());
    EXPECT_EQ(all[1749], (Corners{200, 125, 400, 275}));
    EXPECT_EQ(all[3499], window);
    // Every rectangle holds the one before it: drawn over each other they grow outwards.
    for (int i = 1; i < all.size(); ++i) {
        EXPECT_LE(all[i].left, all[i - 1].left);
        EXPECT_LE(all[i].top, all[i - 1].top);
        EXPECT_GE(all[i].right, all[i - 1].right);
        EXPECT_GE(all[i].bottom, all[i - 1].bottom);
    }
}

TEST(OpeningEffectGeometry, NoStepsForZeroOrLess) {
    EXPECT_TRUE(openingeffect::steps(Corners{0, 0, 400, 300}, 0).isEmpty());
    EXPECT_TRUE(openingeffect::steps(Corners{0, 0, 400, 300}, -7).isEmpty());
}

TEST(OpeningEffectGeometry, RoundsHalvesToTheEvenNeighbour) {
    // 10 × 5 in two steps; step 1: w = 5, h = round(2.5) = 2, x = 2.5, y = 1.5.
    EXPECT_EQ(openingeffect::step(Corners{0, 0, 10, 5}, 1, 2), (Corners{2, 2, 8, 4}));
    // Moved by one pixel the halves round the other way: x = 3.5, y = 2.5, h = 2.
    EXPECT_EQ(openingeffect::step(Corners{1, 1, 11, 6}, 1, 2), (Corners{4, 2, 8, 4}));
    // Width stays in floating point: 3 × 1/2 = 1.5 wide, from 0.75 to 2.25.
    EXPECT_EQ(openingeffect::step(Corners{0, 0, 3, 3}, 1, 2), (Corners{1, 0, 2, 2}));
}

TEST(OpeningEffectGeometry, HeightBeyondSixteenBitsIsHeldAtTheLimit) {
    const Corners tall{0, 0, 100, 40000};
    EXPECT_EQ(openingeffect::step(tall, 1, 1), (Corners{0, 0, 100, 32767}));
    const Corners half = openingeffect::step(tall, 1, 2);
    EXPECT_GT(half.bottom, half.top);
}

TEST(OpeningEffect, LeavesNoWindowBehind) {
    QWidget window;
    window.setGeometry(200, 150, 400, 300);
    const auto before = QGuiApplication::allWindows().size();
    playOpeningEffect(&window, 0);
    EXPECT_EQ(QGuiApplication::allWindows().size(), before);
    playOpeningEffect(&window, 3500);
    EXPECT_EQ(QGuiApplication::allWindows().size(), before);
    EXPECT_FALSE(window.isVisible());
    playOpeningEffect(nullptr, 3500);
}

TEST(OpeningEffect, PlacesAWindowNobodyPlacedWhereTheEffectIsDrawn) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* content = new QWidget;
    content->setFixedSize(300, 200);
    layout->addWidget(content);
    playOpeningEffect(&window, 10);
    EXPECT_FALSE(window.isVisible());
    // Centred on the screen (1280 × 1024 under the test server), at its own size.
    const QRect screen = window.screen()->availableGeometry();
    EXPECT_EQ(window.geometry().center(), screen.center());
    EXPECT_EQ(window.size(), window.sizeHint());
    EXPECT_GE(window.width(), 300);

    // A window placed by its owner stays where it is.
    QWidget placed;
    placed.setGeometry(10, 20, 400, 300);
    playOpeningEffect(&placed, 10);
    EXPECT_EQ(placed.geometry(), QRect(10, 20, 400, 300));

    // On native Wayland the compositor places windows: nothing is moved or sized.
    QWidget unplaced;
    playOpeningEffect(&unplaced, 10, DesktopSession::WaylandNative);
    EXPECT_FALSE(unplaced.testAttribute(Qt::WA_Moved));
    EXPECT_FALSE(unplaced.testAttribute(Qt::WA_Resized));
}
