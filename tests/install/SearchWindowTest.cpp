#include "../app/MainWindowHarness.h"
#include "SearchTree.h"
#include "ShownWindows.h"
#include "install/SearchResults.h"
#include "install/searchfont.h"
#include "install/setupfon.h"
#include "platform/QtDialogs.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeView>
#include <gtest/gtest.h>

namespace {

using std::chrono::milliseconds;

struct Buttons {
    bool start, stop, back;
    bool operator==(const Buttons&) const = default;
};

Buttons buttonsOf(const searchfont& s) {
    return {s.Command1->isEnabled(), s.Command2->isEnabled(), s.Command3->isEnabled()};
}

// A main window in the given language with its search window open on the tree.
struct SearchHarness {
    MainWindowHarness h;
    SearchTree tree;
    frmfont* w = nullptr;
    searchfont* s = nullptr;

    explicit SearchHarness(const char* language = "c", Dialogs* dialogs = nullptr) {
        h.dialogs = dialogs;
        w = &h.start();
        w->setLanguage(QString::fromLatin1(language));
        w->searchfonts_Click();
        s = w->findChild<searchfont*>();
        // Let the window become active now rather than in the middle of a search.
        (void)QTest::qWaitForWindowActive(s, 1000);
        s->setFolder(tree.root);
    }
    QString top() const { return tree.root + QLatin1Char('/'); }
};

} // namespace

TEST(SearchWindow, OpensOnTheProgramFolderWithItsTextsInEachLanguage) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.setLanguage(QStringLiteral("e"));
    w.searchfonts_Click();
    searchfont* s = w.findChild<searchfont*>();
    ASSERT_NE(s, nullptr);
    EXPECT_TRUE(s->isVisible());
    EXPECT_TRUE(w.isHidden());
    EXPECT_FALSE(s->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(s->folder(), h.folder);
    EXPECT_EQ(s->Text1->text(), h.folder + QLatin1Char('/'));
    EXPECT_TRUE(s->Text1->isHidden());
    EXPECT_EQ(s->Combo1->currentText(), QStringLiteral("*.ttf"));
    EXPECT_EQ(s->Combo1->count(), 4);
    EXPECT_EQ(s->Combo1->itemText(1), QStringLiteral("*.ttc"));
    EXPECT_EQ(s->Combo1->itemText(2), QStringLiteral("*.fon"));
    EXPECT_EQ(s->Combo1->itemText(3), QStringLiteral("*.otf"));
    EXPECT_EQ(buttonsOf(*s), (Buttons{true, false, true}));

    EXPECT_EQ(s->windowTitle(), QStringLiteral("Search Fonts"));
    EXPECT_EQ(s->Label1->text(), QStringLiteral("Folder"));
    EXPECT_EQ(s->Label4->text(), QStringLiteral("Choose Extend Name"));
    EXPECT_EQ(s->Label2->text(), QStringLiteral("Search Result:"));
    EXPECT_EQ(s->List1->toolTip(), QStringLiteral("Search Result"));
    EXPECT_EQ(s->Label5->text(), QStringLiteral("Status:Ready"));
    EXPECT_EQ(s->Label5->toolTip(), QStringLiteral("Status:Ready"));
    EXPECT_EQ(s->Command1->text(), QStringLiteral("Start"));
    EXPECT_EQ(s->Command1->toolTip(), QStringLiteral("Start search as your setting"));
    EXPECT_EQ(s->Command2->text(), QStringLiteral("Stop"));
    EXPECT_EQ(s->Command3->text(), QStringLiteral("Back"));
    EXPECT_EQ(s->setupthis->text(), QStringLiteral("Setup This Font"));
    EXPECT_EQ(s->ljxx->text(), QStringLiteral("View Path Information"));
    EXPECT_TRUE(s->Label3->isHidden());
    EXPECT_FALSE(s->Label6->isHidden());
    EXPECT_EQ(s->Label6->text(), QStringLiteral("Files Count:0"));

    // Only "e" means English here; "c" and anything else give Chinese.
    for (const char* flag : {"c", "x"}) {
        w.setLanguage(QString::fromLatin1(flag));
        s->Form_Activate();
        EXPECT_EQ(s->windowTitle(), QStringLiteral("搜索字体")) << flag;
        EXPECT_EQ(s->Label1->text(), QStringLiteral("目录"));
        EXPECT_EQ(s->Label4->text(), QStringLiteral("选择后缀名:"));
        EXPECT_EQ(s->Combo1->toolTip(),
                  QStringLiteral("选择需要搜索的字体文件后缀名，暂不支持全部扩展名搜索"));
        EXPECT_EQ(s->Label2->text(), QStringLiteral("搜索结果："));
        EXPECT_EQ(s->Label5->text(), QStringLiteral("当前状态：准备"));
        EXPECT_EQ(s->Command1->text(), QStringLiteral("开始搜索"));
        EXPECT_EQ(s->Command1->toolTip(), QStringLiteral("按照您的设置开始搜索"));
        EXPECT_EQ(s->Command2->text(), QStringLiteral("停止搜索"));
        EXPECT_EQ(s->Command3->toolTip(), QStringLiteral("返回主界面"));
        EXPECT_EQ(s->setupthis->text(), QStringLiteral("安装该字体"));
        EXPECT_FALSE(s->Label3->isHidden());
        EXPECT_TRUE(s->Label6->isHidden());
        EXPECT_EQ(s->Label3->text(), QStringLiteral("文件个数： 0 个"));
    }

    // The root comes from the tree as "//" and is searched as "/"; other folders keep
    // their trailing separator.
    s->setFolder(QStringLiteral("/"));
    EXPECT_EQ(s->Text1->text(), QStringLiteral("/"));
    s->Text1->setText(QStringLiteral("/ab/"));
    EXPECT_EQ(s->Text1->text(), QStringLiteral("/ab/"));
}

TEST(SearchWindow, SearchesTheTreeInOrderAndReportsTheCount) {
    SearchHarness t;
    searchfont& s = *t.s;
    auto& dialogs = t.h.p.dialogs;
    EXPECT_EQ(s.Text1->text(), t.top());

    // While the search runs: Start and Back off, Stop on, the hourglass, the searching status.
    s.setRefreshInterval(milliseconds(0), milliseconds(0));
    QList<Buttons> during;
    QStringList statuses;
    bool hourglass = true;
    QObject::connect(s.results(), &SearchResults::rowsInserted, &s, [&] {
        during << buttonsOf(s);
        // Coming back to the window while it searches keeps the searching status.
        s.Form_Activate();
        statuses << s.Label5->text();
        hourglass = hourglass && s.cursor().shape() == Qt::WaitCursor;
    });
    QString statusAtMessage;
    dialogs.onMessage = [&](const FakeDialogs::Shown&) { statusAtMessage = s.Label5->text(); };
    s.Command1_Click();

    const QStringList expected = t.tree.expected(QStringLiteral(".ttf"));
    EXPECT_EQ(s.results()->entries(), expected);
    EXPECT_EQ(s.List1->model()->rowCount(), expected.size());
    EXPECT_TRUE(s.results()->entries().contains(t.top() + QStringLiteral("x.ttf/inside.ttf")));
    EXPECT_FALSE(s.results()->entries().contains(t.top() + QStringLiteral(".hidden/hidden.ttf")));
    ASSERT_FALSE(during.isEmpty());
    for (const Buttons& b : during)
        EXPECT_EQ(b, (Buttons{false, true, false}));
    EXPECT_EQ(statuses.first(), QStringLiteral("当前状态：正在搜索..."));
    EXPECT_TRUE(hourglass);

    const QString count = QStringLiteral("文件个数： %1 个").arg(expected.size());
    EXPECT_EQ(s.Label3->text(), count);
    ASSERT_EQ(dialogs.messages().size(), 1);
    EXPECT_EQ(dialogs.messages()[0].text, QStringLiteral("搜索已经完成！\r\n") + count);
    EXPECT_EQ(dialogs.messages()[0].title, QStringLiteral("完成"));
    EXPECT_EQ(dialogs.messages()[0].icon, Dialogs::Icon::Information);
    EXPECT_EQ(statusAtMessage, QStringLiteral("当前状态：正在搜索..."));
    EXPECT_EQ(s.Label5->text(), QStringLiteral("当前状态：完成搜索"));
    EXPECT_EQ(buttonsOf(s), (Buttons{true, false, true}));
    EXPECT_NE(s.cursor().shape(), Qt::WaitCursor);
    EXPECT_FALSE(s.searching);

    // A typed pattern is used as typed, case ignored.
    t.tree.add(QStringLiteral("sub2/Pro.OTF"));
    s.Combo1->setEditText(QStringLiteral("*.otf"));
    s.Command1_Click();
    EXPECT_EQ(s.searchPattern, QStringLiteral("*.otf"));
    EXPECT_EQ(s.results()->entries(), QStringList{t.top() + QStringLiteral("sub2/Pro.OTF")});

    // Nothing found: 0 in the label and the message, no other message.
    dialogs.clear();
    s.Combo1->setEditText(QStringLiteral("*.pfb"));
    s.Command1_Click();
    EXPECT_EQ(s.results()->count(), 0);
    EXPECT_EQ(s.Label3->text(), QStringLiteral("文件个数： 0 个"));
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList{QStringLiteral("搜索已经完成！\r\n文件个数： 0 个")});
}

TEST(SearchWindow, StopKeepsWhatWasFoundAndShowsTheStopStatusDuringTheMessage) {
    SearchHarness t;
    searchfont& s = *t.s;
    auto& dialogs = t.h.p.dialogs;
    s.setRefreshInterval(milliseconds(0), milliseconds(0));
    QObject::connect(s.results(), &SearchResults::rowsInserted, &s, [&] {
        if (s.results()->count() == 3 && s.searching) {
            s.Command2_Click();
            // Start again at once: the stopped search finishes first, nothing starts inside it.
            s.Command1_Click();
        }
    });
    QString statusAtMessage;
    Buttons buttonsAtMessage{};
    dialogs.onMessage = [&](const FakeDialogs::Shown&) {
        statusAtMessage = s.Label5->text();
        buttonsAtMessage = buttonsOf(s);
    };
    s.Command1_Click();
    EXPECT_EQ(s.results()->entries(), t.tree.expected(QStringLiteral(".ttf")).mid(0, 3));
    EXPECT_EQ(statusAtMessage, QStringLiteral("当前状态：停止搜索"));
    EXPECT_EQ(buttonsAtMessage, (Buttons{true, false, true}));
    EXPECT_EQ(dialogs.messageTexts(),
              QStringList{QStringLiteral("搜索已经完成！\r\n文件个数： 3 个")});
    EXPECT_EQ(s.Label5->text(), QStringLiteral("当前状态：完成搜索"));
    EXPECT_NE(s.cursor().shape(), Qt::WaitCursor);
}

TEST(SearchWindow, TheCompletionStatusOutlastsItsMessageUntilTheUserComesBack) {
    QtDialogs realDialogs;
    SearchHarness t("c", &realDialogs);
    searchfont& s = *t.s;
    ASSERT_TRUE(QTest::qWaitForWindowActive(&s));

    // A pattern typed and confirmed with Enter stays as typed and joins no list.
    QLineEdit* typed = s.Combo1->lineEdit();
    QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(typed, QStringLiteral("*.TTF"));
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(s.Combo1->count(), 4);
    EXPECT_EQ(s.Combo1->currentText(), QStringLiteral("*.TTF"));

    // The completion message is a real one, answered from the keyboard.
    QString statusAtMessage;
    shown::answerNextDialog([&](QWidget*) { statusAtMessage = s.Label5->text(); });
    QTest::mouseClick(s.Command1, Qt::LeftButton);
    EXPECT_EQ(s.searchPattern, QStringLiteral("*.TTF"));
    EXPECT_EQ(statusAtMessage, QStringLiteral("当前状态：正在搜索..."));
    // The window is active again once the message has gone (a window manager hands it
    // back; here the window asks for it): that is no coming back to the window.
    s.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &s; }));
    QTest::qWait(100);
    EXPECT_EQ(s.Label5->text(), QStringLiteral("当前状态：完成搜索"));

    // Coming to it from another window is.
    t.w->show();
    t.w->activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == t.w; }));
    s.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &s; }));
    EXPECT_EQ(s.Label5->text(), QStringLiteral("当前状态：准备"));
    t.w->hide();
}

TEST(SearchWindow, CountLabelsFollowTheirLanguageRule) {
    // English: only the Chinese label follows the search; the English one shows the previous
    // count until the end.
    SearchHarness t("e");
    searchfont& s = *t.s;
    auto& dialogs = t.h.p.dialogs;
    const int all = static_cast<int>(t.tree.expected(QStringLiteral(".ttf")).size());
    s.Command1_Click();
    EXPECT_EQ(s.Label6->text(), QStringLiteral("Files Count:%1").arg(all));
    EXPECT_EQ(dialogs.messages().last().text,
              QStringLiteral("Searching complete!\r\nFiles Count:%1").arg(all));
    EXPECT_EQ(dialogs.messages().last().title, QStringLiteral("Complete"));
    EXPECT_EQ(s.Label5->text(), QStringLiteral("Status:Complete"));

    s.setRefreshInterval(milliseconds(0), milliseconds(0));
    s.Combo1->setEditText(QStringLiteral("*.ttc"));
    QStringList english, chinese, status;
    QObject::connect(s.results(), &SearchResults::rowsInserted, &s, [&] {
        english << s.Label6->text();
        chinese << s.Label3->text();
        status << s.Label5->text();
    });
    s.Command1_Click();
    ASSERT_EQ(english.size(), 1);
    EXPECT_EQ(english.first(), QStringLiteral("Files Count:%1").arg(all));
    EXPECT_EQ(chinese.first(), QStringLiteral("文件个数： 1 个"));
    EXPECT_EQ(status.first(), QStringLiteral("Status:Searching..."));
    EXPECT_EQ(s.Label6->text(), QStringLiteral("Files Count:1"));

    // Neither "c" nor "e": Chinese texts, but the end of the search follows the "c" rule and
    // reports in English.
    t.w->setLanguage(QStringLiteral("x"));
    s.Form_Activate();
    dialogs.clear();
    status.clear();
    s.Combo1->setEditText(QStringLiteral("*.ttf"));
    s.Command1_Click();
    EXPECT_EQ(status.first(), QStringLiteral("当前状态：正在搜索..."));
    EXPECT_EQ(s.Label3->text(), QStringLiteral("文件个数： %1 个").arg(all));
    EXPECT_EQ(s.Label6->text(), QStringLiteral("Files Count:%1").arg(all));
    EXPECT_EQ(dialogs.messages().last().title, QStringLiteral("Complete"));
    EXPECT_EQ(s.Label5->text(), QStringLiteral("Status:Complete"));
}

TEST(SearchWindow, BackKeepsEverythingAndAResultGoesToTheInstallWindow) {
    SearchHarness t;
    searchfont& s = *t.s;
    frmfont& w = *t.w;
    auto& dialogs = t.h.p.dialogs;
    s.Combo1->setEditText(QStringLiteral("*.TTF"));
    s.Command1_Click();
    const QStringList found = s.results()->entries();
    ASSERT_GE(found.size(), 3);
    const QString count = s.Label3->text();

    s.Command3_Click();
    EXPECT_TRUE(s.isHidden());
    EXPECT_FALSE(w.isHidden());
    w.searchfonts_Click();
    EXPECT_EQ(w.findChildren<searchfont*>().size(), 1);
    EXPECT_EQ(w.findChild<searchfont*>(), &s);
    EXPECT_TRUE(s.isVisible());
    EXPECT_TRUE(w.isHidden());
    EXPECT_EQ(s.results()->entries(), found);
    EXPECT_EQ(s.Label3->text(), count);
    EXPECT_EQ(s.Combo1->currentText(), QStringLiteral("*.TTF"));
    EXPECT_EQ(s.Text1->text(), t.top());
    EXPECT_EQ(s.folder(), t.tree.root);
    EXPECT_EQ(s.Label5->text(), QStringLiteral("当前状态：准备"));

    // The right button opens the menu only when an entry is selected, and does not move the
    // selection.
    s.List1_MouseDown(Qt::RightButton, QPoint(10, 10));
    EXPECT_FALSE(s.op->isVisible());
    s.List1->setCurrentIndex(s.results()->index(1));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&s));
    const QRect third = s.List1->visualRect(s.results()->index(2));
    QTest::mousePress(s.List1->viewport(), Qt::RightButton, {}, third.center());
    EXPECT_TRUE(s.op->isVisible());
    s.op->hide();
    QTest::mouseRelease(s.List1->viewport(), Qt::RightButton, {}, third.center());
    EXPECT_EQ(s.selectedEntry(), found[1]);

    s.ljxx_Click();
    ASSERT_FALSE(dialogs.messages().isEmpty());
    EXPECT_EQ(dialogs.messages().last().text, QStringLiteral("字体路径为：\r\n") + found[1]);
    EXPECT_EQ(dialogs.messages().last().title, QStringLiteral("路径显示"));

    s.setupthis_Click();
    setupfon* install = w.findChild<setupfon*>();
    ASSERT_NE(install, nullptr);
    EXPECT_TRUE(install->isVisible());
    EXPECT_EQ(install->Text1->text(), found[1]);
    EXPECT_TRUE(s.isHidden());
    EXPECT_TRUE(w.isHidden());
    // Its Back leads to the main window.
    install->Command3_Click();
    EXPECT_FALSE(w.isHidden());
    EXPECT_TRUE(s.isHidden());
}
