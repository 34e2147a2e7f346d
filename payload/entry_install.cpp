#include "payload/entry_install.h"

#include <cstring>

#include "payload/archive_entry.h"
#include "payload/entry_name.h"
#include "payload/whole_file.h"
#include "shell/state.h"

namespace {

// Creates installDir + "\" + every leading part of name that ends before a
// "\", outermost first. False when one of them would not fit the 260-byte
// directory buffer.
bool CreateParentDirs(const char *installDir, const char *name)
{
  char directory[ShortPathSize];
  size_t length = std::strlen(name);
  for (size_t p = 1; p < length; ++p) {
    if (name[p] != '\\') {
      continue;
    }
    if (!JoinPath(directory, sizeof directory, installDir, name, p)) {
      return false;
    }
    CreateDir(directory);
  }
  return true;
}

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
  if (!JoinPath(destination, sizeof destination, installDir, header.name,
                std::strlen(header.name))) {
    return EntryPathTooLong;
  }
  if (!CreateParentDirs(installDir, header.name)) {
    return EntryPathTooLong;
  }
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
