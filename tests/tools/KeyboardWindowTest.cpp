#include "../app/MainWindowHarness.h"
#include "app/controls/PictureButton.h"
#include "catalogue/PreviewText.h"
#include "tools/frmjwdy.h"
#include "tools/frmzdy.h"

#include <QAccessible>
#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <gtest/gtest.h>

namespace {

const QString mono = QStringLiteral("DejaVu Sans Mono");

struct KeyboardWindow {
    explicit KeyboardWindow(const QString& flag) {
        w = &h.start();
        w->Command1_Click();
        if (w->List1->row(mono) >= 0)
            w->List1->setCurrentRow(w->List1->row(mono));
        w->setLanguage(flag);
        w->jwdy_Click();
        win = w->findChild<frmjwdy*>();
    }
    frmzdy* customDisplay() const { return win->findChild<frmzdy*>(); }

    MainWindowHarness h;
    frmfont* w = nullptr;
    frmjwdy* win = nullptr;
};

QColor headingOf(const frmjwdy& win) {
    return win.Label3->palette().color(QPalette::WindowText);
}

QStringList captionsOf(const frmjwdy& win) {
    return {win.windowTitle(), win.Label3->text(),      win.xuan->text(),       win.ysxz->text(),
            win.zdy->text(),   win.Command1->caption(), win.Command1->toolTip()};
}

} // namespace

TEST(KeyboardWindow, ShowsEveryKeyInTheSelectedFaceAtItsDesignedPlace) {
    KeyboardWindow k(QStringLiteral("c"));
    ASSERT_EQ(k.w->selectedFont(), mono);
    ASSERT_NE(k.win, nullptr);
    // Drawn in the family itself: the toolkit, shown only the interface faces at start, is
    // handed its files when the window draws it.
    EXPECT_EQ(k.win->Label2[0]->drawnFamily(), mono);
    EXPECT_EQ(k.win->Label4[0]->drawnFamily(), mono);
    EXPECT_TRUE(k.win->isVisible());
    EXPECT_TRUE(k.w->isHidden());
    ASSERT_EQ(k.win->Label1.size(), 26);
    ASSERT_EQ(k.win->Label2.size(), 26);
    ASSERT_EQ(k.win->Label6.size(), 26);
    ASSERT_EQ(k.win->Label4.size(), 10);
    for (int i = 0; i < 26; ++i) {
        const QChar capital(u'A' + i);
        EXPECT_EQ(k.win->Label1[i]->text(), QString(capital) + QLatin1Char(':'));
        EXPECT_EQ(k.win->Label2[i]->text(), QString(capital));
        EXPECT_EQ(k.win->Label6[i]->text(), QString(QChar(u'a' + i)));
        EXPECT_EQ(k.win->Label2[i]->family(), mono);
        EXPECT_EQ(k.win->Label6[i]->family(), mono);
        // Key names keep the interface face.
        EXPECT_NE(k.win->Label1[i]->font().family(), mono);
    }
    QStringList digits;
    for (PreviewText* d : k.win->Label4) {
        digits << d->text();
        EXPECT_EQ(d->family(), mono);
    }
    EXPECT_EQ(digits, (QStringList{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
    EXPECT_EQ(k.win->Label7->family(), mono);
    EXPECT_TRUE(k.win->Label7->isHidden());
    // A screen reader reads each glyph as the text it shows.
    QAccessibleInterface* cell = QAccessible::queryAccessibleInterface(k.win->Label6[6]);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->role(), QAccessible::StaticText);
    EXPECT_EQ(cell->text(QAccessible::Name), QStringLiteral("g"));

    // Twips / 15: A at (600, 480), M at the end of the first column, N at the top of the second.
    EXPECT_EQ(k.win->Label1[0]->geometry(), QRect(40, 32, 33, 17));
    EXPECT_EQ(k.win->Label1[2]->geometry().width(), 41); // "C:" is wider
    EXPECT_EQ(k.win->Label2[12]->geometry(), QRect(64, 224, 25, 17));
    EXPECT_EQ(k.win->Label2[13]->geometry(), QRect(160, 32, 25, 17));
    EXPECT_EQ(k.win->Label6[25]->geometry(), QRect(192, 224, 25, 17));
    EXPECT_EQ(k.win->Label1[13]->geometry().topLeft(), QPoint(136, 32));
    EXPECT_EQ(k.win->Label4[0]->geometry(), QRect(40, 256, 25, 17));
    EXPECT_EQ(k.win->Label4[4]->geometry().topLeft(), QPoint(136, 256));
    EXPECT_EQ(k.win->Label4[9]->geometry().topLeft(), QPoint(136, 280));
    EXPECT_EQ(k.win->Label5[1]->geometry().topLeft(), QPoint(8, 256));
    EXPECT_EQ(k.win->Command1->geometry(), QRect(176, 272, 65, 25));
}

TEST(KeyboardWindow, HeadingTakesThePreviewColourAndRecolourReachesEveryGlyph) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    w.List1->setCurrentRow(0);
    w.fcred_Click();
    w.jwdy_Click();
    frmjwdy* win = w.findChild<frmjwdy*>();
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(headingOf(*win), QColor(Qt::red));
    EXPECT_EQ(win->Label7->color(), QColor(Qt::red));
    const QColor keyColour = win->Label1[0]->palette().color(QPalette::WindowText);

    h.p.dialogs.colors = {QColor(0, 0, 255)};
    win->ysxz_Click();
    ASSERT_EQ(h.p.dialogs.shown.size(), 1);
    EXPECT_EQ(h.p.dialogs.shown[0].kind, QStringLiteral("color"));
    auto allGlyphsAre = [&](const QColor& c) {
        for (const auto* list : {&win->Label2, &win->Label4, &win->Label6})
            for (PreviewText* g : *list)
                if (g->color() != c)
                    return false;
        return headingOf(*win) == c;
    };
    EXPECT_TRUE(allGlyphsAre(QColor(0, 0, 255)));
    EXPECT_EQ(win->Label1[25]->palette().color(QPalette::WindowText), keyColour);
    EXPECT_EQ(win->Label7->color(), QColor(Qt::red));

    // Cancel keeps the colours.
    h.p.dialogs.colors = {std::nullopt};
    win->ysxz_Click();
    EXPECT_TRUE(allGlyphsAre(QColor(0, 0, 255)));
}

TEST(KeyboardWindow, CaptionsFollowTheERuleOnEveryActivation) {
    KeyboardWindow k{QString()};
    ASSERT_NE(k.win, nullptr);
    // The empty flag gives Chinese here, though most windows would be English.
    EXPECT_EQ(captionsOf(*k.win), (QStringList{"辅助工具-键位对应", "键位对应情况：", "选项",
                                               "颜色选择", "自定义文字", "返回", "返回主界面"}));
    EXPECT_FALSE(k.win->Label5[0]->isHidden());
    EXPECT_FALSE(k.win->Label5[1]->isHidden());
    EXPECT_FALSE(k.win->windowFlags() & Qt::WindowCloseButtonHint);
    k.win->close();
    EXPECT_TRUE(k.win->isVisible());

    k.w->setLanguage(QStringLiteral("e"));
    k.win->Form_Activate();
    EXPECT_EQ(captionsOf(*k.win),
              (QStringList{"Tools-Keyboard to Fonts", "Keyboard to Fonts Situation:", "Option",
                           "Choose Colour", "Custom Text", "Back", "Back"}));
    EXPECT_TRUE(k.win->Label5[0]->isHidden());
    EXPECT_TRUE(k.win->Label5[1]->isHidden());
    // The longer English heading is shown whole.
    EXPECT_GE(k.win->Label3->width(), k.win->Label3->sizeHint().width());
    EXPECT_TRUE(k.win->centralWidget()->rect().contains(k.win->Label3->geometry()));
}

TEST(KeyboardWindow, CustomTextAsksUntilSomethingIsTyped) {
    KeyboardWindow k(QStringLiteral("c"));
    ASSERT_NE(k.win, nullptr);
    k.win->Label7->setText(QStringLiteral("earlier"));
    QStringList label7WhenTold;
    k.h.p.dialogs.onMessage = [&](const FakeDialogs::Shown&) {
        label7WhenTold << k.win->Label7->text();
    };
    // Cancel (empty), then an empty entry, then a text.
    k.h.p.dialogs.inputs = {QString(), QString(), QStringLiteral("Hello 你好")};
    k.win->zdy_Click();
    const auto& shown = k.h.p.dialogs.shown;
    ASSERT_EQ(shown.size(), 5);
    for (int i : {0, 2, 4}) {
        EXPECT_EQ(shown[i].kind, QStringLiteral("input"));
        EXPECT_EQ(shown[i].text, QStringLiteral("请输入需要自定义的文字："));
        EXPECT_EQ(shown[i].title, QStringLiteral("自定义"));
    }
    for (int i : {1, 3}) {
        EXPECT_EQ(shown[i].text, QStringLiteral("未输入自定义文字"));
        EXPECT_EQ(shown[i].title, QStringLiteral("系统提示"));
    }
    // An empty answer cleared the earlier text at once.
    EXPECT_EQ(label7WhenTold, (QStringList{QString(), QString()}));
    EXPECT_EQ(k.win->Label7->text(), QStringLiteral("Hello 你好"));
    EXPECT_TRUE(k.win->isHidden());
    frmzdy* custom = k.customDisplay();
    ASSERT_NE(custom, nullptr);
    EXPECT_TRUE(custom->isVisible());
    EXPECT_EQ(custom->Label1->text(), QStringLiteral("Hello 你好"));
}

TEST(KeyboardWindow, CustomTextPromptFollowsTheBackButtonsLanguage) {
    KeyboardWindow k(QStringLiteral("e"));
    ASSERT_NE(k.win, nullptr);
    k.h.p.dialogs.inputs = {QString(), QStringLiteral("Aa")};
    k.win->zdy_Click();
    const auto& shown = k.h.p.dialogs.shown;
    ASSERT_EQ(shown.size(), 3);
    EXPECT_EQ(shown[0].text, QStringLiteral("Please type in what to preview："));
    EXPECT_EQ(shown[0].title, QStringLiteral("Custom Preview Text..."));
    EXPECT_EQ(shown[1].text, QStringLiteral("No type in !"));
    EXPECT_EQ(shown[1].title, QStringLiteral("Tips"));
}

TEST(CustomDisplay, LabelsItselfByTheCRuleAndShowsTheTextLargeInTheHeadingColour) {
    KeyboardWindow k{QString()};
    ASSERT_NE(k.win, nullptr);
    k.h.p.dialogs.colors = {QColor(0, 128, 0)};
    k.win->ysxz_Click();
    k.h.p.dialogs.inputs = {QStringLiteral("Qwerty")};
    k.win->zdy_Click();
    frmzdy* custom = k.customDisplay();
    ASSERT_NE(custom, nullptr);
    // The keyboard window is Chinese with the empty flag, this one English.
    EXPECT_EQ(custom->windowTitle(), QStringLiteral("Custom Text"));
    EXPECT_EQ(custom->Command1->caption(), QStringLiteral("Back"));
    EXPECT_EQ(custom->Command1->toolTip(), QStringLiteral("Back"));
    EXPECT_EQ(custom->Label1->family(), mono);
    EXPECT_EQ(custom->Label1->pointSize(), 42);
    EXPECT_EQ(custom->Label1->color(), QColor(0, 128, 0));
    // Sized to its text: a 42-point line is far taller than an interface label.
    EXPECT_GT(custom->Label1->height(), 40);
    EXPECT_GT(custom->Label1->width(), 4 * 20);
    EXPECT_FALSE(custom->windowFlags() & Qt::WindowCloseButtonHint);
    custom->close();
    EXPECT_TRUE(custom->isVisible());

    // Back: the keyboard window returns and labels itself afresh.
    k.w->setLanguage(QStringLiteral("e"));
    custom->Command1_Click();
    EXPECT_TRUE(custom->isHidden());
    EXPECT_TRUE(k.win->isVisible());
    EXPECT_EQ(k.win->windowTitle(), QStringLiteral("Tools-Keyboard to Fonts"));

    // Chinese by the "c" flag.
    k.w->setLanguage(QStringLiteral("c"));
    k.h.p.dialogs.inputs = {QStringLiteral("字")};
    k.win->Form_Activate();
    k.win->zdy_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    custom = k.customDisplay();
    ASSERT_NE(custom, nullptr);
    EXPECT_EQ(custom->windowTitle(), QStringLiteral("自定义显示"));
    EXPECT_EQ(custom->Command1->caption(), QStringLiteral("返回"));
    EXPECT_EQ(custom->Label1->text(), QStringLiteral("字"));
    const int oneCharacter = custom->Label1->width();
    EXPECT_GT(oneCharacter, 30);

    // Longer texts widen the label with them.
    custom->Command1_Click();
    k.h.p.dialogs.inputs = {QStringLiteral("字字字字")};
    k.win->zdy_Click();
    custom = k.customDisplay();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    custom = k.customDisplay();
    ASSERT_NE(custom, nullptr);
    EXPECT_GE(custom->Label1->width(), 4 * (oneCharacter - 4));

    // A text longer than the designed window widens it instead of being cut off; the button
    // keeps its place at the right.
    custom->Command1_Click();
    k.h.p.dialogs.inputs = {QStringLiteral("The quick brown fox jumps")};
    k.win->zdy_Click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    custom = k.customDisplay();
    ASSERT_NE(custom, nullptr);
    EXPECT_GT(custom->width(), 307);
    EXPECT_TRUE(custom->rect().contains(custom->Label1->geometry()));
    EXPECT_EQ(custom->width() - custom->Command1->geometry().left(), 307 - 232);
}

TEST(KeyboardWindow, BackShowsTheMainWindowAndTheNextOpeningTakesTheNewSelection) {
    KeyboardWindow k(QStringLiteral("c"));
    ASSERT_NE(k.win, nullptr);
    QPointer<frmjwdy> first = k.win;
    k.win->Command1_Click();
    EXPECT_TRUE(k.w->isVisible());
    EXPECT_TRUE(first->unloaded());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());

    const int row = k.w->List1->row(QStringLiteral("DejaVu Sans"));
    ASSERT_GE(row, 0);
    k.w->List1->setCurrentRow(row);
    k.w->jwdy_Click();
    frmjwdy* second = k.w->findChild<frmjwdy*>();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Label2[0]->family(), QStringLiteral("DejaVu Sans"));
}
