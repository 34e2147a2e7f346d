// The install folder's tree, one held level at a time (see install_tree.h).
#include "payload/install_tree.h"

#include <cstring>

#include "payload/destination_walk.h"
#include "common/held_file.h"
#include "common/nt_status.h"
#include "common/product.h"

namespace {

// What a held folder is opened with: listed (the sweep), walked, written
// in, and taking part in sharing checks, so that without delete sharing
// nobody renames or replaces it while it is held.
constexpr ACCESS_MASK FolderAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE |
                                     FILE_ADD_SUBDIRECTORY | FILE_READ_ATTRIBUTES;
constexpr ULONG ShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

}  // namespace

TreeVerdict OpenPlainBelow(HANDLE folder, const char *name, bool asDirectory, bool create,
                           HANDLE *opened)
{
  BelowOpen request = {folder,
                       name,
                       asDirectory ? FolderAccess : FILE_READ_ATTRIBUTES,
                       ShareReadWrite | (asDirectory ? 0 : FILE_SHARE_DELETE),
                       create ? BelowOpenOrCreate : BelowOpenExisting,
                       asDirectory ? BelowDirectory : 0,
                       FILE_ATTRIBUTE_NORMAL,
                       nullptr};
  HANDLE handle = INVALID_HANDLE_VALUE;
  LONG status = OpenBelow(request, &handle);
  if (status < 0)
    return IsMissingStatus(status) ? TreeMissing : TreeFailed;
  DWORD attributes = 0;
  TreeVerdict verdict = TreeOpened;
  if (!HeldAttributes(handle, &attributes))
    verdict = TreeFailed;
  // A link or junction shows as a reparse point on Windows. Wine shows a
  // Unix symbolic link as the file or folder it points at, but the system
  // then names it as its target, not as folder + name.
  else if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 ||
           !HeldIsNamedBelow(handle, folder, name))
    verdict = TreeLink;
  else if (asDirectory && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
    verdict = TreeFailed;
  if (verdict == TreeOpened && opened != nullptr)
    *opened = handle;
  else
    CloseHandle(handle);
  return verdict;
}

TreeVerdict OpenInstallFolder(const char *installDir, HANDLE *folder)
{
  *folder = INVALID_HANDLE_VALUE;
  BelowOpen request = {nullptr,        installDir, FolderAccess, ShareReadWrite, BelowOpenExisting,
                       BelowDirectory, 0,          nullptr};
  HANDLE handle = INVALID_HANDLE_VALUE;
  LONG status = OpenBelow(request, &handle);
  if (status < 0)
    return IsMissingStatus(status) ? TreeMissing : TreeFailed;
  DWORD attributes = 0;
  bool isFolder =
      HeldAttributes(handle, &attributes) && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  if (!isFolder || (!HeldIsPlainFolder(handle) && HeldHoldsReparseData(handle))) {
    CloseHandle(handle);
    return isFolder ? TreeLink : TreeFailed;
  }
  *folder = handle;
  return TreeOpened;
}

TreeVerdict OpenEntryFolder(HANDLE installFolder, const char *name, bool create, HANDLE *folder,
                            const char **leaf, size_t *linkEnd)
{
  *folder = INVALID_HANDLE_VALUE;
  *leaf = name;
  *linkEnd = 0;
  HANDLE current = installFolder;
  char level[PartNameSize];
  for (const char *separator = std::strchr(name, '\\'); separator != nullptr;
       separator = std::strchr(*leaf, '\\')) {
    size_t length = static_cast<size_t>(separator - *leaf);
    if (length == 0 || length >= sizeof(level)) {
      ReleaseEntryFolder(installFolder, current);
      return TreeFailed;
    }
    std::memcpy(level, *leaf, length);
    level[length] = '\0';
    HANDLE next = INVALID_HANDLE_VALUE;
    TreeVerdict verdict = OpenPlainBelow(current, level, true, create, &next);
    ReleaseEntryFolder(installFolder, current);
    if (verdict != TreeOpened) {
      if (verdict == TreeLink)
        *linkEnd = static_cast<size_t>(separator - name);
      return verdict;
    }
    current = next;
    *leaf = separator + 1;
  }
  *folder = current;
  return TreeOpened;
}

void ReleaseEntryFolder(HANDLE installFolder, HANDLE folder)
{
  if (folder != installFolder && folder != INVALID_HANDLE_VALUE)
    CloseHandle(folder);
}
