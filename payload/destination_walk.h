// Looking at every destination before anything is written: a walk over the
// archive's headers (the data skipped), and the rule that a destination fits
// the path buffers and the platform's path limit and its part file's name
// fits one level of a folder. An install folder near the limit is then
// refused whole, instead of failing in the middle of the copy with earlier
// entries already replaced.
// No Windows header: tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

#include "payload/archive_entry.h"
#include "common/part_file_name.h"

// The part file is made beside the destination, relative to the held
// folder, so only its one-level name has to fit: the file systems hold at
// most 255 characters in one name, and PartNameSize bytes hold that.
inline constexpr size_t PartNameSize = 256;

// The part file of destination (a path or a one-level name) for the 64
// bits given; false, out unchanged, when it does not fit size.
bool FormatPartPath(char *out, size_t size, const char *destination, uint64_t bits);

// Whether installDir + "\" + name fits the destination buffer
// (destinationSize bytes) and the platform's path limit (MaxWindowsPath),
// the part file's one-level name fits PartNameSize, and the entry's folder
// fits a buffer of ShortPathSize.
bool DestinationFits(const char *installDir, const char *name, size_t destinationSize);

// Passes over an entry's data without reading it; false when it cannot.
struct DataSkipper {
  bool (*skip)(void *context, uint32_t size);
  void *context;
};

// Told each destination path in archive order; false stops the walk.
struct DestinationVisitor {
  bool (*visit)(void *context, const char *destination);
  void *context;
};

enum DestinationWalkResult {
  WalkAllFit = 0,          // every entry read fits (and the visitor went on)
  WalkDestinationTooLong,  // an entry's destination does not fit
  WalkStopped,             // the visitor stopped the walk
};

// Reads up to count entry headers from source, skipping each entry's data.
// A header that cannot be read or a name CheckInstallName refuses ends the
// walk as WalkAllFit: the copy itself fails at that entry, after the ones
// before it, as it always did. The first destination that does not fit ends
// it as WalkDestinationTooLong, before the visitor (null: none) hears of it.
DestinationWalkResult WalkDestinations(const ByteSource *source, const DataSkipper *skipper,
                                       int count, const char *installDir,
                                       const DestinationVisitor *visitor);

// WalkDestinations over an archive file from its start; the file is left
// at its start again, for the next walk or the copy.
DestinationWalkResult WalkArchiveFile(FILE *archive, int count, const char *installDir,
                                      const DestinationVisitor *visitor);
