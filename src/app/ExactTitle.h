#pragma once

class QWidget;

// Keeps the title the window system carries for a window exactly its caption, an empty one
// included: Qt puts the program's name in the title bar in place of an empty caption, while
// an empty configured caption means an empty title bar.
void keepExactTitle(QWidget* window);
