// Writes a file in one go and says whether all of it reached the disk.
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/archive_entry.h"

enum WholeFileResult {
  WholeFileWritten = 0,
  WholeFileNotCreated,   // fopen "wb" failed: read-only file, a directory, no parent
  WholeFileShort,        // fewer bytes written than asked, or the close failed
  WholeFileSourceShort,  // the source ended before size bytes
};

// Creates (or truncates) path and writes size bytes of data (none for size
// 0: an empty file). A full disk shows as WholeFileShort, whether the
// write or the final flush in fclose runs out of room.
WholeFileResult WriteWholeFile(const char *path, const void *data, uint32_t size);

// Creates (or truncates) path and copies size bytes from source into it
// through buffer, one block of bufferSize bytes at a time: the memory used
// does not grow with the file. Each full block is one write call. Stops at
// the first block the source cannot fill (WholeFileSourceShort) or the disk
// cannot take (WholeFileShort); the file then stays as far as it got.
WholeFileResult CopyWholeFile(const char *path, const ByteSource *source, uint32_t size,
                              void *buffer, size_t bufferSize);
