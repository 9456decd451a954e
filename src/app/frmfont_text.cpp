// The main window's way to the families that can write a text, and back.
#include "app/controls/FontListView.h"
#include "app/frmfont.h"
#include "catalogue/FontsForText.h"

void frmfont::findFontsForText_Click() {
    // Loaded once; "返回" only hides it, so its text and language stay.
    if (!fontsForText_)
        fontsForText_ = new FontsForText(*this);
    fontsForText_->open();
    hide();
}

void frmfont::showFamilyInList(const QString& family) {
    show();
    raise();
    activateWindow();
    if (!listShown())
        Command1_Click();
    const int row = int(listedFamilies_.indexOf(family));
    if (row < 0)
        return;
    // Selecting the entry previews it, as a click does.
    List1->setCurrentRow(row);
    List1->scrollTo(List1->currentIndex(), QAbstractItemView::PositionAtCenter);
    List1->setFocus();
}
