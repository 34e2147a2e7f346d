#include "payload/entry_install.h"

#include <cstring>

#include "payload/archive_entry.h"
#include "payload/entry_name.h"
#include "payload/whole_file.h"
#include "common/dir_ops.h"
#include "common/path_text.h"
#include "common/product.h"

namespace {

// Every entry goes through this one block, whatever its size: memory stays
// flat, and a large block keeps the read and write calls few.
constexpr size_t EntryCopyBlockSize = 256 * 1024;
unsigned char EntryCopyBlock[EntryCopyBlockSize];

// The name an entry is written under until all of it is on disk.
const char PartSuffix[] = ".zvpart";

// Writes the entry's data to a file beside the destination and moves it
// over the destination only once all of it is written and closed: a file
// of an earlier installation stays whole when the disk fills up or the
// archive ends early, and no cut file is ever left under a real name. A
// failed entry removes its part file.
EntryOutcome InstallThroughPartFile(const char *destination, const ByteSource *source,
                                    uint32_t size)
{
  char part[PathBufferSize];
  size_t length = CopyCut(part, sizeof part, destination);
  AppendCut(part, sizeof part, &length, PartSuffix);
  if (length >= sizeof part) {
    return EntryPathTooLong;  // cut: it would name another file
  }
  EntryOutcome outcome = EntryWriteFailed;
  switch (CopyWholeFile(part, source, size, EntryCopyBlock, sizeof EntryCopyBlock)) {
    case WholeFileWritten:
      if (MoveFileExA(part, destination, MOVEFILE_REPLACE_EXISTING)) {
        return EntryInstalled;
      }
      // A read-only file or a directory under the destination's name.
      outcome = EntryNotCreated;
      break;
    case WholeFileNotCreated:
      return EntryNotCreated;
    case WholeFileSourceShort:
      outcome = EntryTruncated;
      break;
    case WholeFileShort:
      break;
  }
  DeleteFileA(part);
  return outcome;
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
  // The folders below installDir, outermost first; they may exist already.
  MadeDirs made;
  MakeParentDirs(destination, std::strlen(installDir), SystemDirOps, &made);
  announcer->announce(announcer->context, destination);

  return InstallThroughPartFile(destination, &source, header.dataSize);
}
