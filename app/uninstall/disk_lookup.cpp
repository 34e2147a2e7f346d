#include "app/uninstall/disk_lookup.h"

#include <windows.h>

#include "app/uninstall/link_target.h"

static PathKind KindOf(const char *path, void *)
{
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    // Anything but "not there" (access denied, say) is planned as a file, so
    // that the delete that fails says so instead of the file staying unseen.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathMissing : PathFile;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return PathReparse;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathFolder : PathFile;
}

static bool TargetOf(const char *linkPath, char *target, size_t size, void *)
{
  return ReadLinkTarget(linkPath, target, size);
}

const RemovalLookup DiskLookup = {KindOf, TargetOf, nullptr};
