// Where DLLs loaded by name may come from. Setup runs elevated, usually
// straight from a downloads folder that any program of the user can write,
// and Windows looks for a DLL in the program's own folder first: a DLL
// planted there would run with setup's rights.
#pragma once

// Restricts the DLL search to the system directory: SetDefaultDllDirectories
// (looked up at run time, older systems lack it), else SetDllDirectoryA("")
// at least takes the current directory out. The first call of every WinMain.
void RestrictDllSearch();
