// Texts from outside (font names, the update descriptor's settings) that look like HTML are
// shown as written, on the screen and to a screen reader.
#include "MainWindowHarness.h"
#include "ShownWindows.h"
#include "app/controls/MovingText.h"
#include "platform/QtDialogs.h"

#include <QAccessible>
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QString spoken(QWidget* widget) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(QAccessible::Name) : QString();
}

} // namespace

TEST(OutsideText, MarkupInAFamilyNameOrATooltipIsShownAsWritten) {
    const QString family = QStringLiteral("<script>alert(1)</script>");
    const QString tip = QStringLiteral("<b>粗体</b> & <i>斜体</i>");
    QtDialogs realDialogs;
    MainWindowHarness h;
    h.dialogs = &realDialogs;
    h.p.useFakeFonts({family});
    h.set("Link", "mctp", tip);
    frmfont& w = h.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.Command1_Click();
    w.List1->setCurrentRow(0);
    w.List1_Click();

    // The information message and the delete question, as real message boxes.
    for (QAction* command : {w.infor, w.delfont}) {
        SCOPED_TRACE(command->objectName().toStdString());
        QString shownText;
        QString read;
        shown::answerNextDialog([&](QWidget* box) {
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            ASSERT_NE(label, nullptr);
            shownText = label->text();
            read = spoken(label);
            // The delete question is answered "No".
            auto* question = qobject_cast<QMessageBox*>(box);
            if (question && question->button(QMessageBox::No))
                question->setDefaultButton(QMessageBox::No);
        });
        command->trigger();
        EXPECT_TRUE(shownText.contains(family)) << shownText.toStdString();
        EXPECT_EQ(read, shownText);
    }

    // The scrolling text's tooltip from the descriptor, as the pointer resting on it shows it.
    const QPoint inside = w.MovingText1->rect().center();
    QHelpEvent help(QEvent::ToolTip, inside, w.MovingText1->mapToGlobal(inside));
    QApplication::sendEvent(w.MovingText1, &help);
    QLabel* tipLabel = nullptr;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("qtooltip_label") && top->isVisible())
                tipLabel = qobject_cast<QLabel*>(top);
        return tipLabel != nullptr;
    }));
    EXPECT_EQ(spoken(tipLabel), tip);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w.MovingText1)->text(QAccessible::Description),
              tip);
}
