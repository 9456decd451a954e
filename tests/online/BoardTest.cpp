// The notice board and the records window: what they show, the version test on the board,
// records and the two ways of clearing them, and the hand-over to the updater.
#include "OnlineHarness.h"
#include "app/controls/PictureButton.h"
#include "online/BBS.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

namespace {

QByteArray offering(const char* number) {
    return gbk(QStringLiteral("[Version]\nnewversion=Build%1\nnewversionnum=%1\n"
                              "[BBS]\nnewtech=新特性文字\nauthorsay=留言文字\n")
                   .arg(QString::fromLatin1(number)));
}

// How many records the file holds.
int recordCount(OnlineHarness& h) {
    return codepage::decode(h.bytes(h.records())).count(QStringLiteral("最新版本："));
}

} // namespace

TEST(NoticeBoard, WithoutADescriptorShowsEmptyTextsAndRecordsNothing) {
    OnlineHarness h;
    h.w().gonggao->trigger();
    frminfor& board = h.board();
    ASSERT_TRUE(board.isVisible());
    EXPECT_FALSE(h.w().isVisible());
    EXPECT_EQ(board.windowTitle(), QStringLiteral("公告板"));
    EXPECT_FALSE(board.windowFlags() & Qt::WindowCloseButtonHint);
    QCloseEvent close;
    QCoreApplication::sendEvent(&board, &close);
    EXPECT_FALSE(close.isAccepted());

    EXPECT_EQ(board.Label9->text(), QStringLiteral("您的版本："));
    EXPECT_EQ(board.Label10->text(), QStringLiteral("Build0520"));
    EXPECT_TRUE(board.Label2->text().isEmpty());
    EXPECT_TRUE(board.Label6->text().isEmpty());
    EXPECT_TRUE(board.Label8->text().isEmpty());
    EXPECT_EQ(board.Label4->text(), QStringLiteral("您安装的已是最新版本"));
    EXPECT_TRUE(board.Command5->isHidden());
    EXPECT_EQ(board.Command4->caption(), QStringLiteral(" 查看记录"));
    EXPECT_EQ(board.Command3->toolTip(), QStringLiteral("删除过去的公告信息"));
    EXPECT_EQ(board.Command2->caption(), QStringLiteral("返回"));
    EXPECT_FALSE(QFileInfo::exists(h.records()));

    board.Command2_Click();
    EXPECT_FALSE(board.isVisible());
    EXPECT_TRUE(h.w().isVisible());
}

TEST(NoticeBoard, ShowsTheUpgradeButtonOnlyForANewerBuild) {
    struct Case {
        const char* installed;
        const char* offered;
        bool newer;
    };
    for (const Case& c :
         {Case{"120", "120", false}, Case{"119", "120", true}, Case{"119", "120abc", true},
          Case{"", "1", true}, Case{"121", "120", false}}) {
        SCOPED_TRACE(std::string(c.installed) + " / " + c.offered);
        OnlineHarness h;
        h.set("Main", "versionnum", QString::fromLatin1(c.installed));
        testenv::writeFile(h.descriptor(), offering(c.offered));
        h.w().gonggao_Click();
        EXPECT_EQ(h.board().Label4->text(), c.newer ? QStringLiteral("字体管理有新的版本升级")
                                                    : QStringLiteral("您安装的已是最新版本"));
        EXPECT_EQ(!h.board().Command5->isHidden(), c.newer);
        EXPECT_EQ(h.board().Label2->text(),
                  QStringLiteral("Build") + QString::fromLatin1(c.offered));
        EXPECT_EQ(h.board().Command5->caption(), QStringLiteral("升级"));

        // A screen reader says each value, labelled by its caption.
        for (const auto& [caption, value] : {std::pair{h.board().Label9, h.board().Label10},
                                             std::pair{h.board().Label1, h.board().Label2}}) {
            QAccessibleInterface* field = QAccessible::queryAccessibleInterface(value);
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(field->role(), QAccessible::StaticText);
            EXPECT_EQ(field->text(QAccessible::Name), value->text());
            const auto labels = field->relations(QAccessible::Label);
            ASSERT_EQ(labels.size(), 1);
            EXPECT_EQ(labels[0].first->object(), caption);
        }
        EXPECT_EQ(QAccessible::queryAccessibleInterface(h.board().Label10)->text(QAccessible::Name),
                  QStringLiteral("Build0520"));
    }
}

TEST(NoticeBoard, RecordsAreAppendedInTheOrderOfTheChecks) {
    OnlineHarness h;
    h.serve(offering("600"));
    h.w().mnucheck_Click();
    h.board().Command2_Click();
    h.serve(offering("700"));
    h.w().mnucheck_Click();

    const QString text = codepage::decode(h.bytes(h.records()));
    // One record per check, in order, though the first check armed one more.
    EXPECT_EQ(recordCount(h), 2);
    EXPECT_LT(text.indexOf(QStringLiteral("Build600")), text.indexOf(QStringLiteral("Build700")));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 17); // 2 × 8 lines and the empty rest after the last CR LF
    EXPECT_EQ(lines[2], QStringLiteral("最新版本：Build600"));
    EXPECT_EQ(lines[3], QStringLiteral("升级信息：字体管理有新的版本升级"));
    EXPECT_EQ(lines[4], QStringLiteral("新特性："));
    EXPECT_EQ(lines[5], QStringLiteral("新特性文字"));
    EXPECT_EQ(lines[6], QStringLiteral("作者留言："));
    EXPECT_EQ(lines[7], QStringLiteral("留言文字"));
    EXPECT_EQ(lines[10], QStringLiteral("最新版本：Build700"));
    EXPECT_TRUE(lines[16].isEmpty());
    EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("[^\r]\n"))));
}

TEST(NoticeBoard, ClearingFromTheBoardAsksAndAnswersPlainly) {
    OnlineHarness h;
    testenv::writeFile(h.records(), "old record\r\n");
    h.w().gonggao_Click();

    h.p.dialogs.answers.push_back(Dialogs::Answer::No);
    h.board().Command3_Click();
    EXPECT_EQ(h.bytes(h.records()), QByteArray("old record\r\n"));
    h.p.dialogs.answers.push_back(Dialogs::Answer::Yes);
    h.board().Command3_Click();
    EXPECT_EQ(h.bytes(h.records()), QByteArray("\r\n"));

    const auto shown = h.p.dialogs.messages();
    ASSERT_EQ(shown.size(), 4);
    EXPECT_EQ(shown[0].text, QStringLiteral("真的要删除记录吗？"));
    EXPECT_EQ(shown[0].title, QStringLiteral("提示"));
    EXPECT_EQ(shown[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(shown[1].text, QStringLiteral("操作已取消"));
    EXPECT_EQ(shown[3].text, QStringLiteral("记录已清空"));
    for (const int i : {1, 3}) {
        EXPECT_EQ(shown[i].icon, Dialogs::Icon::None);
        EXPECT_EQ(shown[i].title, QStringLiteral("vlfonts"));
    }
}

TEST(NoticeBoard, TheRecordsWindowListsAndClearsTheFile) {
    OnlineHarness h;
    h.serve(offering("600"));
    h.online().check(false);
    frminfor& board = h.board();
    board.Command4_Click();
    BBS* records = h.online().records();
    ASSERT_NE(records, nullptr);
    EXPECT_TRUE(records->isVisible());
    EXPECT_FALSE(board.isVisible());
    EXPECT_EQ(records->windowTitle(), QStringLiteral("公告信息"));
    EXPECT_TRUE(records->Text1->toPlainText().contains(QStringLiteral("最新版本：Build600\n")));
    EXPECT_TRUE(records->Command2->isEnabled());

    // Every message takes the next answer, the confirmations too.
    h.p.dialogs.answers = {Dialogs::Answer::No, Dialogs::Answer::Ok, Dialogs::Answer::Yes};
    records->Command2_Click();
    EXPECT_EQ(recordCount(h), 1);
    EXPECT_FALSE(records->Text1->toPlainText().isEmpty());
    records->Command2_Click();
    EXPECT_EQ(h.bytes(h.records()), QByteArray("\r\n"));
    EXPECT_TRUE(records->Text1->toPlainText().isEmpty());
    EXPECT_TRUE(records->Command2->isEnabled()); // stays until the window loads again
    const auto shown = h.p.dialogs.messages();
    ASSERT_EQ(shown.size(), 5); // the check's own message first
    EXPECT_EQ(shown[1].title, QStringLiteral("提示"));
    EXPECT_EQ(shown[2].text, QStringLiteral("操作已取消"));
    EXPECT_EQ(shown[4].text, QStringLiteral("记录已清空"));
    for (const int i : {2, 4}) {
        EXPECT_EQ(shown[i].icon, Dialogs::Icon::Information);
        EXPECT_EQ(shown[i].title, QStringLiteral("系统提示"));
    }

    // Back to the board as it was, recording nothing.
    records->Command1_Click();
    EXPECT_TRUE(board.isVisible());
    EXPECT_EQ(board.Label2->text(), QStringLiteral("Build600"));
    EXPECT_EQ(h.bytes(h.records()), QByteArray("\r\n"));

    board.Command4_Click();
    EXPECT_TRUE(h.online().records()->Text1->toPlainText().isEmpty());
    EXPECT_FALSE(h.online().records()->Command2->isEnabled());
}

TEST(NoticeBoard, AMissingOrEmptyRecordFileShowsNothingToClear) {
    for (const bool create : {false, true}) {
        OnlineHarness h;
        if (create)
            testenv::writeFile(h.records(), QByteArray());
        h.w().gonggao_Click();
        h.board().Command4_Click();
        EXPECT_TRUE(h.online().records()->Text1->toPlainText().isEmpty());
        EXPECT_FALSE(h.online().records()->Command2->isEnabled());
        EXPECT_EQ(QFileInfo::exists(h.records()), create);
    }
}

TEST(UpgradeHandOver, StartsTheUpdaterAndEndsWithoutTheClosingSteps) {
    OnlineHarness h;
    const QString updateFolder = h.folder + QStringLiteral("/update");
    const QString marker = updateFolder + QStringLiteral("/started");
    // A stand-in for vlupdate that leaves the flag it found.
    testenv::writeFile(updateFolder + QStringLiteral("/vlupdate"),
                       "#!/bin/sh\nsed -n 's/^start=//p' \"$(dirname \"$0\")/../config.ini\" > \"" +
                           marker.toUtf8() + ".tmp\"\nmv \"" + marker.toUtf8() + ".tmp\" \"" +
                           marker.toUtf8() + "\"\n");
    QFile::setPermissions(updateFolder + QStringLiteral("/vlupdate"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    h.set("Main", "ifclosemsg", QStringLiteral("1"));
    h.set("Main", "closemsg", QStringLiteral("bye"));
    h.set("Link", "popwindow", QStringLiteral("1"));
    h.set("Link", "poplink", QStringLiteral("http://example.org/bye"));
    h.w().setLanguage(QStringLiteral("e"));
    testenv::writeFile(h.descriptor(), offering("600"));
    h.p.shell.reallyStart = true;

    h.w().gonggao_Click();
    ASSERT_FALSE(h.board().Command5->isHidden());
    h.board().Command5->click();

    EXPECT_EQ(h.get("Update", "start"), QStringLiteral("1"));
    ASSERT_EQ(h.p.shell.startedPrograms.size(), 1);
    EXPECT_EQ(h.p.shell.startedPrograms[0].program, updateFolder + QStringLiteral("/vlupdate"));
    EXPECT_TRUE(h.p.shell.startedPrograms[0].arguments.isEmpty());
    EXPECT_EQ(h.ends, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(marker); }, 5000));
    EXPECT_EQ(testenv::readFile(marker).trimmed(), QByteArray("1"));
    // None of the closing steps: no message, no page, the language flag not written.
    EXPECT_TRUE(h.p.dialogs.messages().isEmpty());
    EXPECT_TRUE(h.p.shell.openedAddresses.isEmpty());
    EXPECT_EQ(h.get("Main", "language"), QStringLiteral("c"));
}

TEST(UpgradeHandOver, AMissingUpdaterIsReportedAndTheProgramStays) {
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "start fails" : "missing");
        OnlineHarness h;
        testenv::writeFile(h.descriptor(), offering("600"));
        if (present) {
            testenv::writeFile(h.folder + QStringLiteral("/update/vlupdate"), "#!/bin/sh\n");
            QFile::setPermissions(h.folder + QStringLiteral("/update/vlupdate"),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
            h.p.shell.startSucceeds = false;
        }
        h.w().gonggao_Click();
        h.board().Command5_Click();
        EXPECT_EQ(h.ends, 0);
        EXPECT_EQ(h.get("Update", "start"), QStringLiteral("0"));
        ASSERT_EQ(h.p.dialogs.messages().size(), 1);
        EXPECT_TRUE(h.p.dialogs.messages()[0].text.contains(QStringLiteral("vlupdate")));
        EXPECT_TRUE(h.board().isVisible());
    }
}
