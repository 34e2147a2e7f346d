#include "common/part_file_sweep.h"

#include "common/held_file.h"
#include "common/part_file_name.h"

namespace {

struct Sweep {
  HANDLE folder;
  int removed;
  int depth;
};

// One name of the listing: a part file goes, through a handle opened
// relative to the folder without following a link, only once the handle
// shows a plain file under that very name.
bool SweepOne(void *context, const char *name, DWORD attributes)
{
  Sweep *sweep = static_cast<Sweep *>(context);
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      !IsPartFileName(name))
    return true;
  // No sharing: a part file open in another process stays.
  if (DeletePlainBelow(sweep->folder, name, 0, false))
    ++sweep->removed;
  return true;
}

// Kept folders mirror the payload's names, a level or two deep; anything
// deeper is not setup's and stays.
constexpr int MaxKeptDepth = 16;
constexpr ULONG ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool RemoveFolderBelow(HANDLE parent, const char *name, int depth);

// One name inside a kept folder: a plain file goes, a plain folder goes
// with what it holds; a link or junction stays.
bool EmptyOne(void *context, const char *name, DWORD attributes)
{
  Sweep *sweep = static_cast<Sweep *>(context);
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    RemoveFolderBelow(sweep->folder, name, sweep->depth + 1);
  else
    DeletePlainBelow(sweep->folder, name, ShareAll, false);
  return true;
}

// The plain folder name below parent, opened relative to it and held
// without delete sharing while it is emptied, then removed through the
// same handle; false when anything stays.
bool RemoveFolderBelow(HANDLE parent, const char *name, int depth)
{
  if (depth > MaxKeptDepth)
    return false;
  BelowOpen request = {parent,
                       name,
                       DELETE | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE,
                       BelowOpenExisting,
                       BelowDirectory,
                       0,
                       nullptr};
  HANDLE folder = INVALID_HANDLE_VALUE;
  if (OpenBelow(request, &folder) < 0)
    return false;
  bool removed = false;
  if (HeldIsPlainFolder(folder) && HeldIsNamedBelow(folder, parent, name)) {
    Sweep inside = {folder, 0, depth};
    ListBelow(folder, EmptyOne, &inside);
    // Refused while anything is left inside.
    removed = SetDeleteDisposition(folder, true);
  }
  CloseHandle(folder);
  return removed;
}

bool SweepKeptOne(void *context, const char *name, DWORD attributes)
{
  Sweep *sweep = static_cast<Sweep *>(context);
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
          FILE_ATTRIBUTE_DIRECTORY &&
      IsKeptFolderName(name) && RemoveFolderBelow(sweep->folder, name, 0))
    ++sweep->removed;
  return true;
}

}  // namespace

int SweepPartFiles(HANDLE folder)
{
  Sweep sweep = {folder, 0, 0};
  ListBelow(folder, SweepOne, &sweep);
  return sweep.removed;
}

bool RemoveKeptFolder(HANDLE folder, const char *name)
{
  return IsKeptFolderName(name) && RemoveFolderBelow(folder, name, 0);
}

int SweepKeptFolders(HANDLE folder)
{
  Sweep sweep = {folder, 0, 0};
  ListBelowAfresh(folder, SweepKeptOne, &sweep);
  return sweep.removed;
}
