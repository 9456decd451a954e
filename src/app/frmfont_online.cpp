// The main window's online commands: About, links and mail, the update check, the notice board
// and the dial-up window. Visible and inactive until the online windows exist.
#include "app/frmfont.h"

void frmfont::loadDialup() {}
void frmfont::Command2_Click() {}
void frmfont::aboutme_Click() {}
void frmfont::shellardeno_Click() {}
void frmfont::emtome_Click() {}
void frmfont::bugemail_Click() {}
void frmfont::mnupop_Click() {}
void frmfont::mnuautocheck_Click() {}
void frmfont::mnucheck_Click() {}
void frmfont::gonggao_Click() {}
void frmfont::startAutoCheck() {}
void frmfont::Timer2_Timer() { Timer2.stop(); }
