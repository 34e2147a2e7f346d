// The copy page's progress bar, drawn by hand into a plain static control:
// a blue done part growing from the left over a black rest, with the bare
// percentage in white in the middle. One bar at a time.
#pragma once

#include <windows.h>

// Binds the bar to control with total steps (total >= 1). Draws nothing.
void ProgressInit(HWND control, int total);
// Advances by one step and draws the bar.
void ProgressStep();
// Releases the drawing resources and lets the control repaint itself black.
void ProgressDone();
