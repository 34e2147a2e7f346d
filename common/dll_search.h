// Where DLLs loaded by name may come from. Setup runs elevated, usually
// straight from a downloads folder that any program of the user can write,
// and Windows looks for a DLL in the program's own folder first: a DLL
// planted there would run with setup's rights.
#pragma once

// Restricts the DLL search to the system directory with
// SetDefaultDllDirectories (looked up at run time: Windows Vista and 7 lack
// it without the 2011 update that added it). Without it, no weaker search is
// trusted: the current directory is taken out of the search
// (SetDllDirectoryA("")), lacksUpdateText is shown in one error box with
// caption (no box when it is null: a silent run), and false returned; the
// caller then ends at once, having loaded nothing. The first call of every
// WinMain.
bool RestrictDllSearch(const char *lacksUpdateText, const char *caption);
