// The main window's installation commands: install windows, search, delete, fonts folder and
// font information. The windows behind them arrive with the installation work; until then the
// items are visible and do nothing.
#include "app/frmfont.h"

void frmfont::fromwenjian_Click() {}
void frmfont::fromexe_Click() {}
void frmfont::searchfonts_Click() {}
void frmfont::delfont_Click() {}
void frmfont::delcfont_Click() {}
void frmfont::ztml_Click() {}
void frmfont::infor_Click() {}
void frmfont::ztxx_Click() {}
void frmfont::openSetupfonWithPath(const QString&) {}
