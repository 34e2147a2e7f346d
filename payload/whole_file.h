// Copies an entry's bytes block by block into whatever takes them, and
// says whether all of them arrived.
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/archive_entry.h"

enum WholeFileResult {
  WholeFileWritten = 0,
  WholeFileNotCreated,   // the file could not be created (or, new, it exists)
  WholeFileShort,        // fewer bytes written than asked, or the close failed
  WholeFileSourceShort,  // the source ended before size bytes
};

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
