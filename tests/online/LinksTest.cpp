// The commands that lead out of the program: the web site, mail, the About box and the
// close-time page switch.
#include "online/Links.h"
#include "OnlineHarness.h"
#include "app/controls/MovingText.h"
#include "app/controls/PictureButton.h"
#include "online/frmAbout.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

namespace {
QString recipient(const QString& address) {
    const QUrl url(address);
    return url.scheme() == QLatin1String("mailto") ? url.path() : QString();
}
} // namespace

TEST(Links, WebSiteAndMailGoToTheDesktop) {
    OnlineHarness h;
    h.w().shellardeno->trigger();
    h.w().emtome->trigger();
    h.w().bugemail->trigger();
    const QStringList opened = h.p.shell.openedAddresses;
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], links::homeAddress());
    EXPECT_TRUE(opened[0].startsWith(QLatin1String("http")));
    EXPECT_EQ(opened[1], links::mailAddress());
    // Both mail commands open the same address.
    EXPECT_FALSE(recipient(opened[1]).isEmpty());
    EXPECT_EQ(opened[2], opened[1]);
    EXPECT_EQ(links::mailShown(), recipient(opened[1]));
    EXPECT_TRUE(h.p.shell.refusedAddresses.isEmpty());
}

TEST(Links, TheCloseTimePageSwitchTogglesAndIsStored) {
    OnlineHarness h;
    h.set("Link", "popwindow", QStringLiteral("0"));
    h.w().mnupop->setChecked(false);
    h.w().mnupop->setEnabled(true);
    h.w().mnupop->trigger();
    EXPECT_TRUE(h.w().mnupop->isChecked());
    EXPECT_EQ(h.get("Link", "popwindow"), QStringLiteral("1"));
    h.w().mnupop->trigger();
    EXPECT_FALSE(h.w().mnupop->isChecked());
    EXPECT_EQ(h.get("Link", "popwindow"), QStringLiteral("0"));
}

TEST(AboutBox, ReplacesTheMainWindowUntilConfirmed) {
    OnlineHarness h;
    for (const bool fromButton : {true, false}) {
        if (fromButton)
            h.w().Command2->click();
        else
            h.w().aboutme->trigger();
        // Held weakly: a box that closes itself must fail the test, not crash it.
        QPointer<frmAbout> about = h.online().about();
        ASSERT_FALSE(about.isNull());
        // Showing the box writes no mail: the first focus is not on the scrolling text.
        QApplication::setActiveWindow(about);
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return about && QApplication::focusWidget() == about->Command3; }, 3000));
        ASSERT_FALSE(about.isNull());
        EXPECT_TRUE(h.p.shell.openedAddresses.isEmpty());
        EXPECT_TRUE(about->isVisible());
        EXPECT_FALSE(h.w().isVisible());
        EXPECT_EQ(about->windowTitle(), QStringLiteral("关于Vorlan字体管理"));
        EXPECT_FALSE(about->windowFlags() & Qt::WindowCloseButtonHint);
        QCloseEvent close;
        QCoreApplication::sendEvent(about, &close);
        EXPECT_FALSE(close.isAccepted());
        EXPECT_EQ(about->Label1->text(), QStringLiteral("Vorlan字体管理"));
        EXPECT_EQ(about->Label2->text(), QStringLiteral("版本：Build0520"));
        EXPECT_EQ(about->Label4->text(), QStringLiteral("感谢以下朋友在测试中给予我的支持："));
        EXPECT_TRUE(about->Label3->text().contains(QStringLiteral("VLFonts")));
        EXPECT_TRUE(about->bq->text().contains(QStringLiteral("VLFonts")));
        EXPECT_TRUE(about->pbeta[9]->text().isEmpty());
        EXPECT_EQ(about->pbeta[9]->objectName(), QStringLiteral("pbeta10"));
        EXPECT_EQ(about->MovingText1->toolTip(), QStringLiteral("给我来信"));
        EXPECT_EQ(about->MovingText1->msgchar(), links::mailShown());
        QAccessibleInterface* line = QAccessible::queryAccessibleInterface(about->MovingText1);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->role(), QAccessible::StaticText);
        EXPECT_TRUE(line->text(QAccessible::Name).contains(links::mailShown()));
        EXPECT_EQ(about->Command3->caption(), QStringLiteral("确定"));

        // Clicking the scrolling text writes to the author, the same address as the menu.
        about->activateWindow();
        QTest::mouseClick(about->MovingText1, Qt::LeftButton);
        ASSERT_FALSE(about.isNull());
        about->MovingText1_GotFocus();
        ASSERT_FALSE(h.p.shell.openedAddresses.isEmpty());
        EXPECT_EQ(h.p.shell.openedAddresses.last(), links::mailAddress());
        h.p.shell.openedAddresses.clear();

        ASSERT_FALSE(about.isNull());
        about->Command3->click();
        EXPECT_TRUE(h.w().isVisible());
        EXPECT_EQ(h.online().about(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(about.isNull());
    }
}
