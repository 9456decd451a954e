// The main window's HTML export command.
#include "app/frmfont.h"
#include "export/frmhtml.h"

void frmfont::mnuouthtml_Click() {
    // The main window stays visible. A window already open comes to the front; a new one takes
    // the stored values again.
    if (!frmhtml_)
        frmhtml_ = new frmhtml(*this);
    frmhtml_->show();
    frmhtml_->raise();
    frmhtml_->activateWindow();
}
