#include "payload/entry_install.h"

#include <cstring>

#include "payload/archive_entry.h"
#include "payload/entry_name.h"
#include "payload/whole_file.h"
#include "shell/dir_ops.h"
#include "shell/path_text.h"
#include "shell/product.h"

namespace {

// Opens, writes and closes the destination; every step must succeed.
EntryOutcome WriteDestination(const char *path, const void *data, uint32_t size)
{
  switch (WriteWholeFile(path, data, size)) {
    case WholeFileWritten:
      return EntryInstalled;
    case WholeFileNotCreated:
      return EntryNotCreated;
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

  if (header.dataSize == 0) {
    return WriteDestination(destination, nullptr, 0);
  }
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, header.dataSize);
  if (block == nullptr) {
    return EntryNoMemory;
  }
  void *data = GlobalLock(block);
  EntryOutcome outcome = EntryNoMemory;
  if (data != nullptr) {
    if (!ReadEntryData(&source, data, header.dataSize)) {
      outcome = EntryTruncated;
    } else {
      outcome = WriteDestination(destination, data, header.dataSize);
    }
    GlobalUnlock(block);
  }
  GlobalFree(block);
  return outcome;
}
