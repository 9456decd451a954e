#include "catalogue/FontsForText.h"
#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "ShownWindows.h"
#include "catalogue/PreviewText.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The fonts of known coverage installed in the user's fonts folder, beside the system's DejaVu
// Sans and DejaVu Sans Mono; gone again, and the font table reread, at the end.
struct KnownCoverage {
    QStringList installed;
    KnownCoverage() {
        for (const char* file :
             {"PlainLatin.ttf", "HanziSans.ttf", "DevaText.ttf", "RareGlyph.ttf"}) {
            installed << testenv::userFontsFolder() + QLatin1Char('/') + QLatin1String(file);
            QFile::copy(testenv::testFont(QLatin1String(file)), installed.last());
        }
        FontconfigFontSystem().rescan();
    }
    ~KnownCoverage() {
        for (const QString& file : installed)
            QFile::remove(file);
        FontconfigFontSystem().rescan();
    }
};

FontsForText* openFinder(frmfont& w) {
    w.findFontsForText->trigger();
    return w.findChild<FontsForText*>();
}

void chooseLanguage(FontsForText& finder, const char* code) {
    finder.languageBox->setCurrentIndex(finder.languageBox->findData(QString::fromLatin1(code)));
}

// Typing: ASCII from the keyboard, anything else as an input method commits it.
void type(QWidget* field, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].unicode() < 128) {
            QTest::keyClick(field, text[i].toLatin1());
            continue;
        }
        const qsizetype length = text[i].isHighSurrogate() ? 2 : 1;
        QInputMethodEvent commit;
        commit.setCommitString(text.mid(i, length));
        QApplication::sendEvent(field, &commit);
        i += length - 1;
    }
}

void retype(FontsForText& finder, const QString& text) {
    finder.textField->clear();
    type(finder.textField, text);
}

} // namespace

TEST(FontsForText, TypingAndALanguageNarrowTheFamiliesAndSelectShowsTheChosenOneInTheMainList) {
    KnownCoverage fonts;
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    FontsForText* finder = openFinder(w);
    ASSERT_NE(finder, nullptr);
    // In place of the main window, under its caption, the text field ready for typing.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(finder));
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown::title(finder) == "按文字查找字体"; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return finder->textField->hasFocus(); }, 5000));
    EXPECT_EQ(finder->textLabel->text(), QStringLiteral("文字："));
    EXPECT_EQ(finder->textField->accessibleName(), QStringLiteral("文字"));
    EXPECT_EQ(finder->matchesList->accessibleName(), QStringLiteral("符合的字体"));
    EXPECT_EQ(finder->languageBox->itemText(0), QStringLiteral("（任意语言）"));
    EXPECT_GE(finder->languageBox->findText(QStringLiteral("中文（简体） zh-cn")), 1);
    EXPECT_GE(finder->languageBox->findText(QStringLiteral("印地语 hi")), 1);

    // No text, any language: every family, named and ordered as the main list has them.
    EXPECT_EQ(entries(finder->matchesList),
              (QStringList{"墨字体", "DejaVu Sans", "DejaVu Sans Mono", "Deva Text", "Plain Latin",
                           "Rare Glyph"}));
    EXPECT_EQ(finder->countLabel->text(), QStringLiteral("共有 6 种字体符合"));

    // Each keystroke narrows or widens the list; blanks do not count.
    QTest::keyClicks(finder->textField, QStringLiteral(" A "));
    const QStringList latin{"墨字体", "DejaVu Sans", "DejaVu Sans Mono", "Plain Latin"};
    EXPECT_EQ(entries(finder->matchesList), latin);
    type(finder->textField, QStringLiteral("鑫"));
    EXPECT_EQ(entries(finder->matchesList), QStringList{"墨字体"});
    EXPECT_EQ(finder->countLabel->text(), QStringLiteral("共有 1 种字体符合"));
    QTest::keyClick(finder->textField, Qt::Key_Backspace);
    EXPECT_EQ(entries(finder->matchesList), latin);
    retype(*finder, QStringLiteral("नमस्ते"));
    EXPECT_EQ(entries(finder->matchesList), QStringList{"Deva Text"});
    retype(*finder, QString::fromUcs4(U"\U0001D11E"));
    EXPECT_EQ(entries(finder->matchesList), QStringList{"Rare Glyph"});
    retype(*finder, QStringLiteral("A鑫क"));
    EXPECT_TRUE(entries(finder->matchesList).isEmpty());
    EXPECT_EQ(finder->countLabel->text(), QStringLiteral("共有 0 种字体符合"));
    EXPECT_FALSE(finder->selectButton->isEnabled());

    // A language narrows the list, with the text or without it.
    retype(*finder, QString());
    chooseLanguage(*finder, "hi");
    EXPECT_EQ(entries(finder->matchesList), QStringList{"Deva Text"});
    chooseLanguage(*finder, "en");
    EXPECT_EQ(entries(finder->matchesList), latin);
    type(finder->textField, QStringLiteral("永"));
    EXPECT_EQ(entries(finder->matchesList), QStringList{"墨字体"});
    chooseLanguage(*finder, "zh-cn");
    EXPECT_TRUE(entries(finder->matchesList).isEmpty());
    chooseLanguage(*finder, "en");

    // "选中" brings the main window back with the list shown and the family previewed.
    EXPECT_FALSE(w.listShown());
    QTest::mouseClick(finder->selectButton, Qt::LeftButton);
    EXPECT_FALSE(finder->isVisible());
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(w.listShown());
    EXPECT_EQ(w.selectedFont(), QStringLiteral("Hanzi Sans"));
    EXPECT_EQ(w.List1->text(w.List1->currentRow()), QStringLiteral("墨字体"));
    EXPECT_EQ(w.Label2->family(), QStringLiteral("Hanzi Sans"));
    EXPECT_TRUE(w.infor->isEnabled());

    // In English, the window keeps its text and language and speaks English; a double click
    // chooses too.
    w.engls_Click();
    ASSERT_EQ(openFinder(w), finder);
    EXPECT_EQ(finder->windowTitle(), QStringLiteral("Find Fonts for Text"));
    EXPECT_EQ(finder->textField->text(), QStringLiteral("永"));
    EXPECT_EQ(finder->languageBox->currentText(), QStringLiteral("English en"));
    EXPECT_EQ(finder->countLabel->text(), QStringLiteral("1 font matches"));
    retype(*finder, QStringLiteral("Ab"));
    EXPECT_EQ(entries(finder->matchesList),
              (QStringList{"DejaVu Sans", "DejaVu Sans Mono", "Hanzi Sans", "Plain Latin"}));
    EXPECT_EQ(finder->countLabel->text(), QStringLiteral("4 fonts match"));
    const QRect plain = finder->matchesList->visualRect(finder->matchesList->model()->index(3, 0));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(finder));
    // A double click: a click, then the second press the window system reports as double.
    QTest::mouseClick(finder->matchesList->viewport(), Qt::LeftButton, {}, plain.center());
    QTest::mouseDClick(finder->matchesList->viewport(), Qt::LeftButton, {}, plain.center());
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(finder->isVisible());
    EXPECT_EQ(w.selectedFont(), QStringLiteral("Plain Latin"));

    // The font table keeps what it read until the list is refreshed.
    FontSystem& table = h.p.fonts();
    EXPECT_EQ(table.coverage(), table.coverage());
    const auto before = table.coverage();
    w.ref_Click();
    EXPECT_NE(table.coverage(), before);
    w.hide();
}

TEST(FontsForText, DetailsTellTheLanguagesAndTheCharactersOfThePreviewTextTheFamilyLacks) {
    KnownCoverage fonts;
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    auto& dialogs = h.p.dialogs;
    const auto selectFamily = [&](const char* shown) {
        w.List1->setCurrentRow(w.List1->row(QString::fromUtf8(shown)));
    };
    const auto lastLines = [&](int count) {
        const QStringList lines = dialogs.messages().last().details.split(QLatin1Char('\n'));
        return lines.mid(lines.size() - count);
    };

    w.Label2->setText(QStringLiteral("Ab 鑫淼"));
    selectFamily("Plain Latin");
    w.infor_Click();
    QStringList lines = lastLines(2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("支持的语言："))) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].contains(QStringLiteral("英语"))) << lines[0].toStdString();
    EXPECT_FALSE(lines[0].contains(QStringLiteral("印地语")));
    EXPECT_EQ(lines[1], QStringLiteral("缺少预览文字中的 2 个字符：鑫 淼"));
    // A family that has every character says nothing of them.
    selectFamily("墨字体");
    w.infor_Click();
    EXPECT_FALSE(dialogs.messages().last().details.contains(QStringLiteral("缺少")));

    // The first twenty are named, in the order of the text; the delete question tells it too.
    w.setLanguage(QStringLiteral("e"));
    const QString text = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸子丑");
    w.Label2->setText(text);
    selectFamily("Deva Text");
    dialogs.answers = {Dialogs::Answer::No};
    w.delfont_Click();
    lines = lastLines(2);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Languages: ")));
    EXPECT_TRUE(lines[0].contains(QStringLiteral("Hindi"))) << lines[0].toStdString();
    QStringList first20;
    for (int i = 0; i < 20; ++i)
        first20 << text.mid(i, 1);
    EXPECT_EQ(lines[1], QStringLiteral("Lacks 22 characters of the preview text: ") +
                            first20.join(QLatin1Char(' ')) + QStringLiteral(" …"));
    w.Label2->setText(QStringLiteral("क鑫"));
    w.infor_Click();
    EXPECT_EQ(lastLines(1)[0], QStringLiteral("Lacks 1 character of the preview text: 鑫"));
}

TEST(FontsForText, ReadsWhatFamiliesCoverOnlyWhenFirstNeededAndAgainAfterARefresh) {
    MainWindowHarness h;
    h.p.useFakeFonts({QStringLiteral("Alpha"), QStringLiteral("Beta")});
    h.p.fakeFonts.covers = {{QStringLiteral("Alpha"), {QStringLiteral("ab"), {"en"}}},
                            {QStringLiteral("Beta"), {QStringLiteral("abc"), {}}}};
    frmfont& w = h.start();
    w.Command1_Click();
    EXPECT_EQ(h.p.fakeFonts.coverageReads, 0);

    FontsForText* finder = openFinder(w);
    QTest::keyClicks(finder->textField, QStringLiteral("c"));
    EXPECT_EQ(entries(finder->matchesList), QStringList{"Beta"});
    QTest::mouseClick(finder->backButton, Qt::LeftButton);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.selectedFont(), QString());
    openFinder(w);
    EXPECT_EQ(h.p.fakeFonts.coverageReads, 1);

    // Enter in the text field takes the current match.
    QTest::keyClick(finder->textField, Qt::Key_Return);
    EXPECT_EQ(w.selectedFont(), QStringLiteral("Beta"));
    w.ref_Click();
    openFinder(w);
    EXPECT_EQ(h.p.fakeFonts.coverageReads, 2);
    chooseLanguage(*finder, "en");
    EXPECT_TRUE(entries(finder->matchesList).isEmpty());
    QTest::mouseClick(finder->backButton, Qt::LeftButton);
}
