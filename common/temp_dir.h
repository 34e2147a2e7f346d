// Choice of a temporary directory (the copy page's, and the folder the
// uninstaller runs from) from what GetTempPathA reported, with the start-up
// directory as the fallback.
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
