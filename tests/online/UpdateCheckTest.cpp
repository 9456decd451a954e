// The update check from the main window's menu and timer, against a loopback server: what it
// writes, what it says, what it leaves alone when the server fails, and the hand-over to the
// updater.
#include "OnlineHarness.h"
#include "app/controls/PictureButton.h"
#include "online/UpdateDescriptor.h"

#include <QFileInfo>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Response = LoopbackHttpServer::Response;

const QString fullDescriptor = QStringLiteral(
    "; 升级说明\n[Version]\nnewversion=Build0600 新版\nnewversionnum=600\n"
    "[BBS]\nnewtech=支持更多字体\nauthorsay=谢谢大家的支持\n"
    "[Config]\nmnupop=1\npopwindow=1\npoplink=http://example.org/bye\nvlgroupurl=http://"
    "example.org/\n"
    "mctext=欢迎使用字体管理\nmccolor=255\nmclink=http://example.org/news\nmctp=看新闻\n"
    "maincaption=Vorlan字体管理 新版\nifopenmsg=1\nopenmsg=你好\nifclosemsg=1\nclosemsg=再见\n"
    "[Download]\nURL=http://example.org/setup.run\nfilename=setup.run\n");

const QString updated = QStringLiteral("程序已经更新了公告信息。");

} // namespace

TEST(UpdateCheck, ManualCheckStoresTheDescriptorCopiesItsSettingsAndOpensTheBoard) {
    OnlineHarness h;
    h.serve(gbk(fullDescriptor));
    h.w().mnucheck->trigger();

    ASSERT_EQ(h.server.requestCount(), 1);
    EXPECT_EQ(h.server.requests().first().target, QByteArray("/vlfonts/update.ini"));
    EXPECT_EQ(h.bytes(h.descriptor()), gbk(fullDescriptor));
    EXPECT_EQ(h.get("Main", "maincaption"), QStringLiteral("Vorlan字体管理 新版"));
    EXPECT_EQ(h.get("Link", "mctext"), QStringLiteral("欢迎使用字体管理"));
    EXPECT_EQ(h.get("Main", "closemsg"), QStringLiteral("再见"));
    EXPECT_EQ(h.get("Main", "versionnum"), QStringLiteral("520"));

    const auto shown = h.p.dialogs.messages();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, updated);
    EXPECT_EQ(shown[0].title, QStringLiteral("自动更新"));
    EXPECT_EQ(shown[0].icon, Dialogs::Icon::Information);

    frminfor& board = h.board();
    EXPECT_TRUE(board.isVisible());
    EXPECT_FALSE(h.w().isVisible());
    EXPECT_EQ(board.Label2->text(), QStringLiteral("Build0600 新版"));
    EXPECT_EQ(board.Label10->text(), QStringLiteral("Build0520"));
    EXPECT_EQ(board.Label4->text(), QStringLiteral("字体管理有新的版本升级"));
    EXPECT_FALSE(board.Command5->isHidden());
    EXPECT_EQ(board.Label6->text(), QStringLiteral("支持更多字体"));
    EXPECT_EQ(board.Label8->text(), QStringLiteral("谢谢大家的支持"));

    // One record now, and the manual check arms the next fresh load for one more.
    const QString records = codepage::decode(h.bytes(h.records()));
    EXPECT_EQ(records.count(QStringLiteral("最新版本：Build0600 新版\r\n")), 1);
    EXPECT_TRUE(records.endsWith(QStringLiteral("作者留言：\r\n谢谢大家的支持\r\n")));
    EXPECT_TRUE(board.record);
    board.Command2_Click();
    EXPECT_TRUE(h.w().isVisible());
    h.w().gonggao->trigger();
    EXPECT_EQ(codepage::decode(h.bytes(h.records())).count(QStringLiteral("最新版本：")), 2);
    EXPECT_FALSE(board.record);
    board.Command2_Click();
    h.w().gonggao->trigger();
    EXPECT_EQ(codepage::decode(h.bytes(h.records())).count(QStringLiteral("最新版本：")), 2);
}

TEST(UpdateCheck, ADescriptorWithoutConfigEmptiesTheCopiedKeysAndAShorterOneLeavesNoTail) {
    OnlineHarness h;
    testenv::writeFile(h.descriptor(), gbk(fullDescriptor + QString(300, QLatin1Char(';'))));
    const QByteArray shortDescriptor = gbk(QStringLiteral("[Version]\nnewversionnum=520\n"));
    h.serve(shortDescriptor);
    h.w().mnucheck_Click();

    EXPECT_EQ(h.bytes(h.descriptor()), shortDescriptor);
    for (const auto& item : descriptor::copiedKeys())
        EXPECT_EQ(mfncGetFromIni(item.section, item.key, h.config()), QString())
            << item.key.toStdString();
    // Keys outside the copied list are as they were.
    EXPECT_EQ(h.get("Main", "version"), QStringLiteral("Build0520"));
    EXPECT_EQ(h.get("Update", "auto"), QStringLiteral("0"));
    EXPECT_EQ(h.board().Label4->text(), QStringLiteral("您安装的已是最新版本"));
    EXPECT_TRUE(h.board().Command5->isHidden());
}

TEST(UpdateCheck, AFailedFetchChangesNoFileAndOpensNothing) {
    Response never = Response::text("x");
    never.stallBeforeAnswer = true;
    // What answers in place of the descriptor behind a Wi-Fi login or a proxy.
    const QByteArray loginPage = "<!DOCTYPE html><html><head><title>Wi-Fi login</title></head>"
                                 "<body><form action=/login>[Version]</form></body></html>";
    const auto redirectTo = [](const QByteArray& address) {
        return Response::error(302, "Found", "<html>moved</html>").header("Location", address);
    };
    const std::pair<const char*, Response> failures[] = {
        {"404", Response::error(404, "Not Found", "<html>missing</html>")},
        {"500", Response::error(500, "Internal Server Error", "<html>broken</html>")},
        {"empty body", Response::text(QByteArray())},
        {"never answers", never},
        {"login page", Response::text(loginPage, "text/html")},
        {"redirect to a login page", redirectTo("/login")},
        {"redirect to a file", redirectTo("file:///etc/passwd")},
        {"redirect to ftp", redirectTo("ftp://127.0.0.1/update.ini")},
        {"no number", Response::text("[Version]\r\nnewversionnum=new\r\n[Config]\r\n")},
        {"number elsewhere", Response::text("[BBS]\r\nnewversionnum=600\r\n[Version]\r\n")},
        {"not GB18030", Response::text("[Version]\r\nnewversionnum=600\r\nnewtech=\x81\x20\r\n")},
    };
    for (const auto& [name, response] : failures) {
        for (const bool manual : {true, false}) {
            SCOPED_TRACE(std::string(name) + (manual ? " manual" : " automatic"));
            OnlineHarness h;
            h.online().fetch.setTimeLimit(800);
            const QByteArray oldDescriptor = gbk(QStringLiteral("[Version]\nnewversionnum=1\n"));
            testenv::writeFile(h.descriptor(), oldDescriptor);
            const QByteArray oldConfig = h.bytes(h.config());
            h.serve(response);
            h.server.on(QStringLiteral("/login"), Response::text(loginPage, "text/html"));

            if (manual) {
                h.w().mnucheck_Click();
            } else {
                h.w().startAutoCheck();
                h.w().Timer2_Timer();
            }

            EXPECT_EQ(h.server.requestCount(),
                      name == std::string("redirect to a login page") ? 2 : 1);
            EXPECT_EQ(h.bytes(h.descriptor()), oldDescriptor);
            EXPECT_EQ(h.bytes(h.config()), oldConfig);
            EXPECT_FALSE(QFileInfo::exists(h.records()));
            EXPECT_FALSE(h.board().isVisible());
            EXPECT_TRUE(h.w().isVisible());
            EXPECT_FALSE(h.board().record);
            const auto shown = h.p.dialogs.messages();
            if (manual) {
                ASSERT_EQ(shown.size(), 1);
                EXPECT_EQ(shown[0].title, QStringLiteral("终止"));
                EXPECT_TRUE(shown[0].text.contains(QStringLiteral("升级终止")));
            } else {
                EXPECT_TRUE(shown.isEmpty());
            }
        }
    }
}

TEST(UpdateCheck, OffLineTheManualCheckSaysSoAndTheAutomaticOneIsSilent) {
    OnlineHarness h;
    h.serve(gbk(fullDescriptor));
    const QByteArray oldConfig = h.bytes(h.config());
    h.w().client = false;

    h.w().mnucheck_Click();
    ASSERT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(h.p.dialogs.messages()[0].text,
              QStringLiteral("程序检测到您的计算机没有与网络联通，升级终止。请确认连接后再试。"));
    EXPECT_EQ(h.p.dialogs.messages()[0].title, QStringLiteral("终止"));
    EXPECT_EQ(h.p.dialogs.messages()[0].icon, Dialogs::Icon::Information);

    h.w().startAutoCheck();
    h.w().Timer2_Timer();
    EXPECT_FALSE(h.w().Timer2.isActive());
    EXPECT_EQ(h.p.dialogs.messages().size(), 1);
    EXPECT_EQ(h.server.requestCount(), 0);
    EXPECT_FALSE(QFileInfo::exists(h.descriptor()));
    EXPECT_EQ(h.bytes(h.config()), oldConfig);
}

TEST(UpdateCheck, TheAutomaticCheckRunsOnceFiveSecondsAfterStartUp) {
    {
        OnlineHarness off(false);
        EXPECT_FALSE(off.w().mnuautocheck->isChecked());
        EXPECT_FALSE(off.w().Timer2.isActive());
    }
    OnlineHarness h(true);
    h.serve(gbk(fullDescriptor));
    EXPECT_TRUE(h.w().mnuautocheck->isChecked());
    ASSERT_TRUE(h.w().Timer2.isActive());
    EXPECT_EQ(h.w().Timer2.interval(), 5000);
    EXPECT_EQ(h.server.requestCount(), 0);

    // The check is the timer's own tick, not a direct call.
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.board().isVisible(); }, 9000));
    EXPECT_EQ(h.server.requestCount(), 1);
    EXPECT_FALSE(h.w().Timer2.isActive());
    EXPECT_EQ(h.p.dialogs.messageTexts(), QStringList{updated});
    // The automatic check does not arm another record.
    EXPECT_FALSE(h.board().record);
    EXPECT_EQ(codepage::decode(h.bytes(h.records())).count(QStringLiteral("最新版本：")), 1);
    QTest::qWait(200);
    EXPECT_EQ(h.server.requestCount(), 1);
}

TEST(UpdateCheck, TheAutomaticSwitchIsStoredForTheNextStart) {
    OnlineHarness h(true);
    h.w().Timer2.stop();
    h.w().mnuautocheck->trigger();
    EXPECT_FALSE(h.w().mnuautocheck->isChecked());
    EXPECT_EQ(h.get("Update", "auto"), QStringLiteral("0"));
    EXPECT_FALSE(h.w().Timer2.isActive()); // no timer is started or stopped by the switch
    h.w().mnuautocheck->trigger();
    EXPECT_TRUE(h.w().mnuautocheck->isChecked());
    EXPECT_EQ(h.get("Update", "auto"), QStringLiteral("1"));
    EXPECT_FALSE(h.w().Timer2.isActive());
}

TEST(UpdateCheck, ACheckDuringAFetchStartsNoSecondOne) {
    OnlineHarness h;
    Response slow = Response::text(gbk(fullDescriptor));
    slow.delayMs = 600;
    h.serve(slow);
    // The automatic tick comes while the manual fetch waits.
    h.w().Timer2.setInterval(100);
    h.w().startAutoCheck();
    h.w().mnucheck_Click();
    EXPECT_EQ(h.server.requestCount(), 1);
    EXPECT_EQ(h.p.dialogs.messageTexts(), QStringList{updated});
    EXPECT_FALSE(h.w().Timer2.isActive());
}

TEST(UpdateCheck, ACheckWhileTheBoardIsOpenShowsTheNewNotice) {
    OnlineHarness h;
    h.w().gonggao_Click();
    EXPECT_TRUE(h.board().Label2->text().isEmpty());
    h.serve(gbk(fullDescriptor));
    h.online().check(false);
    EXPECT_EQ(h.board().Label2->text(), QStringLiteral("Build0600 新版"));
    EXPECT_TRUE(h.board().isVisible());
    EXPECT_EQ(codepage::decode(h.bytes(h.records())).count(QStringLiteral("最新版本：")), 1);
}
