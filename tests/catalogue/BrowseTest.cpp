#include "../app/MainWindowHarness.h"
#include "catalogue/BrowseStep.h"
#include "catalogue/PreviewText.h"

#include "app/controls/FontListView.h"
#include <QAction>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

QStringList five() {
    return {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D"),
            QStringLiteral("E")};
}

struct Browser : MainWindowHarness {
    explicit Browser(const QStringList& families) {
        p.useFakeFonts(families);
        start();
        window->Command1_Click();
    }
    // Drives the downward timer n times; returns the selection after each tick, and the
    // rows the preview was drawn for.
    QList<int> ticks(bool downward, int n) {
        QList<int> rows;
        for (int i = 0; i < n; ++i) {
            if (downward)
                window->Timerlistdown_Timer();
            else
                window->Timerlistup_Timer();
            rows << window->List1->currentRow();
        }
        return rows;
    }
};

} // namespace

TEST(Browse, DownwardLoopsThroughTheLastEntryAtOnce) {
    Browser b(five());
    frmfont& w = *b.window;
    w.down_Click();
    EXPECT_TRUE(w.down->isChecked());
    EXPECT_TRUE(w.Timerlistdown.isActive());
    QStringList previewed;
    QObject::connect(w.List1, &FontListView::currentRowChanged, [&](int row) {
        if (row >= 0)
            previewed << w.Label2->family();
    });
    EXPECT_EQ(b.ticks(true, 7), (QList<int>{0, 1, 2, 3, 0, 1, 2}));
    // The last font is shown for an instant in the same tick.
    EXPECT_EQ(previewed, (QStringList{"A", "B", "C", "D", "E", "A", "B", "C"}));
    EXPECT_TRUE(w.down->isChecked());
}

TEST(Browse, DownwardWithoutLoopingStopsOnTheLastEntry) {
    Browser b(five());
    frmfont& w = *b.window;
    w.fori_Click();
    EXPECT_FALSE(w.fori->isChecked());
    w.List1->setCurrentRow(2);
    w.down_Click();
    EXPECT_EQ(b.ticks(true, 1), QList<int>{3});
    EXPECT_TRUE(w.down->isChecked()); // not earlier
    EXPECT_EQ(b.ticks(true, 1), QList<int>{4});
    EXPECT_FALSE(w.down->isChecked());
    EXPECT_FALSE(w.Timerlistdown.isActive());
}

TEST(Browse, UpwardWrapsToTheLastButOneOrStopsWithNoSelection) {
    Browser b(five());
    frmfont& w = *b.window;
    w.List1->setCurrentRow(0);
    w.up_Click();
    EXPECT_EQ(b.ticks(false, 3), (QList<int>{3, 2, 1}));

    w.fori_Click(); // looping off
    w.List1->setCurrentRow(1);
    EXPECT_EQ(b.ticks(false, 1), QList<int>{0});
    EXPECT_TRUE(w.up->isChecked());
    EXPECT_EQ(b.ticks(false, 1), QList<int>{-1});
    EXPECT_FALSE(w.up->isChecked());
    EXPECT_FALSE(w.Timerlistup.isActive());
}

TEST(Browse, DirectionsExcludeEachOtherAndIntervalsApplyToTheRunningTimer) {
    Browser b(five());
    frmfont& w = *b.window;
    w.down_Click();
    w.fs_Click();
    EXPECT_EQ(w.Timerlistdown.interval(), 4000);
    EXPECT_EQ(w.Timerlistup.interval(), 4000);
    EXPECT_TRUE(w.Timerlistdown.isActive());
    w.up_Click();
    EXPECT_FALSE(w.down->isChecked());
    EXPECT_FALSE(w.Timerlistdown.isActive());
    EXPECT_TRUE(w.up->isChecked());
    w.ts_Click();
    EXPECT_EQ(w.Timerlistup.interval(), 2000);
    w.os_Click();
    EXPECT_EQ(w.Timerlistdown.interval(), 1000);
    w.rs_Click();
    EXPECT_EQ(w.Timerlistup.interval(), 3000);
    w.up_Click();
    EXPECT_FALSE(w.up->isChecked());
    EXPECT_FALSE(w.Timerlistup.isActive());

    // A refresh does not stop a running direction; the next step starts from no selection.
    w.down_Click();
    w.List1->setCurrentRow(3);
    w.ref_Click();
    EXPECT_TRUE(w.Timerlistdown.isActive());
    EXPECT_EQ(b.ticks(true, 1), QList<int>{0});
}

TEST(Browse, ListEndsTheDesignLeavesOpenWrapOrStop) {
    // Down from the last entry, up from no selection, a list of one, an empty list.
    EXPECT_EQ(browse::down(4, 5, true).rows, QList<int>{0});
    EXPECT_TRUE(browse::down(4, 5, false).stop);
    EXPECT_TRUE(browse::down(4, 5, false).rows.isEmpty());
    EXPECT_EQ(browse::up(-1, 5, true).rows, QList<int>{3});
    EXPECT_TRUE(browse::up(-1, 5, false).stop);
    EXPECT_EQ(browse::up(0, 1, true).rows, (QList<int>{-1, 0}));
    EXPECT_EQ(browse::down(-1, 1, true).rows, (QList<int>{0, 0}));
    EXPECT_TRUE(browse::down(-1, 0, true).stop);
    EXPECT_TRUE(browse::up(-1, 0, true).stop);

    Browser empty(QStringList{});
    frmfont& w = *empty.window;
    w.down_Click();
    w.Timerlistdown_Timer();
    EXPECT_FALSE(w.Timerlistdown.isActive());
    EXPECT_FALSE(w.down->isChecked());
}
