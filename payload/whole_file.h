// Writes a file in one go and says whether all of it reached the disk.
#pragma once

#include <cstdint>

enum WholeFileResult {
  WholeFileWritten = 0,
  WholeFileNotCreated,  // fopen "wb" failed: read-only file, a directory, no parent
  WholeFileShort,       // fewer bytes written than asked, or the close failed
};

// Creates (or truncates) path and writes size bytes of data (none for size
// 0: an empty file). A full disk shows as WholeFileShort, whether the
// write or the final flush in fclose runs out of room.
WholeFileResult WriteWholeFile(const char *path, const void *data, uint32_t size);
