#include "../app/MainWindowHarness.h"
#include "app/controls/PictureButton.h"
#include "app/settings/CodePage.h"
#include "catalogue/PreviewText.h"
#include "export/HtmlBlocks.h"
#include "export/frmhtml.h"

#include <QApplication>
#include <QBuffer>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QStringDecoder>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Export : MainWindowHarness {
    explicit Export(const QStringList& families) {
        p.useFakeFonts(families);
        start();
        window->Command1_Click();
        out = testenv::newFolder(QStringLiteral("html")) + QStringLiteral("/fonts.html");
    }
    frmhtml& open() {
        window->mnuouthtml_Click();
        html = window->findChild<frmhtml*>();
        return *html;
    }
    QString out;
    QPointer<frmhtml> html;
};

const QString plainBlock = QStringLiteral(
    "\r\n<br><font>%1 </font><font face=\"%1\"  color=#000000 size=3>Sample 样例</font></br>");

// QTest's own QTRY_ macros report to QTest, not to this test runner, and would pass silently.
template <typename Condition> bool eventually(Condition condition) {
    return QTest::qWaitFor(condition, 2000);
}

} // namespace

TEST(HtmlBlocks, PiecesComeInTheirOrderWithTheTagsOfTheTickedBoxes) {
    using namespace htmlexport;
    EXPECT_EQ(
        entryBlock(QStringLiteral("Arial"), QStringLiteral("S"), Tags{}, QStringLiteral("5"),
                   QStringLiteral("#FF0000")),
        QStringLiteral(
            "\r\n<br><font>Arial </font><font face=\"Arial\"  color=#FF0000 size=5>S</font></br>"));
    EXPECT_EQ(
        entryBlock(QStringLiteral("A"), QStringLiteral("S"),
                   Tags::fromBoxes(true, true, true, true), QStringLiteral("2"),
                   QStringLiteral("#000000")),
        QStringLiteral("\r\n<br><center><font>A </font><b><i><u><font face=\"A\"  color=#000000 "
                       "size=2>S</font></b></i></u></br>"));
    EXPECT_EQ(
        entryBlock(QStringLiteral("A"), QStringLiteral("S"),
                   Tags::fromBoxes(false, false, true, false), QStringLiteral("2"),
                   QStringLiteral("#000000")),
        QStringLiteral(
            "\r\n<br><font>A </font><i><font face=\"A\"  color=#000000 size=2>S</font></i></br>"));
    // Names are escaped; the sample text stays as typed.
    EXPECT_EQ(
        entryBlock(QStringLiteral("A&B <x> \"q\""), QStringLiteral("<b>x</b>"), Tags{},
                   QStringLiteral("1"), QStringLiteral("#000000")),
        QStringLiteral("\r\n<br><font>A&amp;B &lt;x&gt; &quot;q&quot; </font><font face=\"A&amp;B "
                       "&lt;x&gt; &quot;q&quot;\"  color=#000000 size=1><b>x</b></font></br>"));

    QBuffer device;
    device.open(QIODevice::WriteOnly);
    ASSERT_TRUE(writePage(device, QStringLiteral("中")));
    EXPECT_EQ(device.data(), QByteArray("<meta charset=\"gb18030\">\xD6\xD0\r\n"));
}

TEST(HtmlExport, StartsFromTheStoredValues) {
    Export e({QStringLiteral("A")});
    e.set("Html", "save", QStringLiteral("1abc"));
    e.set("Html", "size", QStringLiteral("4"));
    e.set("Html", "color", QStringLiteral("255"));
    e.set("Html", "url", QStringLiteral("/tmp/out/"));
    e.set("Html", "filename", QStringLiteral("page.html"));
    e.set("Html", "text", QStringLiteral("样例"));
    e.set("Html", "effect0", QStringLiteral("1"));
    e.set("Html", "effect2", QStringLiteral("1"));
    e.window->show();
    frmhtml& w = e.open();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(e.window->isHidden()); // opening leaves the main window up
    e.window->mnuouthtml_Click();       // a second command brings the same window forward
    EXPECT_EQ(e.window->findChildren<frmhtml*>().size(), 1);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("输出到html文件"));
    EXPECT_TRUE(w.Checksave->isChecked());
    EXPECT_EQ(w.combosize->currentText(), QStringLiteral("4"));
    EXPECT_EQ(w.color(), 255);
    EXPECT_EQ(w.texturl->text(), QStringLiteral("/tmp/out/page.html"));
    EXPECT_EQ(w.Texttext->text(), QStringLiteral("样例"));
    EXPECT_TRUE(w.Checkc->isChecked());
    EXPECT_FALSE(w.Checkb->isChecked());
    EXPECT_TRUE(w.Checki->isChecked());
    EXPECT_FALSE(w.Checku->isChecked());
    EXPECT_EQ(w.comok->caption(), QStringLiteral("输出"));
    EXPECT_EQ(w.comback->caption(), QStringLiteral("返回"));

    // Browse: the stored folder and name start the dialog; a cancel restores them.
    w.texturl->setText(QStringLiteral("edited"));
    w.Command2_Click();
    EXPECT_EQ(e.p.dialogs.shown.last().kind, QStringLiteral("save"));
    EXPECT_EQ(e.p.dialogs.shown.last().defaultText, QStringLiteral("/tmp/out/page.html"));
    EXPECT_EQ(w.texturl->text(), QStringLiteral("/tmp/out/page.html"));
    e.p.dialogs.saveFiles.push_back(QStringLiteral("/srv/x.html"));
    w.Command2_Click();
    EXPECT_EQ(w.texturl->text(), QStringLiteral("/srv/x.html"));

    // Colour: chosen, then a cancel keeps it.
    e.p.dialogs.colors.push_back(QColor(0x12, 0x34, 0x56));
    w.comcolor_Click();
    EXPECT_EQ(w.color(), 0x563412);
    w.comcolor_Click();
    EXPECT_EQ(w.color(), 0x563412);

    // Back closes the window; the main window stays.
    w.comback_Click();
    EXPECT_TRUE(eventually([&] { return e.html.isNull(); }));
    EXPECT_FALSE(e.window->isHidden());
    e.window->hide();
}

TEST(HtmlExport, TheAcceptanceTestShowsItsThreeMessagesInOrder) {
    Export e({QStringLiteral("A")});
    e.window->show();
    frmhtml& w = e.open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.activateWindow();
    w.combosize->setEditText(QStringLiteral("abc"));
    w.Texttext->clear();
    w.texturl->clear();
    e.p.dialogs.clear();
    w.comok_Click();
    EXPECT_EQ(e.p.dialogs.messageTexts(),
              (QStringList{QStringLiteral("输入的字体大小不符合要求（1-7）。"),
                           QStringLiteral("输入的显示文字不符合要求。"),
                           QStringLiteral("输入的保存路径不符合要求。")}));
    for (const auto& m : e.p.dialogs.messages()) {
        EXPECT_EQ(m.title, QStringLiteral("错误"));
        EXPECT_EQ(m.icon, Dialogs::Icon::Information);
    }
    EXPECT_TRUE(eventually([&] { return w.texturl->hasFocus(); }));
    EXPECT_FALSE(e.window->isHidden()); // a refused export leaves the main window alone

    // Each bad size alone: the size message only, the focus in the size box, no file.
    w.texturl->setText(e.out);
    w.Texttext->setText(QStringLiteral("x"));
    for (const char* bad : {"0", "8", "-1", "abc", "", "0.0", "8.01"}) {
        w.combosize->setEditText(QString::fromLatin1(bad));
        w.texturl->setFocus();
        e.p.dialogs.clear();
        w.comok_Click();
        EXPECT_EQ(e.p.dialogs.messageTexts(),
                  QStringList{QStringLiteral("输入的字体大小不符合要求（1-7）。")})
            << bad;
        EXPECT_TRUE(eventually(
            [&] { return w.combosize->hasFocus() || w.combosize->lineEdit()->hasFocus(); }));
    }
    EXPECT_FALSE(QFile::exists(e.out));

    // Only the text fails: its message alone, the focus in the text box.
    w.combosize->setEditText(QStringLiteral("2"));
    w.Texttext->clear();
    e.p.dialogs.clear();
    w.comok_Click();
    EXPECT_EQ(e.p.dialogs.messageTexts(),
              QStringList{QStringLiteral("输入的显示文字不符合要求。")});
    EXPECT_TRUE(eventually([&] { return w.Texttext->hasFocus(); }));
    w.Texttext->setText(QStringLiteral("x"));

    // Only the path fails after a good size: the text check stays silent.
    w.combosize->setEditText(QStringLiteral("7.5"));
    w.texturl->clear();
    e.p.dialogs.clear();
    w.comok_Click();
    EXPECT_EQ(e.p.dialogs.messageTexts(),
              QStringList{QStringLiteral("输入的保存路径不符合要求。")});

    // Fractions and a number followed by letters pass.
    for (const char* good : {"7.5", "0.5", "3abc"}) {
        w.combosize->setEditText(QString::fromLatin1(good));
        w.texturl->setText(e.out);
        e.p.dialogs.clear();
        w.comok_Click();
        EXPECT_EQ(e.p.dialogs.messageTexts().value(1), QStringLiteral("输出完成！")) << good;
        EXPECT_TRUE(QFile::remove(e.out)) << good;
    }

    // A size typed and confirmed with Enter stays as typed and joins no list.
    QLineEdit* typed = w.combosize->lineEdit();
    QTest::keyClick(typed, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(typed, QStringLiteral("7.5"));
    QTest::keyClick(typed, Qt::Key_Return);
    EXPECT_EQ(w.combosize->count(), 7);
    EXPECT_EQ(w.combosize->currentText(), QStringLiteral("7.5"));
    w.close();
    e.window->hide();
}

TEST(HtmlExport, WritesEveryFontInListOrderByteForByte) {
    Export e({QStringLiteral("Alpha"), QStringLiteral("Be ta"), QStringLiteral("Gam<ma>")});
    e.set("Html", "save", QStringLiteral("0"));
    frmhtml& w = e.open();
    w.combosize->setEditText(QStringLiteral("3"));
    w.Texttext->setText(QStringLiteral("Sample 样例"));
    w.texturl->setText(e.out);
    for (QCheckBox* box : {w.Checkc, w.Checkb, w.Checki, w.Checku})
        box->setChecked(false);
    bool mainHiddenDuringStart = false;
    bool exportWindowShown = false;
    e.p.dialogs.onMessage = [&](const FakeDialogs::Shown& s) {
        if (s.text == QStringLiteral("输出开始，请不要进行其他操作。")) {
            mainHiddenDuringStart = e.window->isHidden();
            exportWindowShown = w.isVisible();
        }
    };
    e.window->show();
    w.show();
    w.comok_Click();
    EXPECT_TRUE(mainHiddenDuringStart);
    EXPECT_TRUE(exportWindowShown); // hiding the main window leaves the export window up
    EXPECT_FALSE(e.window->isHidden());
    ASSERT_EQ(e.p.dialogs.messages().size(), 2);
    EXPECT_EQ(e.p.dialogs.messages()[0].title, QStringLiteral("注意"));
    EXPECT_EQ(e.p.dialogs.messages()[0].icon, Dialogs::Icon::None);
    EXPECT_EQ(e.p.dialogs.messages()[1].text, QStringLiteral("输出完成！"));
    EXPECT_EQ(e.p.dialogs.messages()[1].title, QStringLiteral("提示"));

    const QString expected =
        plainBlock.arg(QStringLiteral("Alpha")) + plainBlock.arg(QStringLiteral("Be ta")) +
        plainBlock.arg(QStringLiteral("Gam&lt;ma&gt;")) + QStringLiteral("\r\n");
    // The page declares its encoding first; the designed blocks follow byte for byte.
    const QByteArray page = testenv::readFile(e.out);
    EXPECT_EQ(page, "<meta charset=\"gb18030\">" + codepage::encode(expected));
    EXPECT_TRUE(page.startsWith("<meta charset=\"gb18030\">\r\n<br>"));
    // A reader that goes by the declaration alone reads every name and sample right.
    QStringDecoder reader = QStringDecoder::decoderForHtml(page);
    ASSERT_TRUE(reader.isValid());
    const QString read = reader.decode(page);
    EXPECT_FALSE(reader.hasError());
    EXPECT_EQ(read, QStringLiteral("<meta charset=\"gb18030\">") + expected);
    // The walk ran the list's own selection handling and ends on the last entry.
    EXPECT_EQ(e.window->List1->currentRow(), 2);
    EXPECT_EQ(e.window->Label2->family(), QStringLiteral("Gam<ma>"));
    // Walked past, never drawn: no family on the way is handed to the toolkit.
    QApplication::processEvents();
    EXPECT_FALSE(e.p.fakeFonts.drawn.contains(QStringLiteral("Be ta")));
    EXPECT_TRUE(e.window->infor->isEnabled());
    // Storing off writes save only.
    EXPECT_EQ(e.get("Html", "save"), QStringLiteral("0"));
    EXPECT_EQ(e.get("Html", "text"), QStringLiteral("Vorlan字体管理 AaBbCc 0123456789"));

    // What was written stays in the result buffer.
    EXPECT_EQ(w.Textresult->toPlainText().count(QStringLiteral("<br>")), 3);

    // A second export holds only its own blocks, with the tags ticked now.
    w.Checki->setChecked(true);
    w.comok_Click();
    EXPECT_EQ(testenv::readFile(e.out).count("</font></i></br>"), 3);
    w.Checki->setChecked(false);
    w.Checkb->setChecked(true);
    w.combosize->setEditText(QStringLiteral("7.5"));
    w.comok_Click();
    const QByteArray third = testenv::readFile(e.out);
    EXPECT_EQ(third.count("<br>"), 3);
    EXPECT_EQ(third.count("<b><font face="), 3);
    EXPECT_FALSE(third.contains("<i>"));
    EXPECT_TRUE(third.contains("size=7.5>"));
    EXPECT_EQ(w.Textresult->toPlainText().count(QStringLiteral("<br>")), 3);
}

TEST(HtmlExport, StoresTheWindowValuesWhenAskedTo) {
    Export e({QStringLiteral("A")});
    frmhtml& w = e.open();
    w.Checksave->setChecked(true);
    w.combosize->setEditText(QStringLiteral("6"));
    w.Texttext->setText(QStringLiteral("新的样例"));
    w.texturl->setText(e.out);
    w.Checkc->setChecked(true);
    w.Checku->setChecked(true);
    w.Checkb->setChecked(false);
    w.Checki->setChecked(false);
    e.p.dialogs.colors.push_back(QColor(255, 0, 0));
    w.comcolor_Click();
    w.comok_Click();
    EXPECT_EQ(e.get("Html", "save"), QStringLiteral("1"));
    EXPECT_EQ(e.get("Html", "size"), QStringLiteral("6"));
    EXPECT_EQ(e.get("Html", "color"), QStringLiteral("255"));
    EXPECT_TRUE(testenv::readFile(e.config()).contains("color= 255\r\n"));
    EXPECT_EQ(e.get("Html", "url"), QFileInfo(e.out).absolutePath() + QStringLiteral("/"));
    EXPECT_EQ(e.get("Html", "filename"), QStringLiteral("fonts.html"));
    EXPECT_EQ(e.get("Html", "text"), QStringLiteral("新的样例"));
    EXPECT_EQ(e.get("Html", "effect0"), QStringLiteral("1"));
    EXPECT_EQ(e.get("Html", "effect1"), QStringLiteral("0"));
    EXPECT_EQ(e.get("Html", "effect3"), QStringLiteral("1"));
    EXPECT_TRUE(testenv::readFile(e.out).contains("color=#FF0000 size=6>"));

    // The next opening starts from what was stored.
    w.close();
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    frmhtml& again = e.open();
    EXPECT_EQ(again.texturl->text(), e.out);
    EXPECT_EQ(again.Texttext->text(), QStringLiteral("新的样例"));
}

TEST(HtmlExport, AnEmptyListOrAnUnwritablePathIsReportedAndTheMainWindowComesBack) {
    Export empty(QStringList{});
    frmhtml& w = empty.open();
    w.Texttext->setText(QStringLiteral("x"));
    w.texturl->setText(empty.out);
    empty.window->show();
    w.comok_Click();
    ASSERT_EQ(empty.p.dialogs.messages().size(), 2);
    EXPECT_EQ(empty.p.dialogs.messages()[1].title, QStringLiteral("错误"));
    EXPECT_FALSE(empty.window->isHidden());
    EXPECT_FALSE(QFile::exists(empty.out));

    Export bad({QStringLiteral("A")});
    frmhtml& b = bad.open();
    const QString path = bad.out + QStringLiteral("/missing/folder/x.html");
    b.Texttext->setText(QStringLiteral("x"));
    b.texturl->setText(path);
    bad.window->show();
    b.comok_Click();
    ASSERT_EQ(bad.p.dialogs.messages().size(), 2);
    EXPECT_EQ(bad.p.dialogs.messages()[1].title, QStringLiteral("错误"));
    EXPECT_TRUE(bad.p.dialogs.messages()[1].text.contains(path));
    EXPECT_FALSE(bad.window->isHidden());
    EXPECT_NE(bad.get("Html", "save"), QStringLiteral("0")); // nothing stored for a failed export
}

TEST(HtmlExport, ABareFileNameIsWrittenInTheHomeFolderNotTheCurrentOne) {
    Export e({QStringLiteral("A")});
    frmhtml& w = e.open();
    // The installed settings carry a file name and no folder.
    EXPECT_EQ(w.texturl->text(), QStringLiteral("fonts.html"));
    const QString home = QDir::homePath() + QStringLiteral("/fonts.html");
    const QString cwd = QDir::currentPath() + QStringLiteral("/fonts.html");
    QFile::remove(home);
    ASSERT_NE(home, cwd);
    w.Texttext->setText(QStringLiteral("x"));
    w.comok_Click();
    EXPECT_TRUE(QFile::exists(home));
    EXPECT_FALSE(QFile::exists(cwd));
    QFile::remove(home);
    // The dialog starts there too.
    w.Command2_Click();
    EXPECT_EQ(e.p.dialogs.shown.last().defaultText, home);
}
