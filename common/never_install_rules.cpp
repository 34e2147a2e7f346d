#include "common/never_install_rules.h"

#include <cstring>

#include "common/ascii_text.h"
#include "common/path_text.h"

bool AddReservedFolder(NeverInstallFolders *list, const char *folder, ReservedReach reach,
                       bool isWindows)
{
  size_t length = WithoutTrailingSeparator(folder, std::strlen(folder));
  if (length == 0 || length >= sizeof(list->folders[0].path) || list->count >= MaxReservedFolders)
    return false;
  ReservedFolder *entry = &list->folders[list->count++];
  std::memcpy(entry->path, folder, length);
  entry->path[length] = '\0';
  entry->reach = reach;
  if (isWindows)
    list->windowsKnown = true;
  return true;
}

bool AddReservedParent(NeverInstallFolders *list, const char *folder, ReservedReach reach)
{
  char parent[PathBufferSize];
  size_t length = WithoutTrailingSeparator(folder, std::strlen(folder));
  if (length >= sizeof(parent))
    return false;
  std::memcpy(parent, folder, length);
  parent[length] = '\0';
  char *cut = std::strrchr(parent, '\\');
  if (cut == nullptr || static_cast<size_t>(cut - parent) < DriveRootLength)
    return false;
  *cut = '\0';
  return AddReservedFolder(list, parent, reach);
}

bool IsNeverInstallFolder(const char *folder, const NeverInstallFolders &list, int *which)
{
  if (which != nullptr)
    *which = -1;
  size_t length = WithoutTrailingSeparator(folder, std::strlen(folder));
  // "X:" (a drive root without its separator) or nothing at all.
  if (!list.windowsKnown || length <= DriveRootLength - 1)
    return true;
  for (int index = 0; index < list.count; ++index) {
    const ReservedFolder &entry = list.folders[index];
    if (IsSameOrAbove(folder, entry.path) ||
        (entry.reach == ReservedWithInside && LiesInside(folder, entry.path))) {
      if (which != nullptr)
        *which = index;
      return true;
    }
  }
  return false;
}
