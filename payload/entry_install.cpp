#include "payload/entry_install.h"

#include <cstdint>
#include <cstring>

#include "payload/archive_entry.h"
#include "payload/destination_walk.h"
#include "payload/entry_name.h"
#include "payload/whole_file.h"
#include "setup_common/dir_ops.h"
#include "common/held_file.h"
#include "common/path_text.h"
#include "common/product.h"
#include "common/random_bits.h"

namespace {

// Every entry goes through this one block, whatever its size: memory stays
// flat, and a large block keeps the read and write calls few.
constexpr size_t EntryCopyBlockSize = 256 * 1024;
unsigned char EntryCopyBlock[EntryCopyBlockSize];

// Names tried for an entry's part file before giving up.
constexpr int PartFileAttempts = 16;

bool WriteToHandle(void *context, const void *data, size_t size)
{
  DWORD written = 0;
  return WriteFile(static_cast<HANDLE>(context), data, static_cast<DWORD>(size), &written,
                   nullptr) &&
         written == size;
}

// Creates a new part file beside destination, under a name no other program
// can guess, marked for deletion from the start: whatever ends the process
// before the entry is complete, the file goes with the last handle. A name
// that exists (a file, a folder, a link) is neither opened nor deleted:
// another is tried. INVALID_HANDLE_VALUE when none could be made.
HANDLE CreatePartFile(const char *destination, char *part, size_t partSize)
{
  for (int attempt = 0; attempt < PartFileAttempts; ++attempt) {
    uint64_t bits = 0;
    if (!RandomBits64(&bits) || !FormatPartPath(part, partSize, destination, bits))
      return INVALID_HANDLE_VALUE;
    HANDLE file = CreateFileA(part, GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      // The delete disposition rather than FILE_FLAG_DELETE_ON_CLOSE: that
      // flag cannot be taken back before Windows 10 (nor under Wine), so
      // the file renamed into place would still go at the close.
      if (SetDeleteDisposition(file, true))
        return file;
      CloseHandle(file);
      return INVALID_HANDLE_VALUE;
    }
    DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS && error != ERROR_ACCESS_DENIED)
      return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes the entry's data to a part file beside the destination and puts it
// in the destination's place, through the same handle, only once all of it
// is written: a file of an earlier installation stays whole when the disk
// fills up or the archive ends early, and no cut file is ever left under a
// real name. A part file that is not kept goes when its handle closes.
EntryOutcome InstallThroughPartFile(const char *destination, const ByteSource *source,
                                    uint32_t size)
{
  char part[PathBufferSize];
  HANDLE file = CreatePartFile(destination, part, sizeof(part));
  if (file == INVALID_HANDLE_VALUE)
    return EntryNotCreated;
  ByteSink sink = {file, WriteToHandle};
  EntryOutcome outcome = EntryInstalled;
  switch (CopyThrough(&sink, source, size, EntryCopyBlock, sizeof(EntryCopyBlock))) {
    case WholeFileWritten:
      if (!SetDeleteDisposition(file, false) || !RenameHeldFile(file, destination, true)) {
        // A read-only or running file, or a folder, under the destination's
        // name: the part file goes.
        SetDeleteDisposition(file, true);
        outcome = EntryNotCreated;
      }
      break;
    case WholeFileNotCreated:
    case WholeFileShort:
      outcome = EntryWriteFailed;
      break;
    case WholeFileSourceShort:
      outcome = EntryTruncated;
      break;
  }
  if (!CloseHandle(file) && outcome == EntryInstalled)
    outcome = EntryWriteFailed;
  return outcome;
}

}  // namespace

EntryOutcome InstallArchiveEntry(FILE *archive, const char *installDir,
                                 const EntryAnnouncer *announcer)
{
  ByteSource source = MakeFileSource(archive);
  EntryHeader header;
  if (ReadEntryHeader(&source, &header) != EntryHeaderRead)
    return EntryTruncated;
  if (CheckInstallName(header.name) != NameAccepted)
    return EntryBadName;
  char destination[PathBufferSize];
  if (!JoinPath(destination, sizeof(destination), installDir, header.name))
    return EntryPathTooLong;
  // The folders below installDir, outermost first; they may exist already.
  MadeDirs made;
  MakeParentDirs(destination, std::strlen(installDir), SystemDirOps, &made);
  announcer->announce(announcer->context, destination);

  return InstallThroughPartFile(destination, &source, header.dataSize);
}
