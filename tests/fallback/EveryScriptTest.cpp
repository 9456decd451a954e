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
#include <QFileInfo>
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

// Installed among the system's fonts before main() shows the toolkit its faces, as a font the
// user had installed before starting the program.
const bool kamalInstalled = [] {
    testenv::setUp();
    return QFile::copy(testenv::testFont(QStringLiteral("Kamal.ttf")),
                       testenv::systemFontsFolder() + QStringLiteral("/Kamal.ttf"));
}();

// The families of the faces the toolkit draws text in with a font, run by run, and whether
// every glyph is a real one (not the missing-glyph box of glyph 0).
QStringList facesDrawing(const QString& text, const QFont& font, bool* allFound = nullptr) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList faces;
    bool found = true;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        // The toolkit's boxes, drawn where no face has a character, have no font tables
        // (and no family: asking theirs crashes).
        const QRawFont face = run.rawFont();
        faces.append(face.fontTable("name").isEmpty() ? QString() : face.familyName());
        for (quint32 glyph : run.glyphIndexes())
            found = found && glyph != 0;
    }
    if (allFound)
        *allFound = found;
    return faces;
}

// The dark pixels of an image: a solid block leaves many more than the outline of a box.
int ink(const QImage& image) {
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 128;
    return dark;
}

} // namespace

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
    const int namedRow = int(s->results()->entries().indexOf(named));
    const int boxesRow = int(s->results()->entries().indexOf(boxes));
    ASSERT_GE(namedRow, 0);
    ASSERT_GE(boxesRow, 0);

    // The row draws the letters in the one face that has them, and they show as its blocks,
    // not as the boxes a row of letters no font has shows.
    bool allFound = false;
    EXPECT_TRUE(facesDrawing(named, s->List1->font(), &allFound).contains(kamal));
    EXPECT_TRUE(allFound);
    const auto rowImage = [s](int row) {
        const QRect rect = s->List1->visualRect(s->results()->index(row));
        return s->List1->viewport()->grab(rect).toImage();
    };
    EXPECT_GT(ink(rowImage(namedRow)), ink(rowImage(boxesRow)) + 40);

    // So does the label of the message that shows a path whole.
    const auto shownLabel = [&](int row) {
        s->List1->setCurrentIndex(s->results()->index(row));
        QImage image;
        QStringList faces;
        shown::answerNextDialog([&](QWidget* box) {
            for (QLabel* label : box->findChildren<QLabel*>()) {
                if (!label->text().contains(QFileInfo(s->results()->entry(row)).fileName()))
                    continue;
                faces = facesDrawing(label->text(), label->font());
                image = label->grab().toImage();
            }
        });
        s->ljxx_Click();
        return std::pair{faces, image};
    };
    const auto [namedFaces, namedImage] = shownLabel(namedRow);
    const auto [boxesFaces, boxesImage] = shownLabel(boxesRow);
    EXPECT_TRUE(namedFaces.contains(kamal)) << namedFaces.join(',').toStdString();
    EXPECT_FALSE(boxesFaces.contains(kamal));
    EXPECT_GT(ink(namedImage), ink(boxesImage) + 40);
}

TEST(EveryScript, TheFontListAndThePreviewLineDrawLettersOnlyOneInstalledFontHas) {
    ASSERT_TRUE(kamalInstalled);
    applyInterfaceFonts();
    MainWindowHarness h;
    frmfont& w = h.start();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.Command1_Click();

    // The family's own name in the list, drawn in the interface font, which lacks it.
    const int row = entries(w.List1).indexOf(kamal);
    ASSERT_GE(row, 0);
    bool allFound = false;
    EXPECT_EQ(facesDrawing(kamal, w.List1->font(), &allFound), QStringList{kamal});
    EXPECT_TRUE(allFound);
    // Its row shows the family's blocks, not the boxes of a name no font has.
    const QStringList listed = entries(w.List1);
    const auto rowInk = [&w, row] {
        const QModelIndex index = w.List1->model()->index(row, 0);
        w.List1->scrollTo(index);
        return ink(w.List1->viewport()->grab(w.List1->visualRect(index)).toImage());
    };
    const int named = rowInk();
    QStringList unknown = listed;
    unknown[row] = missing;
    w.List1->setEntries(unknown);
    EXPECT_GT(named, rowInk() + 40);
    w.List1->setEntries(listed);

    // A Latin family previewed with Devanagari text: its own letters in its face, the
    // Devanagari from the only face that has it, though neither fallback face of the preview
    // has it.
    w.List1->setCurrentRow(entries(w.List1).indexOf(QStringLiteral("DejaVu Sans Mono")));
    w.Label2->setText(QStringLiteral("Ab ") + kamal);
    const QStringList faces = w.Label2->facesOfCharacters();
    const QString mono = QStringLiteral("DejaVu Sans Mono");
    EXPECT_EQ(faces, (QStringList{mono, mono, mono, kamal, kamal, kamal}));
    // The line has no background of its own: drawn on white, as over the window.
    const auto lineInk = [&w] {
        QImage image(w.Label2->size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        w.Label2->render(&image);
        return ink(image);
    };
    const int drawn = lineInk();
    w.Label2->setText(QStringLiteral("Ab ") + missing);
    EXPECT_GT(drawn, lineInk() + 40);
}
