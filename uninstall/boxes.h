// The uninstaller's message boxes: standard ones, all with the caption of
// uninstall_texts.h, so that any program can read and answer them.
// With /S there are none.
#pragma once

#include <windows.h>

void SetBoxesSilent(bool silent);

// An OK box with the given icon (MB_ICONINFORMATION ...).
void ShowUninstallBox(const char *text, UINT icon);

// The question before anything is removed; true for Yes (and when silent).
bool AskToRemove();
