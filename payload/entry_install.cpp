#include "payload/entry_install.h"

#include <cstring>

#include "payload/archive_entry.h"
#include "payload/entry_name.h"
#include "payload/whole_file.h"
#include "shell/dir_ops.h"
#include "shell/path_text.h"
#include "shell/product.h"

namespace {

// Every entry goes through this one block, whatever its size: memory stays
// flat, and a large block keeps the read and write calls few.
constexpr size_t EntryCopyBlockSize = 256 * 1024;
unsigned char EntryCopyBlock[EntryCopyBlockSize];

// Creates the destination and copies the entry's data into it; every step
// must succeed. A file whose data the archive does not hold in full is
// removed again: nothing is left for such an entry.
EntryOutcome CopyDestination(const char *path, const ByteSource *source, uint32_t size)
{
  switch (CopyWholeFile(path, source, size, EntryCopyBlock, sizeof EntryCopyBlock)) {
    case WholeFileWritten:
      return EntryInstalled;
    case WholeFileNotCreated:
      return EntryNotCreated;
    case WholeFileSourceShort:
      DeleteFileA(path);
      return EntryTruncated;
    case WholeFileShort:
      break;
  }
  return EntryWriteFailed;
}

}  // namespace

EntryOutcome InstallArchiveEntry(FILE *archive, const char *installDir,
                                 const EntryAnnouncer *announcer)
{
  ByteSource source = MakeFileSource(archive);
  EntryHeader header;
  if (ReadEntryHeader(&source, &header) != EntryHeaderRead) {
    return EntryTruncated;
  }
  if (CheckInstallName(header.name) != NameAccepted) {
    return EntryBadName;
  }
  char destination[PathBufferSize];
  if (!JoinPath(destination, sizeof destination, installDir, header.name)) {
    return EntryPathTooLong;
  }
  // Every folder of the entry must fit a directory buffer of ShortPathSize.
  const char *lastSeparator = std::strrchr(header.name, '\\');
  if (lastSeparator != nullptr &&
      std::strlen(installDir) + 1 + static_cast<size_t>(lastSeparator - header.name) >=
          static_cast<size_t>(ShortPathSize)) {
    return EntryPathTooLong;
  }
  // The folders below installDir, outermost first; they may exist already.
  MadeDirs made;
  MakeParentDirs(destination, std::strlen(installDir), SystemDirOps, &made);
  announcer->announce(announcer->context, destination);

  return CopyDestination(destination, &source, header.dataSize);
}
