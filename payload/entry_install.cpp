#include "payload/entry_install.h"

#include <cstdint>
#include <cstring>

#include "payload/archive_entry.h"
#include "payload/destination_walk.h"
#include "payload/entry_name.h"
#include "payload/install_tree.h"
#include "payload/whole_file.h"
#include "common/held_file.h"
#include "common/nt_status.h"
#include "common/path_text.h"
#include "common/product.h"
#include "common/random_bits.h"

namespace {

// Every entry goes through this one block, whatever its size: memory stays
// flat, and a large block keeps the read and write calls few.
constexpr size_t EntryCopyBlockSize = 1024 * 1024;
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

// Creates a new part file beside leaf in the held folder, under a name no
// other program can guess, and marks it for deletion at once: whatever ends
// the process before the entry is complete, the file goes with the last
// handle (and a part file left in the instant before the mark is swept by
// the next setup). A name that exists (a file, a folder, a link) is neither
// opened nor deleted: another is tried. INVALID_HANDLE_VALUE when none could
// be made.
HANDLE CreatePartFile(HANDLE folder, const char *leaf)
{
  char part[PartNameSize];
  for (int attempt = 0; attempt < PartFileAttempts; ++attempt) {
    uint64_t bits = 0;
    if (!RandomBits64(&bits) || !FormatPartPath(part, sizeof(part), leaf, bits))
      return INVALID_HANDLE_VALUE;
    BelowOpen request = {folder,
                         part,
                         GENERIC_WRITE | DELETE | FILE_READ_ATTRIBUTES,
                         0,
                         BelowCreateNew,
                         BelowNonDirectory,
                         FILE_ATTRIBUTE_NORMAL,
                         nullptr};
    HANDLE file = INVALID_HANDLE_VALUE;
    LONG status = OpenBelow(request, &file);
    if (status >= 0) {
      // The delete disposition rather than FILE_DELETE_ON_CLOSE: that
      // option cannot be taken back before Windows 10 (nor under Wine), so
      // the file renamed into place would still go at the close.
      if (SetDeleteDisposition(file, true))
        return file;
      CloseHandle(file);
      return INVALID_HANDLE_VALUE;
    }
    if (StatusCode(status) != StatusNameCollision && StatusCode(status) != StatusAccessDenied)
      return INVALID_HANDLE_VALUE;
  }
  return INVALID_HANDLE_VALUE;
}

// Writes the entry's data to a part file beside leaf in the held folder and
// puts it in leaf's place, through the same handle and relative to the same
// folder, only once all of it is written: a file of an earlier installation
// stays whole when the disk fills up or the archive ends early, and no cut
// file is ever left under a real name. A part file that is not kept goes
// when its handle closes.
EntryOutcome InstallThroughPartFile(HANDLE folder, const char *leaf, const ByteSource *source,
                                    uint32_t size, const EntryAnnouncer *announcer)
{
  HANDLE file = CreatePartFile(folder, leaf);
  if (file == INVALID_HANDLE_VALUE)
    return EntryNotCreated;
  ByteSink sink = {file, WriteToHandle};
  EntryOutcome outcome = EntryInstalled;
  switch (CopyThrough(&sink, source, size, EntryCopyBlock, sizeof(EntryCopyBlock))) {
    case WholeFileWritten:
      if ((announcer->clearWay != nullptr &&
           !announcer->clearWay(announcer->context, folder, leaf)) ||
          !SetDeleteDisposition(file, false) || !RenameBelow(file, folder, leaf, true)) {
        // A read-only or running file, or a folder, under the destination's
        // name: the part file goes.
        SetDeleteDisposition(file, true);
        outcome = EntryNotCreated;
      } else if (announcer->placed != nullptr) {
        announcer->placed(announcer->context);
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

EntryOutcome InstallArchiveEntry(FILE *archive, HANDLE installFolder, const char *installDir,
                                 const EntryAnnouncer *announcer)
{
  ByteSource source = MakeFileSource(archive);
  EntryHeader header;
  if (ReadEntryHeader(&source, &header) != EntryHeaderRead)
    return EntryTruncated;
  if (CheckInstallName(header.name) != NameAccepted)
    return EntryBadName;
  char destination[PathBufferSize];
  if (!DestinationFits(installDir, header.name, sizeof(destination)) ||
      !JoinPath(destination, sizeof(destination), installDir, header.name))
    return EntryPathTooLong;
  // The folders below the install folder, outermost first, each opened (or
  // made) relative to the one above; they may exist already.
  HANDLE folder = INVALID_HANDLE_VALUE;
  const char *leaf = header.name;
  size_t linkEnd = 0;
  TreeVerdict verdict = OpenEntryFolder(installFolder, header.name, true, &folder, &leaf, &linkEnd);
  if (verdict != TreeOpened)
    return verdict == TreeLink ? EntryLinkOnPath : EntryNotCreated;
  announcer->announce(announcer->context, destination);

  EntryOutcome outcome = InstallThroughPartFile(folder, leaf, &source, header.dataSize, announcer);
  ReleaseEntryFolder(installFolder, folder);
  return outcome;
}
