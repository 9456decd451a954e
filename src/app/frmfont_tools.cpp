// The main window's ancillary tools: magnifier and keyboard to fonts. Visible and inactive
// until the tool windows exist.
#include "app/frmfont.h"

void frmfont::fdj_Click() {}
void frmfont::jwdy_Click() {}
void frmfont::Timerfdj_Timer() { Timerfdj.stop(); }
