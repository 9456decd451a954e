#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "app/ColorCode.h"
#include "app/settings/CodePage.h"
#include "catalogue/PreviewText.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QRawFont>
#include <QSet>
#include <gtest/gtest.h>

namespace {
// The [Preview] section as the file holds it, key by key.
QStringList previewKeys(const MainWindowHarness& h) {
    QStringList values;
    for (const char* key :
         {"save", "text", "color", "size", "effect0", "effect1", "effect2", "effect3"})
        values << QString::fromLatin1(key) + QLatin1Char('=') + h.get("Preview", key);
    return values;
}
} // namespace

TEST(Preview, MenuChoicesChangeBothLayersAndStoreOnlyWhileSavingIsOn) {
    MainWindowHarness h;
    h.set("Preview", "effect0", QString());
    frmfont& w = h.start();
    w.Command1_Click();
    w.List1->setCurrentRow(0);

    w.sbig_Click();
    EXPECT_EQ(w.Label2->pointSize(), 14);
    EXPECT_EQ(w.Label6->pointSize(), 14);
    EXPECT_EQ(w.presize, 14);
    EXPECT_EQ(h.get("Preview", "size"), QStringLiteral("14"));
    EXPECT_TRUE(testenv::readFile(h.config()).contains("size= 14\r\n"));

    w.fcred_Click();
    EXPECT_EQ(w.Label2->color(), QColor(255, 0, 0));
    EXPECT_EQ(w.Label6->color(), QColor(192, 192, 192)); // the shadow keeps its grey
    EXPECT_TRUE(testenv::readFile(h.config()).contains("color= 255\r\n"));
    w.fcblack_Click();
    EXPECT_EQ(w.Label2->color(), QApplication::palette().color(QPalette::ButtonText));
    EXPECT_TRUE(testenv::readFile(h.config()).contains("color=-2147483630\r\n"));

    w.yyz_Click();
    EXPECT_FALSE(w.Label6->isHidden());
    EXPECT_TRUE(w.yyz->isChecked());
    w.jc_Click();
    EXPECT_TRUE(w.Label2->bold());
    EXPECT_TRUE(w.Label6->bold());
    w.xt_Click();
    w.xhx_Click();
    EXPECT_TRUE(w.Label2->italic() && w.Label6->italic());
    EXPECT_TRUE(w.Label2->underline() && w.Label6->underline());
    w.yyz_Click();
    EXPECT_TRUE(w.Label6->isHidden());
    EXPECT_FALSE(w.yyz->isChecked());
    EXPECT_TRUE(testenv::readFile(h.config()).contains("effect0= 0\r\n"));
    EXPECT_EQ(previewKeys(h), (QStringList{"save=1", "text=", "color=-2147483630", "size=14",
                                           "effect0=0", "effect1=1", "effect2=1", "effect3=1"}));

    // Storing off: written save="0" and nothing else afterwards.
    w.mnupresave_Click();
    EXPECT_FALSE(w.mnupresave->isChecked());
    const QByteArray frozen = testenv::readFile(h.config());
    EXPECT_TRUE(frozen.contains("save=0\r\n"));
    w.ssmall_Click();
    w.fcgreen_Click();
    w.jc_Click();
    w.yyz_Click();
    h.p.dialogs.inputs.push_back(QStringLiteral("不存"));
    w.ylwzzdy_Click();
    EXPECT_EQ(testenv::readFile(h.config()), frozen);
    EXPECT_EQ(w.Label2->pointSize(), 10);
    EXPECT_EQ(w.Label2->color(), QColor(0, 255, 0));
    // Storing on again writes save="1" but not the current settings.
    w.mnupresave_Click();
    EXPECT_EQ(h.get("Preview", "save"), QStringLiteral("1"));
    EXPECT_EQ(h.get("Preview", "size"), QStringLiteral("14"));
}

TEST(Preview, CustomColourAndTextFollowTheirDialogs) {
    MainWindowHarness h;
    frmfont& w = h.start();
    h.p.dialogs.colors.push_back(QColor(1, 2, 3));
    w.zdy_Click();
    EXPECT_EQ(w.Label2->color(), QColor(1, 2, 3));
    EXPECT_EQ(h.get("Preview", "color"), QString::number(1 + 2 * 256 + 3 * 65536));
    w.zdy_Click(); // cancelled: the colour stays
    EXPECT_EQ(w.Label2->color(), QColor(1, 2, 3));

    // An empty answer is refused and the question comes back with the previous text.
    w.Label2->setText(QStringLiteral("旧文字"));
    h.p.dialogs.inputs = {QString(), QString(), QStringLiteral("新文字")};
    h.p.dialogs.clear();
    w.ylwzzdy_Click();
    ASSERT_EQ(h.p.dialogs.shown.size(), 5);
    for (int i : {0, 2, 4}) {
        EXPECT_EQ(h.p.dialogs.shown[i].kind, QStringLiteral("input"));
        EXPECT_EQ(h.p.dialogs.shown[i].text, QStringLiteral("请输入需要显示的预览文字："));
        EXPECT_EQ(h.p.dialogs.shown[i].title, QStringLiteral("自定义预览文字"));
        EXPECT_EQ(h.p.dialogs.shown[i].defaultText, QStringLiteral("旧文字"));
    }
    for (int i : {1, 3}) {
        EXPECT_EQ(h.p.dialogs.shown[i].text, QStringLiteral("未输入自定义文字"));
        EXPECT_EQ(h.p.dialogs.shown[i].title, QStringLiteral("系统提示"));
    }
    EXPECT_EQ(w.Label2->text(), QStringLiteral("新文字"));
    EXPECT_EQ(w.Label6->text(), QStringLiteral("新文字"));
    EXPECT_EQ(h.get("Preview", "text"), QStringLiteral("新文字"));

    w.setLanguage(QStringLiteral("e"));
    h.p.dialogs.inputs = {QString(), QStringLiteral("x")};
    h.p.dialogs.clear();
    w.ylwzzdy_Click();
    EXPECT_EQ(h.p.dialogs.shown[0].text, QStringLiteral("Please type in what to preview："));
    EXPECT_EQ(h.p.dialogs.shown[0].title, QStringLiteral("Custom Preview Text..."));
    EXPECT_EQ(h.p.dialogs.shown[1].text, QStringLiteral("No type in !"));
    EXPECT_EQ(h.p.dialogs.shown[1].title, QStringLiteral("Tips"));
}

TEST(Preview, LoadSettingsAppliesTheStoredValuesInOrder) {
    MainWindowHarness h;
    testenv::writeFile(
        h.config(), codepage::encode(QStringLiteral(
                        "[Preview]\r\nsave=0\r\ntext=Hello 你好\r\ncolor=16711680\r\nsize= 18\r\n"
                        "effect0=1\r\neffect1=1\r\neffect2=0\r\neffect3= 1\r\n"
                        "[Link]\r\nmnupop=0\r\npopwindow= 1\r\nmctext=scroll\r\n"
                        "[Update]\r\nauto=0\r\n")));
    frmfont& w = h.start();
    EXPECT_FALSE(w.mnupresave->isChecked());
    EXPECT_EQ(w.Label2->text(), QStringLiteral("Hello 你好"));
    EXPECT_EQ(w.Label6->text(), QStringLiteral("Hello 你好"));
    EXPECT_EQ(w.Label2->color(), QColor(0, 0, 255));
    EXPECT_EQ(w.Label2->pointSize(), 18);
    EXPECT_TRUE(w.yyz->isChecked());
    EXPECT_FALSE(w.Label6->isHidden());
    EXPECT_TRUE(w.jc->isChecked());
    EXPECT_TRUE(w.Label2->bold());
    EXPECT_FALSE(w.xt->isChecked());
    EXPECT_TRUE(w.xhx->isChecked());
    EXPECT_FALSE(w.mnupop->isEnabled());
    EXPECT_TRUE(w.mnupop->isChecked());
    EXPECT_FALSE(w.mnuautocheck->isChecked());
    // Storing was off, so loading wrote nothing back.
    EXPECT_EQ(h.get("Preview", "effect1"), QStringLiteral("1"));
    EXPECT_FALSE(testenv::readFile(h.config()).contains("effect1= 1"));

    // A size of 0, or none, shows 12 points; a stored black is the button-text colour.
    MainWindowHarness zero;
    testenv::writeFile(zero.config(),
                       "[Preview]\r\nsave=1\r\nsize=0\r\ncolor=-2147483630\r\neffect1=1\r\n");
    frmfont& z = zero.start();
    EXPECT_EQ(z.Label2->pointSize(), 12);
    EXPECT_EQ(z.Label2->color(), QApplication::palette().color(QPalette::ButtonText));
    // With storing on, switching bold on at load stores it again in the number form.
    EXPECT_TRUE(testenv::readFile(zero.config()).contains("effect1= 1\r\n"));
}

TEST(Preview, DrawsMissingCharactersInTheFallbackFaceOnly) {
    MainWindowHarness h;
    frmfont& w = h.start();
    PreviewText::setFallbackFamilies(QStringLiteral("DejaVu Sans"), QStringLiteral("DejaVu Sans"));
    w.Command1_Click();
    w.List1->setCurrentRow(entries(w.List1).indexOf(QStringLiteral("DejaVu Sans Mono")));
    w.Label2->setText(QStringLiteral("Ab\u0416\u05D0")); // Hebrew alef: in DejaVu Sans only
    const QStringList faces = w.Label2->facesOfCharacters();
    ASSERT_EQ(faces.size(), 4);
    EXPECT_EQ(faces[0], QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(faces[1], QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(faces[2], QStringLiteral("DejaVu Sans Mono")); // Cyrillic is in the face
    EXPECT_EQ(faces[3], QStringLiteral("DejaVu Sans"));      // alef is not
    w.grab();                                                // painting a mixed line must not fail
}

TEST(Preview, BoldAndItalicComeFromTheFamilysOwnFaces) {
    // DejaVu Serif in its four faces, installed during the run: the toolkit knows it only from
    // the files handed to it when it is first drawn.
    const QStringList files{
        QStringLiteral("DejaVuSerif.ttf"), QStringLiteral("DejaVuSerif-Bold.ttf"),
        QStringLiteral("DejaVuSerif-Italic.ttf"), QStringLiteral("DejaVuSerif-BoldItalic.ttf")};
    for (const QString& file : files)
        ASSERT_TRUE(QFile::copy(QStringLiteral(VL_DEJAVU_DIR "/") + file,
                                testenv::userFontsFolder() + QLatin1Char('/') + file));
    MainWindowHarness h;
    frmfont& w = h.start();
    w.ref_Click();
    w.Command1_Click();
    const QString serif = QStringLiteral("DejaVu Serif");
    w.List1->setCurrentRow(entries(w.List1).indexOf(serif));
    ASSERT_EQ(w.Label2->family(), serif);
    ASSERT_FALSE(w.Label2->bold() || w.Label2->italic());
    w.Label2->setText(QStringLiteral("Abc"));

    // Each style from its own file, as the file names it, not made up from the regular face.
    const auto styleOf = [](const QString& file) {
        return QRawFont(testenv::userFontsFolder() + QLatin1Char('/') + file, 12).styleName();
    };
    const auto drawnFrom = [&] {
        EXPECT_EQ(w.Label2->drawnFamily(), serif);
        return w.Label2->drawnStyle();
    };
    ASSERT_EQ(
        QSet<QString>({styleOf(files[0]), styleOf(files[1]), styleOf(files[2]), styleOf(files[3])})
            .size(),
        4);
    EXPECT_EQ(drawnFrom(), styleOf(files[0]));
    w.jc_Click();
    EXPECT_EQ(drawnFrom(), styleOf(files[1]));
    w.xt_Click();
    EXPECT_EQ(drawnFrom(), styleOf(files[3]));
    w.jc_Click();
    EXPECT_EQ(drawnFrom(), styleOf(files[2]));
    w.xt_Click();
    for (const QString& file : files)
        QFile::remove(testenv::userFontsFolder() + QLatin1Char('/') + file);
    w.ref_Click();
}
