#include "tools/OpeningEffect.h"

// Drawn by the tools work; until then the window simply appears.
void playOpeningEffect(QWidget*, int) {}
