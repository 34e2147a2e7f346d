// Writes a file in one go and says whether all of it reached the disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "payload/archive_entry.h"

enum WholeFileResult {
  WholeFileWritten = 0,
  WholeFileNotCreated,   // the file could not be created (or, new, it exists)
  WholeFileShort,        // fewer bytes written than asked, or the close failed
  WholeFileSourceShort,  // the source ended before size bytes
};

// Opens a file for binary writing that this call creates: it fails when
// anything at all stands at path, a file or a link (dangling or not), so
// nothing that was there before is ever opened or written through.
FILE *CreateNewFile(const char *path);

// Creates path (CreateNewFile) and writes size bytes of data (none for size
// 0: an empty file). A full disk shows as WholeFileShort, whether the
// write or the final flush in fclose runs out of room.
WholeFileResult WriteNewFile(const char *path, const void *data, uint32_t size);

// Anything that takes bytes in order: write returns whether all size bytes
// were taken.
struct ByteSink {
  void *context;
  bool (*write)(void *context, const void *data, size_t size);
};

// Copies size bytes from source into sink through buffer, one block of
// bufferSize bytes at a time: the memory used does not grow with the data.
// Each full block is one write. Stops at the first block the source cannot
// fill (WholeFileSourceShort) or the sink cannot take (WholeFileShort).
WholeFileResult CopyThrough(const ByteSink *sink, const ByteSource *source, uint32_t size,
                            void *buffer, size_t bufferSize);

// Creates (or truncates) path and copies size bytes from source into it
// through buffer, one block of bufferSize bytes at a time: the memory used
// does not grow with the file. Each full block is one write call. Stops at
// the first block the source cannot fill (WholeFileSourceShort) or the disk
// cannot take (WholeFileShort); the file then stays as far as it got.
WholeFileResult CopyWholeFile(const char *path, const ByteSource *source, uint32_t size,
                              void *buffer, size_t bufferSize);
