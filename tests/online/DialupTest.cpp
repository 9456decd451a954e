// The dial-up window: its phone book, the on-line flag its timer keeps for the update check,
// and dialling.
#include "OnlineHarness.h"
#include "online/frmclient.h"

#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

TEST(DialupWindow, IsLoadedHiddenAtStartUpWithThePhoneBookInOrder) {
    FakePlatform p;
    p.network.entries = {QStringLiteral("宽带连接"), QStringLiteral("Wired connection 1"),
                         QStringLiteral("VPN")};
    const QString folder = testenv::newProgramFolder();
    // No automatic check to the real server while this test waits.
    mfncWriteIni(QStringLiteral("Update"), QStringLiteral("auto"), QStringLiteral("0"),
                 folder + QStringLiteral("/config.ini"));
    frmfont w(p.platform(), folder);
    w.endProgram = [] {};
    w.anotherInstanceRunning = [] { return false; };
    w.Form_Load();
    frmclient* dialup = w.dialup();
    ASSERT_NE(dialup, nullptr);
    EXPECT_FALSE(dialup->isVisible());
    EXPECT_EQ(dialup->windowTitle(), QStringLiteral("网络连接"));
    EXPECT_EQ(dialup->Label1->text(), QStringLiteral("拨号网络列表："));
    ASSERT_EQ(dialup->List1->count(), 3);
    EXPECT_EQ(dialup->List1->item(0)->text(), QStringLiteral("宽带连接"));
    EXPECT_EQ(dialup->List1->item(2)->text(), QStringLiteral("VPN"));
    EXPECT_EQ(dialup->List1->currentRow(), -1);
    EXPECT_TRUE(dialup->Timer1.isActive());
    EXPECT_EQ(dialup->Timer1.interval(), 600);
    ASSERT_FALSE(w.Timer2.isActive());
    // Loading sets the flag at once (an undecided system counts as on line), so that a check
    // before the first tick is not refused; the status label waits for that tick.
    EXPECT_TRUE(w.client);
    EXPECT_TRUE(dialup->Label2->text().isEmpty());

    // From then on the timer sets the flag by itself.
    p.network.state = Network::Online::No;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.client; }, 3000));
    EXPECT_EQ(dialup->Label2->text(), QStringLiteral("0"));

    QCloseEvent close;
    QCoreApplication::sendEvent(dialup, &close);
    EXPECT_FALSE(close.isAccepted());
}

TEST(DialupWindow, TheFlagFollowsTheSelectedEntryOrElseTheSystem) {
    OnlineHarness h;
    frmclient& dialup = *h.w().dialup();
    FakeNetwork& network = h.p.network;
    network.entries = {QStringLiteral("Home"), QStringLiteral("Office")};
    dialup.Form_Load();
    network.active = {QStringLiteral("Office"), QStringLiteral("Home")};

    // Selected and connected.
    network.state = Network::Online::No; // the entry decides, not the system
    dialup.List1->setCurrentRow(0);
    dialup.Timer1_Timer();
    EXPECT_EQ(dialup.Label2->text(), QStringLiteral("1"));
    EXPECT_TRUE(h.w().client);

    // Selected and not connected.
    network.active = {QStringLiteral("Office"), QStringLiteral("home"), QStringLiteral("Home ")};
    network.state = Network::Online::Yes;
    dialup.Timer1_Timer();
    EXPECT_EQ(dialup.Label2->text(), QStringLiteral("0"));
    EXPECT_FALSE(h.w().client);

    // Deselected: the system's state decides.
    network.active = {QStringLiteral("Home")};
    dialup.List1->setCurrentRow(-1);
    network.state = Network::Online::No;
    dialup.Timer1_Timer();
    EXPECT_EQ(dialup.Label2->text(), QStringLiteral("0"));
    EXPECT_FALSE(h.w().client);
    network.state = Network::Online::Yes;
    dialup.Timer1_Timer();
    EXPECT_TRUE(h.w().client);
    network.state = Network::Online::Unknown;
    dialup.Timer1_Timer();
    EXPECT_TRUE(h.w().client);
    // A current row whose selection was cleared is no selection either.
    dialup.List1->setCurrentRow(1);
    dialup.List1->clearSelection();
    network.state = Network::Online::No;
    dialup.Timer1_Timer();
    EXPECT_FALSE(h.w().client);

    // Off line the check refuses; on line it goes to the server.
    h.serve(gbk(QStringLiteral("[Version]\nnewversionnum=1\n")));
    h.w().mnucheck_Click();
    EXPECT_EQ(h.server.requestCount(), 0);
    network.state = Network::Online::Yes;
    dialup.Timer1_Timer();
    h.w().mnucheck_Click();
    EXPECT_EQ(h.server.requestCount(), 1);
}

TEST(DialupWindow, ConnectsTheSelectedEntryAndReturnKeepsTheLastFlag) {
    OnlineHarness h;
    frmclient& dialup = *h.w().dialup();
    h.p.network.entries = {QStringLiteral("Home")};
    dialup.Form_Load();
    EXPECT_EQ(dialup.Command1->text(), QStringLiteral("连接"));
    dialup.List1->setCurrentRow(0);
    dialup.Command1->click();
    EXPECT_EQ(h.p.network.connected, QStringList{QStringLiteral("Home")});
    EXPECT_TRUE(h.p.dialogs.messages().isEmpty());

    h.p.network.connectSucceeds = false;
    dialup.Command1_Click();
    ASSERT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(h.p.dialogs.messages()[0].text, QStringLiteral("没有拨号链接"));
    EXPECT_EQ(h.p.dialogs.messages()[0].icon, Dialogs::Icon::None);

    h.p.network.active = {QStringLiteral("Home")};
    dialup.Timer1_Timer();
    ASSERT_TRUE(h.w().client);
    dialup.Command2_Click();
    EXPECT_FALSE(dialup.Timer1.isActive());
    h.p.network.active.clear();
    h.p.network.state = Network::Online::No;
    QTest::qWait(800);
    EXPECT_TRUE(h.w().client);
}
