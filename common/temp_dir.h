// Choice of a temporary directory (the copy page's, and the folder the
// uninstaller runs from) from what GetTempPathA reported, with the start-up
// directory as the fallback, and of the folder that a private work folder
// goes into. Plain C++ with no Windows header, so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

enum TempDirChoice {
  TempDirFromSystem = 0,  // the system's temporary path
  TempDirFromStartDir,    // the start-up directory
  TempDirUnusable,        // neither: the fallback did not fit; tempDir is empty
};

// tempDir (tempDirSize bytes) holds what GetTempPathA wrote, and
// tempPathResult is what it returned: the length written, 0 on failure, or
// the size it would need when the buffer was too small (then nothing usable
// was written). On failure startDir is copied in, but only when it fits
// whole. Then one trailing "\" is removed (C:\ becomes C:; an empty
// directory stays empty).
TempDirChoice SettleTempDir(char *tempDir, size_t tempDirSize, uint32_t tempPathResult,
                            const char *startDir);

// The folder a private work folder goes into. An elevated process uses
// systemWindowsDir\Temp, never tempDir: the user's temporary directory is
// named in HKCU\Environment, which any unelevated program of the same user
// may change, to point setup's files into a folder of its choice. Otherwise
// tempDir, as SettleTempDir left it. Written into out (size bytes) only when
// the folder is known (not empty) and fits; false, out unchanged, otherwise.
bool ChooseWorkParent(char *out, size_t size, bool elevated, const char *systemWindowsDir,
                      const char *tempDir);
