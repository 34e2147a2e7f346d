// The kept folder (see kept_files.h).
#include "payload/kept_files.h"

#include <cstring>

#include "payload/install_tree.h"
#include "common/held_file.h"
#include "common/nt_status.h"
#include "common/part_file_sweep.h"
#include "common/path_text.h"
#include "common/product.h"
#include "common/random_bits.h"

namespace {

// A folder files are moved into is held without the right to delete it:
// the system opens the target folder of a rename sharing reading and
// writing only, and a handle with that right held there would refuse it.
// A folder files are moved out of, and then removed, has the right too.
constexpr ACCESS_MASK MoveIntoAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE |
                                       FILE_ADD_SUBDIRECTORY | FILE_READ_ATTRIBUTES;
constexpr ACCESS_MASK MoveOutAccess = MoveIntoAccess | DELETE;
constexpr ULONG ShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;
// Names tried for the kept folder before giving up.
constexpr int KeptFolderAttempts = 16;
// Kept folders mirror the payload's names, a level or two deep.
constexpr int MaxKeptDepth = 16;

// Makes the kept folder under a name no other program can guess, plain,
// with the install folder's inherited access.
bool MakeKeptFolder(KeptFolder *kept)
{
  for (int attempt = 0; attempt < KeptFolderAttempts; ++attempt) {
    uint64_t bits = 0;
    if (!RandomBits64(&bits) || !FormatKeptFolderName(kept->name, sizeof(kept->name), bits))
      return false;
    BelowOpen request = {kept->root,     kept->name, MoveIntoAccess, ShareReadWrite, BelowCreateNew,
                         BelowDirectory, 0,          nullptr};
    LONG status = OpenBelow(request, &kept->held);
    if (status >= 0)
      return true;
    if (StatusCode(status) != StatusNameCollision)
      return false;
  }
  return false;
}

// A plain folder below parent opened (made when create) to move files into
// or out of (access).
HANDLE OpenKeptLevel(HANDLE parent, const char *name, bool create, ACCESS_MASK access)
{
  if (parent == INVALID_HANDLE_VALUE)
    return INVALID_HANDLE_VALUE;
  BelowOpen request = {
      parent,         name, access, ShareReadWrite, create ? BelowOpenOrCreate : BelowOpenExisting,
      BelowDirectory, 0,    nullptr};
  HANDLE folder = INVALID_HANDLE_VALUE;
  if (OpenBelow(request, &folder) < 0)
    return INVALID_HANDLE_VALUE;
  if (!HeldIsPlainFolder(folder) || !HeldIsNamedBelow(folder, parent, name)) {
    CloseHandle(folder);
    return INVALID_HANDLE_VALUE;
  }
  return folder;
}

// The plain file name below folder, opened to be moved.
HANDLE OpenToMove(HANDLE folder, const char *name)
{
  BelowOpen request = {folder,
                       name,
                       DELETE | FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       BelowOpenExisting,
                       BelowNonDirectory,
                       0,
                       nullptr};
  HANDLE file = INVALID_HANDLE_VALUE;
  if (OpenBelow(request, &file) < 0)
    return INVALID_HANDLE_VALUE;
  if (!HeldIsPlainFile(file) || !HeldIsNamedBelow(file, folder, name)) {
    CloseHandle(file);
    return INVALID_HANDLE_VALUE;
  }
  return file;
}

// Putting back one kept folder level into its place below the install
// folder. The listing is started again after each move, so nothing is
// missed while names leave the folder.
struct PutBack {
  HANDLE kept;
  HANDLE target;  // INVALID_HANDLE_VALUE when it could not be made
  int depth;
  bool moved;
};

void PutBackLevel(PutBack *level);

bool PutBackOne(void *context, const char *name, DWORD attributes)
{
  PutBack *level = static_cast<PutBack *>(context);
  level->moved = false;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    if (level->depth >= MaxKeptDepth)
      return true;
    PutBack inner = {OpenKeptLevel(level->kept, name, false, MoveOutAccess),
                     OpenKeptLevel(level->target, name, true, MoveIntoAccess), level->depth + 1,
                     false};
    if (inner.kept != INVALID_HANDLE_VALUE) {
      PutBackLevel(&inner);
      // Refused while anything is left inside.
      level->moved = SetDeleteDisposition(inner.kept, true);
      CloseHandle(inner.kept);
    }
    if (inner.target != INVALID_HANDLE_VALUE)
      CloseHandle(inner.target);
    return !level->moved;
  }
  HANDLE file = OpenToMove(level->kept, name);
  // Over whatever stands at the name now: the earlier file wins.
  level->moved = file != INVALID_HANDLE_VALUE && level->target != INVALID_HANDLE_VALUE &&
                 RenameBelow(file, level->target, name, true);
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  return !level->moved;
}

void PutBackLevel(PutBack *level)
{
  do {
    level->moved = false;
    ListBelowAfresh(level->kept, PutBackOne, level);
  } while (level->moved);
}

// What stays in a kept folder after it was put back: each file told, with
// its full path, and counted.
struct LeftOver {
  HANDLE kept;
  char keptPath[PathBufferSize];
  const NotPutBackReport *report;
  int depth;
  int left;
};

bool TellLeftOver(void *context, const char *name, DWORD attributes)
{
  LeftOver *level = static_cast<LeftOver *>(context);
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
    return true;
  LeftOver inner = {INVALID_HANDLE_VALUE, "", level->report, level->depth + 1, 0};
  if (!JoinPath(inner.keptPath, sizeof(inner.keptPath), level->keptPath, name))
    return true;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    ++level->left;
    if (level->report != nullptr)
      level->report->tell(level->report->context, inner.keptPath);
  } else if (level->depth < MaxKeptDepth) {
    inner.kept = OpenKeptLevel(level->kept, name, false, MoveIntoAccess);
    if (inner.kept != INVALID_HANDLE_VALUE) {
      ListBelowAfresh(inner.kept, TellLeftOver, &inner);
      CloseHandle(inner.kept);
      level->left += inner.left;
    }
  }
  return true;
}

struct RootSweep {
  HANDLE root;
  const char *installDir;
  const NotPutBackReport *report;
  int left;
};

bool PutBackKeptOne(void *context, const char *name, DWORD attributes)
{
  RootSweep *sweep = static_cast<RootSweep *>(context);
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
          FILE_ATTRIBUTE_DIRECTORY ||
      !IsKeptFolderName(name))
    return true;
  PutBack level = {OpenKeptLevel(sweep->root, name, false, MoveOutAccess), sweep->root, 0, false};
  if (level.kept == INVALID_HANDLE_VALUE)
    return true;
  PutBackLevel(&level);
  if (!SetDeleteDisposition(level.kept, true)) {
    LeftOver left = {level.kept, "", sweep->report, 0, 0};
    if (JoinPath(left.keptPath, sizeof(left.keptPath), sweep->installDir, name))
      ListBelowAfresh(level.kept, TellLeftOver, &left);
    sweep->left += left.left;
  }
  CloseHandle(level.kept);
  return true;
}

}  // namespace

void StartKeptFolder(KeptFolder *kept, HANDLE root)
{
  kept->root = root;
  kept->held = INVALID_HANDLE_VALUE;
  kept->name[0] = '\0';
}

bool KeepEarlierFile(KeptFolder *kept, HANDLE entryFolder, const char *leaf, const char *name)
{
  if (kept->held == INVALID_HANDLE_VALUE && !MakeKeptFolder(kept))
    return false;
  HANDLE folder = INVALID_HANDLE_VALUE;
  const char *keptLeaf = name;
  size_t linkEnd = 0;
  if (OpenEntryFolder(kept->held, name, true, &folder, &keptLeaf, &linkEnd) != TreeOpened)
    return false;
  HANDLE file = OpenToMove(entryFolder, leaf);
  bool moved = file != INVALID_HANDLE_VALUE && RenameBelow(file, folder, keptLeaf, false);
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  ReleaseEntryFolder(kept->held, folder);
  return moved;
}

void ReleaseKeptFolder(KeptFolder *kept)
{
  if (kept->held != INVALID_HANDLE_VALUE)
    CloseHandle(kept->held);
  kept->held = INVALID_HANDLE_VALUE;
}

void DiscardKeptFolder(KeptFolder *kept)
{
  if (kept->held == INVALID_HANDLE_VALUE)
    return;
  ReleaseKeptFolder(kept);
  RemoveKeptFolder(kept->root, kept->name);
}

int PutBackKeptFolders(HANDLE root, const char *installDir, const NotPutBackReport *report)
{
  RootSweep sweep = {root, installDir, report, 0};
  ListBelowAfresh(root, PutBackKeptOne, &sweep);
  return sweep.left;
}
