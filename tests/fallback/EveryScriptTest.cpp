// Text in a script the interface faces lack is drawn in the installed font that has it, not as
// boxes: list rows, a message's label and the preview line.
#include "../app/MainWindowHarness.h"
#include "ListEntries.h"
#include "ShownWindows.h"
#include "TestEnvironment.h"
#include "app/InterfaceFonts.h"
#include "catalogue/PreviewText.h"
#include "install/SearchResults.h"
#include "install/searchfont.h"
#include "platform/QtDialogs.h"

#include <QFile>
#include <QFontDatabase>
#include <QGlyphRun>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

// "कमल": its letters are in Kamal.ttf only (DejaVu has no Devanagari), each a solid block.
const QString kamal = QStringLiteral("\u0915\u092E\u0932");
// Three letters no installed font has.
const QString missing = QStringLiteral("\u0B95\u0B99\u0B9A");

// Installed among the system's fonts before main() shows the toolkit its faces, as fonts the
// user had installed before starting the program: Kamal, and Quill Sans, whose letters (ASCII)
// the interface face has too.
const QString quill = QStringLiteral("Quill Sans");
const bool kamalInstalled = [] {
    testenv::setUp();
    bool copied = true;
    for (const QString& file : {QStringLiteral("Kamal.ttf"), QStringLiteral("QuillSans.ttf")})
        copied = QFile::copy(testenv::testFont(file),
                             testenv::systemFontsFolder() + QLatin1Char('/') + file) &&
                 copied;
    return copied;
}();

// The families of the faces the toolkit draws text in with a font, run by run.
QStringList facesDrawing(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        // The toolkit's boxes, drawn where no face has a character, have no font tables
        // (and no family: asking theirs crashes).
        const QRawFont face = run.rawFont();
        faces.append(face.fontTable("name").isEmpty() ? QString() : face.familyName());
    }
    return faces;
}

// The dark pixels of a widget's area drawn on white: a solid block leaves many more than the
// outline of a box.
int ink(QWidget* widget, QRect area = {}) {
    area = area.isNull() ? widget->rect() : area;
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    widget->render(&image, {}, area);
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

} // namespace

TEST(EveryScript, TheToolkitIsShownTheFacesAddingCharactersAndTheFamiliesDrawn) {
    ASSERT_TRUE(kamalInstalled);
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    ASSERT_EQ(entries(w.List1).size(), 4); // DejaVu Sans, its Mono, Kamal, Quill Sans (黑曜体)
    // The list comes from fontconfig itself; the toolkit has not read the fonts behind it,
    // only the interface face and the faces holding characters it lacks.
    EXPECT_TRUE(QFontDatabase::families().contains(kamal));
    EXPECT_FALSE(QFontDatabase::families().contains(quill));
    // A family is handed to the toolkit when it is drawn.
    w.List1->setCurrentRow(entries(w.List1).indexOf(QStringLiteral("黑曜体")));
    w.Label2->setText(QStringLiteral("Abc"));
    EXPECT_EQ(w.Label2->drawnFamily(), quill);
    EXPECT_TRUE(QFontDatabase::families().contains(quill));
}

TEST(EveryScript, AFontOfANewScriptInstalledByAnyoneIsDrawnAfterARefresh) {
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    const QString ruam = QStringLiteral("\u0E23\u0E27\u0E21");
    const QString file = testenv::userFontsFolder() + QStringLiteral("/Ruam.ttf");
    ASSERT_TRUE(QFile::copy(testenv::testFont(QStringLiteral("Ruam.ttf")), file));
    w.ref_Click();
    ASSERT_TRUE(entries(w.List1).contains(ruam));
    EXPECT_EQ(facesDrawing(ruam, w.List1->font()), QStringList{ruam});
    QFile::remove(file);
    w.ref_Click();
}

TEST(EveryScript, SearchRowsAndMessagesDrawLettersOnlyOneInstalledFontHas) {
    ASSERT_TRUE(kamalInstalled);
    const QString folder = testenv::newFolder(QStringLiteral("scripts"));
    const QString named = testenv::writeFile(folder + QLatin1Char('/') + kamal + ".ttf", "x");
    const QString boxes = testenv::writeFile(folder + QLatin1Char('/') + missing + ".ttf", "x");

    applyInterfaceFonts();
    QtDialogs dialogs;
    MainWindowHarness h;
    h.dialogs = &dialogs;
    frmfont& w = h.start();
    w.searchfonts_Click();
    searchfont* s = w.findChild<searchfont*>();
    ASSERT_NE(s, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(s));
    s->setFolder(folder);
    shown::answerNextDialog(); // the completion message
    QTest::mouseClick(s->Command1, Qt::LeftButton);
    const QModelIndex namedRow = s->results()->index(s->results()->entries().indexOf(named));
    const QModelIndex boxesRow = s->results()->index(s->results()->entries().indexOf(boxes));
    ASSERT_TRUE(namedRow.isValid() && boxesRow.isValid());

    // The row draws the letters in the one face that has them, as its blocks, not as the boxes
    // of a row of letters no font has; so does the message that shows the path whole.
    EXPECT_TRUE(facesDrawing(named, s->List1->font()).contains(kamal));
    QWidget* rows = s->List1->viewport();
    EXPECT_GT(ink(rows, s->List1->visualRect(namedRow)),
              ink(rows, s->List1->visualRect(boxesRow)) + 40);
    const auto messageInk = [s](const QModelIndex& row) {
        s->List1->setCurrentIndex(row);
        int dark = 0;
        shown::answerNextDialog([&](QWidget* box) {
            for (QLabel* label : box->findChildren<QLabel*>())
                if (label->text().contains(QStringLiteral(".ttf")))
                    dark = ink(label);
        });
        s->ljxx_Click();
        return dark;
    };
    EXPECT_GT(messageInk(namedRow), messageInk(boxesRow) + 40);
}

TEST(EveryScript, ThePreviewLineDrawsLettersOnlyOneInstalledFontHas) {
    ASSERT_TRUE(kamalInstalled);
    applyInterfaceFonts();
    MainWindowHarness h;
    frmfont& w = h.start();
    w.Command1_Click();
    // The family is listed by its own name (drawn as the search rows are).
    ASSERT_TRUE(entries(w.List1).contains(kamal));

    // A Latin family previewed with Devanagari text: its own letters in its face, the
    // Devanagari from the only face that has it, though neither fallback face of the preview
    // has it.
    const QString mono = QStringLiteral("DejaVu Sans Mono");
    w.List1->setCurrentRow(entries(w.List1).indexOf(mono));
    w.Label2->setText(QStringLiteral("Ab ") + kamal);
    EXPECT_EQ(w.Label2->facesOfCharacters(), (QStringList{mono, mono, mono, kamal, kamal, kamal}));
    const int drawn = ink(w.Label2);
    w.Label2->setText(QStringLiteral("Ab ") + missing);
    EXPECT_GT(drawn, ink(w.Label2) + 40);
}
