// The copy plan's look at the disk and its rollback (see copy_plan.h).
#include "payload/copy_plan.h"

#include <cstring>

#include "payload/destination_walk.h"
#include "payload/install_tree.h"
#include "common/held_file.h"
#include "common/install_facts.h"
#include "common/nt_status.h"
#include "common/part_file_sweep.h"
#include "common/path_text.h"

namespace {

constexpr ULONG ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// What stands at an entry's leaf in its held folder.
enum LeafState {
  LeafFree = 0,  // nothing, or something the write itself fails on (a folder, a read-only file)
  LeafEarlier,   // a plain, writable file: replaced, so kept aside first
  LeafLink,      // a link or junction
  LeafInUse,     // a program holds it open for writing or deleting
};

LeafState LookAtLeaf(HANDLE folder, const char *leaf)
{
  HANDLE file = INVALID_HANDLE_VALUE;
  TreeVerdict verdict = OpenPlainBelow(folder, leaf, false, false, &file);
  if (verdict == TreeLink)
    return LeafLink;
  if (verdict != TreeOpened)
    return LeafFree;
  DWORD attributes = 0;
  bool plain = HeldAttributes(file, &attributes) &&
               (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
  CloseHandle(file);
  if (!plain)
    return LeafFree;
  // Opened as the copy replaces it: written over and renamed, which a
  // program that holds the file without sharing that prevents.
  BelowOpen probe = {
      folder, leaf,   GENERIC_WRITE | DELETE, ShareAll, BelowOpenExisting, BelowNonDirectory,
      0,      nullptr};
  LONG status = OpenBelow(probe, &file);
  if (status >= 0) {
    CloseHandle(file);
    return LeafEarlier;
  }
  return StatusCode(status) == StatusSharingViolation ? LeafInUse : LeafFree;
}

// The entry's name inside its destination path (as JoinPath joined them).
const char *RelativeName(const char *destination, const char *installDir)
{
  size_t dirLength = std::strlen(installDir);
  return destination + dirLength + (dirLength == 0 || installDir[dirLength - 1] != '\\' ? 1 : 0);
}

struct Planner {
  CopyPlan *plan;
  HANDLE root;
  const char *installDir;
  char *path;
  size_t pathSize;
  PlanVerdict verdict;
};

// Names the destination, cut after length characters of its entry name,
// in the planner's path.
bool StopAt(Planner *planner, const char *destination, const char *name, size_t length,
            PlanVerdict verdict)
{
  size_t keep = static_cast<size_t>(name - destination) + length;
  if (keep >= planner->pathSize)
    keep = planner->pathSize - 1;
  std::memcpy(planner->path, destination, keep);
  planner->path[keep] = '\0';
  planner->verdict = verdict;
  return false;
}

bool PlanEntry(void *context, const char *destination)
{
  Planner *planner = static_cast<Planner *>(context);
  const char *name = RelativeName(destination, planner->installDir);
  HANDLE folder = INVALID_HANDLE_VALUE;
  const char *leaf = name;
  size_t linkEnd = 0;
  TreeVerdict verdict = OpenEntryFolder(planner->root, name, false, &folder, &leaf, &linkEnd);
  if (verdict == TreeLink)
    return StopAt(planner, destination, name, linkEnd, PlanLink);
  // The levels before the one reached stand; the rest this run makes.
  int levelsBefore = 0;
  for (const char *at = name; at < leaf; ++at)
    levelsBefore += *at == '\\' ? 1 : 0;
  LeafState state = LeafFree;
  if (verdict == TreeOpened) {
    state = LookAtLeaf(folder, leaf);
    ReleaseEntryFolder(planner->root, folder);
  }
  if (state == LeafLink)
    return StopAt(planner, destination, name, std::strlen(name), PlanLink);
  if (state == LeafInUse)
    return StopAt(planner, destination, name, std::strlen(name), PlanInUse);
  // The plan has room for every entry of the payload; more stop the copy
  // at the first one beyond, as a faulty entry does.
  return AddPlannedEntry(planner->plan, name, levelsBefore, state == LeafEarlier);
}

// Opens the folder that holds the entry name's first length characters'
// last level, without making anything; that level's name into level.
bool OpenPrefixParent(HANDLE root, const char *name, size_t length, HANDLE *folder, char *level,
                      size_t levelSize)
{
  char prefix[EntryNameBufferSize];
  if (length >= sizeof(prefix))
    return false;
  std::memcpy(prefix, name, length);
  prefix[length] = '\0';
  const char *leaf = prefix;
  size_t linkEnd = 0;
  if (OpenEntryFolder(root, prefix, false, folder, &leaf, &linkEnd) != TreeOpened)
    return false;
  lstrcpynA(level, leaf, static_cast<int>(levelSize));
  return true;
}

}  // namespace

PlanVerdict BuildCopyPlan(FILE *archive, int count, const char *installDir, HANDLE root,
                          CopyPlan *plan, char *path, size_t pathSize)
{
  StartPlan(plan);
  TreeVerdict images = OpenPlainBelow(root, ImagesDirName, true, false, nullptr);
  if (images == TreeLink) {
    JoinPath(path, pathSize, installDir, ImagesDirName);
    return PlanLink;
  }
  plan->imagesMade = images == TreeMissing;
  Planner planner = {plan, root, installDir, path, pathSize, PlanReady};
  DestinationVisitor visitor = {PlanEntry, &planner};
  if (WalkArchiveFile(archive, count, installDir, &visitor) == WalkDestinationTooLong) {
    lstrcpynA(path, installDir, static_cast<int>(pathSize));
    return PlanNoRoom;
  }
  return planner.verdict;
}

void SweepPlannedFolders(const CopyPlan *plan, HANDLE root)
{
  SweepPartFiles(root);
  // Entries come sorted, so a folder already swept is mostly the one just
  // before.
  const char *lastFolder = "";
  size_t lastLength = 0;
  for (int index = 0; index < plan->count; ++index) {
    const char *name = plan->entries[index].name;
    const char *leafStart = std::strrchr(name, '\\');
    size_t length = leafStart == nullptr ? 0 : static_cast<size_t>(leafStart - name);
    if (length == 0 || (length == lastLength && std::strncmp(lastFolder, name, length) == 0))
      continue;
    lastFolder = name;
    lastLength = length;
    HANDLE folder = INVALID_HANDLE_VALUE;
    const char *leaf = name;
    size_t linkEnd = 0;
    if (OpenEntryFolder(root, name, false, &folder, &leaf, &linkEnd) == TreeOpened) {
      SweepPartFiles(folder);
      ReleaseEntryFolder(root, folder);
    }
  }
}

void RollBackCopy(CopyPlan *plan, HANDLE root, const char *installDir, KeptFolder *kept,
                  const NotPutBackReport *report)
{
  ReleaseKeptFolder(kept);
  for (int index = plan->count - 1; index >= 0; --index) {
    if (!RollbackRemovesFile(plan, index))
      continue;
    HANDLE folder = INVALID_HANDLE_VALUE;
    const char *leaf = plan->entries[index].name;
    size_t linkEnd = 0;
    if (OpenEntryFolder(root, plan->entries[index].name, false, &folder, &leaf, &linkEnd) ==
        TreeOpened) {
      DeletePlainBelow(folder, leaf, ShareAll, false);
      ReleaseEntryFolder(root, folder);
    }
  }
  PutBackKeptFolders(root, installDir, report);
  // Deepest first: a folder goes only once what this run put in it went.
  for (int index = plan->count - 1; index >= 0; --index) {
    const char *name = plan->entries[index].name;
    for (int level = FolderLevels(name) - 1; level >= 0; --level) {
      if (!RollbackRemovesFolder(plan, index, level))
        continue;
      HANDLE folder = INVALID_HANDLE_VALUE;
      char last[EntryNameBufferSize];
      if (OpenPrefixParent(root, name, FolderPrefixLength(name, level), &folder, last,
                           sizeof(last))) {
        DeletePlainBelow(folder, last, FILE_SHARE_READ | FILE_SHARE_WRITE, true);
        ReleaseEntryFolder(root, folder);
      }
    }
  }
  if (plan->imagesMade)
    DeletePlainBelow(root, ImagesDirName, FILE_SHARE_READ | FILE_SHARE_WRITE, true);
}
