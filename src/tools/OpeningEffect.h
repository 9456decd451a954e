#pragma once

class QWidget;

// The opening effect: a frame that grows over the window's future place before it shows.
void playOpeningEffect(QWidget* window, int steps);
