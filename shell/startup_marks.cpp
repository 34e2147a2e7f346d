// The shipped program's start-up points: nothing is recorded.
#include "shell/startup_marks.h"

void MarkStartup(StartupMark) {}
