// Named points of the start-up, from the entry function to the first page.
// The shipped program records nothing at them (shell/startup_marks.cpp);
// a clocked build of the same sources links its own recorder instead, so
// that the time between the points can be measured without touching the
// code that runs between them.
#pragma once

enum StartupMark {
  MarkEntry,       // the entry function began
  MarkCreate,      // the main window's WM_CREATE began
  MarkSnapshot,    // the display has been copied into the picture
  MarkDarkening,   // the picture has been darkened (or given its palette)
  MarkTitle,       // the title has been written into the picture
  MarkFirstPaint,  // the first WM_PAINT of the main window has ended
  StartupMarkCount
};

void MarkStartup(StartupMark mark);
