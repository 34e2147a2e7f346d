#include "uninstall/held_folders.h"

#include <cstring>

#include "uninstall/removal_paths.h"
#include "common/ascii_text.h"
#include "common/held_file.h"
#include "common/nt_status.h"
#include "common/product.h"

namespace {

struct HeldFolder {
  char path[ShortPathSize];
  HANDLE handle;
};

// Listing and traversing take part in sharing checks (FILE_READ_ATTRIBUTES
// alone would not, and another program could rename the folder); the
// attributes tell a plain folder from a link.
constexpr ACCESS_MASK HoldAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

const int MaxHeldFolders = 64;
HeldFolder HeldFolders[MaxHeldFolders];
int HeldCount;

HeldFolder *FindHeld(const char *path)
{
  for (int i = 0; i < HeldCount; ++i)
    if (SamePath(HeldFolders[i].path, path))
      return &HeldFolders[i];
  return nullptr;
}

// Holds the folder at path, opened as name below the held folder parent (by
// its full path when parent is null), when it is a plain folder, not a link.
StepResult HoldFolder(const char *path, HANDLE parent, const char *name, HANDLE *held)
{
  if (HeldFolder *known = FindHeld(path)) {
    *held = known->handle;
    return ResultDone;
  }
  if (HeldCount >= MaxHeldFolders || std::strlen(path) >= ShortPathSize)
    return ResultFailed;
  HANDLE folder = INVALID_HANDLE_VALUE;
  LONG status = OpenBelow({parent, name, HoldAccess, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           BelowOpenExisting, BelowDirectory, 0, nullptr},
                          &folder);
  if (IsMissingStatus(status))
    return ResultGone;
  if (status < 0)
    return ResultFailed;
  if (!HeldIsPlainFolder(folder)) {
    CloseHandle(folder);
    return ResultFailed;
  }
  std::strcpy(HeldFolders[HeldCount].path, path);
  HeldFolders[HeldCount].handle = folder;
  ++HeldCount;
  *held = folder;
  return ResultDone;
}

}  // namespace

void ReleaseFolder(const char *path)
{
  HeldFolder *held = FindHeld(path);
  if (held == nullptr)
    return;
  CloseHandle(held->handle);
  *held = HeldFolders[--HeldCount];
}

void ReleaseAllFolders()
{
  while (HeldCount > 0)
    CloseHandle(HeldFolders[--HeldCount].handle);
}

StepResult HoldWayTo(const char *programDir, const char *path, HANDLE *parent)
{
  size_t top = std::strlen(programDir);
  bool inside =
      std::strlen(path) > top && path[top] == '\\' && SameTextNoCase(path, programDir, top);
  const char *last = std::strrchr(path, '\\');
  if (last == nullptr || static_cast<size_t>(last - path) >= ShortPathSize)
    return ResultFailed;
  if (!inside)
    top = static_cast<size_t>(last - path);
  // The first folder by its full path, each one below it by its name in
  // the one held around it.
  char folder[ShortPathSize];
  char name[ShortPathSize];
  HANDLE held = nullptr;
  size_t start = 0;
  for (size_t end = top; end <= static_cast<size_t>(last - path); ++end) {
    if (end != top && path[end] != '\\')
      continue;
    // "C:" alone is the drive root.
    size_t length = end == 2 ? 3 : end;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    const char *opened = folder;
    if (held != nullptr) {
      std::memcpy(name, path + start, end - start);
      name[end - start] = '\0';
      opened = name;
    }
    StepResult result = HoldFolder(folder, held, opened, &held);
    if (result != ResultDone)
      return result;
    start = end + 1;
  }
  *parent = held;
  return ResultDone;
}
