#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "app/controls/PictureButton.h"
#include "app/settings/CodePage.h"
#include "catalogue/PreviewText.h"
#include "export/frmhtml.h"
#include "platform/FontconfigFontSystem.h"
#include "tools/frmjwdy.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Availability {
    bool infor, ztxx, ref, jwdy, zdll;
    bool operator==(const Availability&) const = default;
};

Availability availability(const frmfont& w) {
    return {w.infor->isEnabled(), w.ztxx->isEnabled(), w.ref->isEnabled(), w.jwdy->isEnabled(),
            w.zdll->isEnabled()};
}

} // namespace

TEST(FontList, TheFontTableIsReadOnceAndFontconfigsCachesLeaveMemory) {
    FontconfigFontSystem fonts;
    fonts.rescan();
    ASSERT_TRUE(fonts.families().contains(QStringLiteral("DejaVu Sans")));
    EXPECT_EQ(fonts.familiesRemovedWith(QStringLiteral("DejaVu Sans")),
              QStringList{QStringLiteral("DejaVu Sans")});
    // Every font's entry in a cache was touched by the reading; kept mapped, they would stay
    // in memory for the whole run.
    QFile maps(QStringLiteral("/proc/self/maps"));
    ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
    for (const QByteArray& line : maps.readAll().split('\n'))
        EXPECT_FALSE(line.contains(".cache-")) << line.toStdString();
}

TEST(FontList, FillsFromFontconfigAndShowsTheCountInEachLanguage) {
    MainWindowHarness h;
    frmfont& w = h.start();
    // One entry per family, sorted by name.
    EXPECT_EQ(entries(w.List1),
              (QStringList{QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans Mono")}));
    EXPECT_EQ(w.List2->count(), 0);
    EXPECT_EQ(availability(w), (Availability{false, false, false, false, false}));

    w.Command1_Click();
    EXPECT_EQ(w.Label2->text(), QStringLiteral("您的系统共有 2 种字体"));
    EXPECT_EQ(w.Label6->text(), w.Label2->text());
    // A screen reader reads the count as the static text it is.
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(w.Label2);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->role(), QAccessible::StaticText);
    EXPECT_EQ(line->text(QAccessible::Name), QStringLiteral("您的系统共有 2 种字体"));
    EXPECT_FALSE(w.Label5->isHidden());
    EXPECT_EQ(w.List1->toolTip(), QStringLiteral("当前系统内字体列表"));
    // And the list by its name, each entry by its text, none of them editable.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.List1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->role(), QAccessible::List);
    EXPECT_EQ(list->text(QAccessible::Name), QStringLiteral("字体列表"));
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(1)->role(), QAccessible::ListItem);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_FALSE(list->child(1)->state().editable);
    EXPECT_TRUE(w.Command1->isHidden());
    EXPECT_FALSE(w.Command->isHidden());
    EXPECT_TRUE(w.List2->isHidden());
    EXPECT_FALSE(w.List1->isHidden());
    EXPECT_EQ(w.pd->text(), QStringLiteral("y"));
    EXPECT_EQ(w.List1->currentRow(), -1);
    EXPECT_EQ(availability(w), (Availability{false, false, true, false, true}));
    EXPECT_TRUE(w.Timer1.isActive());

    // The hint grows 20 twips a tick from 500 to 3380 and stops after 144 ticks.
    int ticks = 0;
    while (w.Timer1.isActive() && ticks < 1000) {
        w.Timer1_Timer();
        ++ticks;
    }
    EXPECT_EQ(ticks, 144);
    EXPECT_EQ(w.Label5->width(), 3380 / 15);

    w.List1->setCurrentRow(entries(w.List1).indexOf(QStringLiteral("DejaVu Sans Mono")));
    EXPECT_EQ(w.Label2->family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(w.Label6->family(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(w.Label2->pointSize(), 12);
    EXPECT_EQ(availability(w), (Availability{true, true, true, true, true}));

    MainWindowHarness english;
    english.set("Main", "language", QStringLiteral("e"));
    frmfont& e = english.start();
    e.Command1_Click();
    EXPECT_EQ(e.Label2->text(), QStringLiteral("There're 2 in your system"));
    EXPECT_TRUE(e.Label5->isHidden());
    EXPECT_EQ(e.List1->toolTip(), QStringLiteral("Font List in this system"));
}

TEST(FontList, RefreshSeesFontsAddedAndRemovedByAnyoneAndDrawsThemInTheirFace) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    w.List1->setCurrentRow(0);
    const QString installed = testenv::userFontsFolder() + QStringLiteral("/DejaVuSerif.ttf");
    ASSERT_TRUE(QFile::copy(testenv::spareFont(), installed));

    w.ref_Click();
    EXPECT_TRUE(entries(w.List1).contains(QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(w.List1->count(), 3);
    EXPECT_EQ(w.Label2->text(), QStringLiteral("您的系统共有 3 种字体"));
    EXPECT_EQ(w.Label6->text(), QStringLiteral("您的系统共有 3 种字体"));
    EXPECT_EQ(w.List1->currentRow(), -1);
    EXPECT_EQ(availability(w), (Availability{false, false, true, false, true}));

    // The new family previews in its own face, though the toolkit was shown only the interface
    // faces and their fallbacks at start.
    w.List1->setCurrentRow(entries(w.List1).indexOf(QStringLiteral("DejaVu Serif")));
    w.Label2->setText(QStringLiteral("Abc"));
    EXPECT_EQ(w.Label2->facesOfCharacters(), QStringList(3, QStringLiteral("DejaVu Serif")));
    EXPECT_EQ(w.Label2->drawnFamily(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("DejaVu Serif"))).family(),
              QStringLiteral("DejaVu Serif"));

    // A custom text stays through a refresh; a count for another number stays too.
    h.p.dialogs.inputs.push_back(QStringLiteral("样例 Sample"));
    w.ylwzzdy_Click();
    ASSERT_TRUE(QFile::remove(installed));
    w.ref_Click();
    EXPECT_EQ(w.List1->count(), 2);
    EXPECT_EQ(w.Label2->text(), QStringLiteral("样例 Sample"));
    w.engls_Click();
    EXPECT_EQ(w.Label2->text(), QStringLiteral("There're 2 in your system"));
    ASSERT_TRUE(QFile::copy(testenv::spareFont(), installed));
    w.ref_Click();
    EXPECT_EQ(w.Label2->text(), QStringLiteral("There're 3 in your system"));
    QFile::remove(installed);
    w.ref_Click();
}

TEST(FontList, TheFocusOnTheListSelectsNothingOnlyTheUserDoes) {
    MainWindowHarness h;
    h.set("Main", "language", QStringLiteral("c"));
    frmfont& w = h.start();
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto nothingChosen = [&w] {
        EXPECT_EQ(w.List1->currentRow(), -1);
        EXPECT_TRUE(w.List1->selectionModel()->selectedIndexes().isEmpty());
        EXPECT_EQ(availability(w), (Availability{false, false, true, false, true}));
        EXPECT_FALSE(w.delfont->isEnabled());
    };

    // "获取系统字体" pressed with the mouse: the list has the focus and no entry.
    QTest::mouseClick(w.Command1, Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.List1->hasFocus(); }, 2000));
    QTest::qWait(50);
    nothingChosen();

    // "刷新字体列表" pressed, then Shift+Tab back onto the list: still nothing.
    QTest::mouseClick(w.Command, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.List1->hasFocus(); }, 2000));
    nothingChosen();

    // A font clicked, then the list refreshed: Shift+Tab back onto the list chooses none again.
    const auto click = [&w](int row) {
        const QRect entry = w.List1->visualRect(w.List1->model()->index(row, 0));
        QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {}, entry.center());
        return w.selectedFont();
    };
    const auto tabAwayAndBack = [&w] {
        QTest::keyClick(w.List1, Qt::Key_Tab);
        EXPECT_FALSE(w.List1->hasFocus());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
        EXPECT_TRUE(QTest::qWaitFor([&] { return w.List1->hasFocus(); }, 2000));
    };
    ASSERT_EQ(click(1), QStringLiteral("DejaVu Sans Mono"));
    QTest::mouseClick(w.Command, Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_TRUE(QTest::qWaitFor([&] { return w.List1->hasFocus(); }, 2000));
    nothingChosen();
    // The language switched with a font chosen: it stays the one chosen, before and after Tab.
    ASSERT_EQ(click(1), QStringLiteral("DejaVu Sans Mono"));
    w.engls->trigger();
    tabAwayAndBack();
    EXPECT_EQ(w.selectedFont(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(w.Label2->family(), QStringLiteral("DejaVu Sans Mono"));
    w.jtzw->trigger();
    w.ref->trigger();
    tabAwayAndBack();
    nothingChosen();

    // Browsing down starts at the first entry; the arrow key from nothing chooses it too.
    w.down->trigger();
    w.Timerlistdown_Timer();
    EXPECT_EQ(w.List1->currentRow(), 0);
    w.down->trigger();
    w.ref->trigger();
    QTest::keyClick(w.List1, Qt::Key_Down);
    EXPECT_EQ(w.List1->currentRow(), 0);
    EXPECT_EQ(availability(w), (Availability{true, true, true, true, true}));
}

TEST(FontList, RightButtonOpensTheContextMenuOnTheListOnly) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    // On the placeholder: nothing.
    QTest::mousePress(w.List2->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    QTest::qWait(50);
    EXPECT_FALSE(w.xxMenu->isVisible());
    w.Command1_Click();
    QTest::mousePress(w.List1->viewport(), Qt::RightButton, {}, QPoint(10, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.xxMenu->isVisible(); }, 5000));
    w.xxMenu->hide();
    // From the keyboard as well (menu key, Shift+F10).
    w.List1->setCurrentRow(0);
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0),
                          w.List1->mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(w.List1, &key);
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.xxMenu->isVisible(); }, 5000));
    w.xxMenu->hide();
    QTest::mousePress(w.Label2, Qt::RightButton, {}, QPoint(5, 5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.ylszMenu->isVisible(); }, 5000));
    w.ylszMenu->hide();
    w.hide();
}

TEST(FontList, SelectingAVerticalVariantPreviewsItLikeAnyOther) {
    MainWindowHarness h;
    h.p.useFakeFonts({QStringLiteral("DejaVu Sans"), QStringLiteral("@DejaVu Sans")});
    frmfont& w = h.start();
    w.Command1_Click();
    w.List1->setCurrentRow(entries(w.List1).indexOf(QStringLiteral("@DejaVu Sans")));
    EXPECT_EQ(w.Label2->family(), QStringLiteral("@DejaVu Sans"));
    EXPECT_EQ(w.selectedFont(), QStringLiteral("@DejaVu Sans"));
    EXPECT_TRUE(w.infor->isEnabled());
}

TEST(FontList, ListsFamiliesByTheReadersNameInItsOrderAndEveryUseReachesTheFamily) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    // Three families with an English and a Chinese name, installed by hand.
    QStringList installed;
    for (const char* file : {"QuillSans.ttf", "BrookSerif.ttf", "IvyMono.ttf"}) {
        installed << testenv::userFontsFolder() + QLatin1Char('/') + QLatin1String(file);
        ASSERT_TRUE(QFile::copy(testenv::testFont(QLatin1String(file)), installed.last()));
    }
    w.ref_Click();
    // Chinese: Chinese names in pinyin order (an, hei, song), then the Latin names.
    EXPECT_EQ(entries(w.List1),
              (QStringList{"安澜体", "黑曜体", "宋韵体", "DejaVu Sans", "DejaVu Sans Mono"}));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("您的系统共有 5 种字体"));

    w.List1->setCurrentRow(1);
    EXPECT_EQ(w.selectedFont(), QStringLiteral("Quill Sans"));
    EXPECT_EQ(w.Label2->family(), QStringLiteral("Quill Sans"));
    w.Label2->setText(QStringLiteral("Ab"));
    EXPECT_EQ(w.Label2->facesOfCharacters(), QStringList(2, QStringLiteral("Quill Sans")));
    w.infor_Click();
    EXPECT_TRUE(
        h.p.dialogs.messageTexts().last().startsWith(QStringLiteral("字体名称：黑曜体\r\n")));

    // English: English names, letters in either case alike; the same family stays selected.
    w.engls_Click();
    EXPECT_EQ(entries(w.List1), (QStringList{"brook Serif", "DejaVu Sans", "DejaVu Sans Mono",
                                             "Ivy Mono", "Quill Sans"}));
    EXPECT_EQ(w.List1->text(w.List1->currentRow()), QStringLiteral("Quill Sans"));
    EXPECT_EQ(w.selectedFont(), QStringLiteral("Quill Sans"));
    w.jtzw_Click();
    EXPECT_EQ(w.List1->text(w.List1->currentRow()), QStringLiteral("黑曜体"));

    // The page names the entry as listed and draws it in the family.
    w.mnuouthtml_Click();
    auto* html = w.findChild<frmhtml*>();
    ASSERT_NE(html, nullptr);
    const QString page = testenv::newFolder(QStringLiteral("html")) + QStringLiteral("/p.html");
    html->texturl->setText(page);
    html->comok_Click();
    EXPECT_TRUE(codepage::decode(testenv::readFile(page))
                    .contains(QStringLiteral("<font>黑曜体 </font><font face=\"Quill Sans\"")));
    html->comback_Click();

    // Deleting the entry asks by its Chinese name and removes that family's file.
    w.List1->setCurrentRow(1);
    h.p.dialogs.clear();
    h.p.dialogs.answers.push_back(Dialogs::Answer::Yes);
    w.delcfont_Click();
    EXPECT_TRUE(h.p.dialogs.messageTexts().value(0).contains(QStringLiteral("“黑曜体”")));
    EXPECT_FALSE(QFileInfo::exists(installed[0]));
    EXPECT_TRUE(QFileInfo::exists(installed[1]));
    EXPECT_EQ(entries(w.List1),
              (QStringList{"安澜体", "宋韵体", "DejaVu Sans", "DejaVu Sans Mono"}));
    for (const QString& file : installed)
        QFile::remove(file);
    w.ref_Click();
}
