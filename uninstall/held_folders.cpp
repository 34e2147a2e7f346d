#include "uninstall/held_folders.h"

#include <windows.h>

#include <cstring>

#include "common/ascii_text.h"

#include "common/product.h"

namespace {

bool IsMissing(DWORD error)
{
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace

struct HeldFolder {
  char path[ShortPathSize];
  HANDLE handle;
};

namespace {

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

// Holds the folder at path when it is a plain folder, not a link; *error
// says why not.
bool HoldFolder(const char *path, DWORD *error)
{
  *error = ERROR_SUCCESS;
  if (FindHeld(path) != nullptr)
    return true;
  if (HeldCount >= MaxHeldFolders || std::strlen(path) >= ShortPathSize)
    return false;
  HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(folder, &info) ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    CloseHandle(folder);
    return false;
  }
  std::strcpy(HeldFolders[HeldCount].path, path);
  HeldFolders[HeldCount].handle = folder;
  ++HeldCount;
  return true;
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

StepResult HoldWayTo(const char *programDir, const char *path)
{
  size_t top = std::strlen(programDir);
  bool inside =
      std::strlen(path) > top && path[top] == '\\' && SameTextNoCase(path, programDir, top);
  const char *last = std::strrchr(path, '\\');
  if (last == nullptr)
    return ResultFailed;
  if (!inside)
    top = static_cast<size_t>(last - path);
  char folder[ShortPathSize];
  for (size_t end = top; end <= static_cast<size_t>(last - path); ++end) {
    if (end != top && path[end] != '\\')
      continue;
    // "C:" alone is the drive root.
    size_t length = end == 2 ? 3 : end;
    std::memcpy(folder, path, length);
    folder[length] = '\0';
    DWORD error = ERROR_SUCCESS;
    if (!HoldFolder(folder, &error))
      return IsMissing(error) ? ResultGone : ResultFailed;
  }
  return ResultDone;
}
