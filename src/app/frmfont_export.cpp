// The main window's HTML export command. Visible and inactive until the export window exists.
#include "app/frmfont.h"

void frmfont::mnuouthtml_Click() {}
