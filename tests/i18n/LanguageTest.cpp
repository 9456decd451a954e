#include "i18n/Language.h"
#include "../app/MainWindowHarness.h"
#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "catalogue/PreviewText.h"

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <gtest/gtest.h>

namespace {

bool hasChinese(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() >= 0x3000)
            return true;
    return false;
}

// Items that carry one caption in both languages.
const QStringList sameInBoth = {QStringLiteral("mnuouthtml"), QStringLiteral("mnupresave"),
                                QStringLiteral("mnupop"),     QStringLiteral("mnuautocheck"),
                                QStringLiteral("mnucheck"),   QStringLiteral("xx")};

// Every visible text of the main window that belongs to one language.
QStringList foreignTexts(const frmfont& w, bool chinese) {
    QStringList wrong;
    auto check = [&](const QString& where, const QString& text) {
        if (text.trimmed().isEmpty())
            return;
        if (!chinese && hasChinese(text))
            wrong << where + QStringLiteral(": ") + text;
        if (chinese && !hasChinese(text) && text != QLatin1String("English") &&
            !text.startsWith(QLatin1String("E-mail")) && !text.startsWith(QLatin1String("Bug")) &&
            !text.startsWith(QLatin1String("Vorlan")))
            wrong << where + QStringLiteral(": ") + text;
    };
    for (QAction* item : w.findChildren<QAction*>()) {
        if (item->isSeparator() || item->objectName().isEmpty() ||
            sameInBoth.contains(item->objectName()))
            continue;
        check(item->objectName(), item->text());
    }
    for (PictureButton* button : w.findChildren<PictureButton*>()) {
        check(button->objectName(), button->caption());
        check(button->objectName() + QStringLiteral(" tooltip"), button->toolTip());
    }
    check(QStringLiteral("Label1"), w.Label1->text());
    check(QStringLiteral("Label2"), w.Label2->text());
    check(QStringLiteral("Label6"), w.Label6->text());
    check(QStringLiteral("List1 tooltip"), w.List1->toolTip());
    check(QStringLiteral("List2 tooltip"), w.List2->toolTip());
    check(QStringLiteral("MovingText1 tooltip"), w.MovingText1->toolTip());
    check(QStringLiteral("caption"), w.windowTitle());
    return wrong;
}

} // namespace

TEST(Language, SwitchBeforeTheFetchShowsThePlaceholderAndReadyTooltips) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.engls_Click();
    EXPECT_EQ(w.l->text(), QStringLiteral("e"));
    EXPECT_EQ(w.Label2->text(), QStringLiteral("There're 0 in your system"));
    EXPECT_EQ(w.Label6->text(), w.Label2->text());
    EXPECT_EQ(w.List1->toolTip(), QStringLiteral("Ready"));
    EXPECT_EQ(w.List2->toolTip(), QStringLiteral("Ready"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("VLFonts Build0119"));
    EXPECT_TRUE(w.engls->isChecked());
    EXPECT_FALSE(w.jtzw->isChecked());
    EXPECT_EQ(foreignTexts(w, false), QStringList());

    w.jtzw_Click();
    EXPECT_EQ(w.Label2->text(), QStringLiteral("您的系统共有？种字体"));
    EXPECT_EQ(w.List1->toolTip(), QStringLiteral("未进行字体获取的操作"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Vorlan字体管理 Build 0119"));
    EXPECT_TRUE(w.Label5->isHidden()); // not fetched yet
    EXPECT_EQ(foreignTexts(w, true), QStringList());
    // The switch is offered: both items enabled, the submenu visible.
    EXPECT_TRUE(w.yyxz->isVisible());
    EXPECT_TRUE(w.engls->isEnabled());
    EXPECT_TRUE(w.jtzw->isEnabled());
}

TEST(Language, SwitchAfterTheFetchShowsTheRealCountOverAnyText) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    h.p.dialogs.inputs.push_back(QStringLiteral("样例"));
    w.ylwzzdy_Click();
    w.engls_Click();
    EXPECT_EQ(w.Label2->text(), QStringLiteral("There're 2 in your system"));
    EXPECT_EQ(w.Label6->text(), QStringLiteral("There're 2 in your system"));
    EXPECT_TRUE(w.Label5->isHidden());
    EXPECT_EQ(w.List1->toolTip(), QStringLiteral("Font List in this system"));
    EXPECT_EQ(w.MovingText1->toolTip(), QStringLiteral("E-mail to me"));
    EXPECT_TRUE(w.MovingText1->msgchar().startsWith(QStringLiteral("E-mail to me:")));
    EXPECT_EQ(w.down->text(), QStringLiteral("Down"));
    EXPECT_EQ(w.ts->text(), QStringLiteral("2s(D)"));
    EXPECT_EQ(w.Command3->caption(), QStringLiteral("   Exit"));
    EXPECT_EQ(foreignTexts(w, false), QStringList());

    w.jtzw_Click();
    EXPECT_EQ(w.Label2->text(), QStringLiteral("您的系统共有 2 种字体"));
    EXPECT_FALSE(w.Label5->isHidden());
    EXPECT_EQ(w.List1->toolTip(), QStringLiteral("当前系统内字体列表"));
    EXPECT_TRUE(w.MovingText1->msgchar().startsWith(QStringLiteral("点此来信：")));
    EXPECT_EQ(w.Command3->caption(), QStringLiteral("   退出"));
    EXPECT_EQ(w.ylsz->text(), QStringLiteral("选项"));
    EXPECT_EQ(foreignTexts(w, true), QStringList());
    // Each caption is exactly the table's.
    for (const lang::Caption& row : lang::mainMenuCaptions())
        EXPECT_EQ(w.action(row.name)->text(), row.zh) << row.name.toStdString();
    for (const lang::Caption& row : lang::browsingCaptions())
        EXPECT_EQ(w.action(row.name)->text(), row.zh) << row.name.toStdString();
}

TEST(Language, TheMagnifierIsRelabelledOnlyWhileOpen) {
    MainWindowHarness h;
    frmfont& w = h.start();
    QSignalSpy spy(&w, &frmfont::magnifierCaptionsChanged);
    w.engls_Click();
    EXPECT_EQ(spy.count(), 0);
    w.setMagnifierOpen(true);
    w.jtzw_Click();
    ASSERT_EQ(spy.count(), 1);
    EXPECT_TRUE(spy.at(0).at(0).toBool());
    w.engls_Click();
    ASSERT_EQ(spy.count(), 2);
    EXPECT_FALSE(spy.at(1).at(0).toBool());
}

TEST(Language, AStoredEnglishFlagStartsInEnglishAndAnyOtherValueInChinese) {
    MainWindowHarness english;
    english.set("Main", "language", QStringLiteral("e"));
    english.set("Preview", "text", QStringLiteral("预览"));
    english.set("Link", "mctext", QStringLiteral("滚动"));
    english.set("Main", "maincaption", QStringLiteral("Vorlan字体管理 新版"));
    frmfont& e = english.start();
    EXPECT_EQ(e.glxx->text(), QStringLiteral("Option"));
    EXPECT_EQ(e.fori->text(), QStringLiteral("Loop"));
    EXPECT_EQ(e.Command1->caption(), QStringLiteral("Get Font List"));
    EXPECT_EQ(e.Label1->text(), QStringLiteral("List"));
    EXPECT_EQ(e.List1->toolTip(), QStringLiteral("Ready"));
    // The caption, which the update check may have set, the preview line and the scrolling
    // text stay as loaded; only the switch puts the build text in the caption.
    EXPECT_EQ(e.windowTitle(), QStringLiteral("Vorlan字体管理 新版"));
    EXPECT_EQ(e.Label2->text(), QStringLiteral("预览"));
    EXPECT_EQ(e.MovingText1->msgchar(), QStringLiteral("滚动"));
    e.Command1_Click();
    EXPECT_EQ(e.Label2->text(), QStringLiteral("There're 2 in your system"));

    for (const QString& stored : {QString(), QStringLiteral("x")}) {
        MainWindowHarness other;
        other.set("Main", "language", stored);
        frmfont& w = other.start();
        EXPECT_EQ(w.glxx->text(), QStringLiteral("管理选项"));
        EXPECT_EQ(w.ylsz->text(), QStringLiteral("设置")); // the built-in caption
        EXPECT_EQ(w.language(), stored);
        // Run-time texts follow the "c" rule: English.
        w.Command1_Click();
        EXPECT_EQ(w.Label2->text(), QStringLiteral("There're 2 in your system"));
        EXPECT_FALSE(lang::chineseByC(w.language()));
        EXPECT_TRUE(lang::chineseByE(w.language()));
    }
}

TEST(Language, TheFlagIsStoredAtExitOnly) {
    MainWindowHarness h;
    frmfont& w = h.start();
    const QByteArray before = testenv::readFile(h.config());
    w.engls_Click();
    w.jtzw_Click();
    w.engls_Click();
    EXPECT_EQ(testenv::readFile(h.config()), before);
    w.exitexe_Click();
    EXPECT_EQ(h.get("Main", "language"), QStringLiteral("e"));
}

TEST(Language, QtsOwnDialogsSpeakTheInterfaceLanguage) {
    MainWindowHarness h;
    h.set("Main", "language", QStringLiteral("c"));
    frmfont& w = h.start();
    const auto buttonTexts = [] {
        QMessageBox box(QMessageBox::Question, QStringLiteral("提示"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No);
        QColorDialog colours;
        return QStringList{box.button(QMessageBox::Yes)->text(),
                           box.button(QMessageBox::No)->text(), colours.windowTitle()};
    };
    EXPECT_EQ(buttonTexts(), (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)"),
                                          QStringLiteral("选择颜色")}));
    w.engls->trigger();
    EXPECT_EQ(buttonTexts(), (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No"),
                                          QStringLiteral("Select Color")}));
    w.jtzw->trigger();
    EXPECT_EQ(buttonTexts().first(), QStringLiteral("是(&Y)"));
}
