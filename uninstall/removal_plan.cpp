#include "uninstall/removal_plan.h"

#include <cstring>

#include "common/ascii_text.h"

#include "common/install_facts.h"
#include "common/parent_dirs.h"
#include "common/path_text.h"

namespace {

// The plan being built: steps beyond its capacity are counted, not written.
struct PlanWriter {
  RemovalPlan *plan;
  bool overflow;
};

RemovalStep *AddStep(PlanWriter *writer, StepAction action, StepRole role)
{
  if (writer->plan->count >= MaxRemovalSteps) {
    writer->overflow = true;
    return nullptr;
  }
  RemovalStep *step = &writer->plan->steps[writer->plan->count++];
  step->action = action;
  step->role = role;
  step->path[0] = '\0';
  return step;
}

// Adds a step for dir\name when that path fits; a path beyond the
// platform's limit names nothing that can have been made.
void AddPathStep(PlanWriter *writer, StepAction action, StepRole role, const char *dir,
                 const char *name)
{
  char path[ShortPathSize];
  if (!JoinPath(path, sizeof(path), dir, name))
    return;
  if (RemovalStep *step = AddStep(writer, action, role))
    std::strcpy(step->path, path);
}

// Adds a step for a folder path that CheckFolderValue accepted, without a
// trailing backslash, as the user knows it.
void AddFolderStep(PlanWriter *writer, StepRole role, const char *folder)
{
  if (RemovalStep *step = AddStep(writer, StepRemoveFolder, role))
    TrimmedCopy(step->path, folder);
}

bool IsPlainFile(const RemovalLookup &lookup, const char *dir, const char *name)
{
  char path[ShortPathSize];
  return JoinPath(path, sizeof(path), dir, name) && lookup.kind(path, lookup.context) == PathFile;
}

// Plans the link dir\linkName when it is a plain file that points at the
// file fileName in the program folder, as setup made it; a link of that name
// that points elsewhere is the user's own.
void PlanLink(PlanWriter *writer, const char *dir, const char *linkName, const char *fileName,
              const char *programDir, const RemovalLookup &lookup)
{
  char link[ShortPathSize];
  char program[ShortPathSize];
  char target[ShortPathSize];
  if (!JoinPath(link, sizeof(link), dir, linkName) ||
      !JoinPath(program, sizeof(program), programDir, fileName) ||
      lookup.kind(link, lookup.context) != PathFile)
    return;
  if (lookup.linkTarget(link, target, sizeof(target), lookup.context) && SamePath(target, program))
    AddPathStep(writer, StepDeleteFile, RoleItem, dir, linkName);
}

// The group folder setup makes always has the one name: any other folder
// (the public desktop, say) is not the group, and is left alone.
bool IsGroupFolder(const char *group)
{
  const char *name = std::strrchr(group, '\\');
  return name != nullptr && SamePath(name + 1, ProgramGroupName);
}

void PlanGroup(PlanWriter *writer, const RegisteredInstall &facts, const char *programDir,
               const RemovalLookup &lookup)
{
  char group[ShortPathSize];
  if (facts.groupDir == nullptr ||
      CheckFolderValue(facts.groupDir, facts.windowsDir) != FolderAccepted)
    return;
  TrimmedCopy(group, facts.groupDir);
  if (!IsGroupFolder(group) || lookup.kind(group, lookup.context) != PathFolder)
    return;
  PlanLink(writer, group, ProgramLinkName, ProgramFileName, programDir, lookup);
  PlanLink(writer, group, UninstallLinkName, UninstallerFileName, programDir, lookup);
  PlanLink(writer, group, ReadmeLinkName, ReadmeFileName, programDir, lookup);
  AddFolderStep(writer, RoleGroupFolder, group);
}

// The folders below the program folder that the list names or setup makes,
// outer ones first, each with its depth and whether it may be entered: it
// and every folder around it are plain folders, not links.
struct ListedFolder {
  char name[ShortPathSize];
  int depth;
  bool entered;
};

constexpr int MaxListedFolders = 2 * PayloadEntryCount + 1;

struct FolderList {
  int count;
  ListedFolder folders[MaxListedFolders];
};

ListedFolder *FindFolder(FolderList *list, const char *name, size_t length)
{
  for (int i = 0; i < list->count; ++i) {
    ListedFolder *folder = &list->folders[i];
    if (std::strlen(folder->name) == length && SameTextNoCase(folder->name, name, length))
      return folder;
  }
  return nullptr;
}

// Adds the folder that is the first length characters of name, unless it is
// listed already. False when the list is full.
bool AddFolder(FolderList *list, const char *name, size_t length, const char *programDir,
               const RemovalLookup &lookup)
{
  if (FindFolder(list, name, length) != nullptr)
    return true;
  if (list->count >= MaxListedFolders || length >= ShortPathSize)
    return false;
  ListedFolder *folder = &list->folders[list->count];
  std::memcpy(folder->name, name, length);
  folder->name[length] = '\0';
  folder->depth = 1;
  for (size_t i = 0; i < length; ++i)
    folder->depth += name[i] == '\\';
  // Outer folders are listed first, so the one around this is settled.
  const char *cut = std::strrchr(folder->name, '\\');
  const ListedFolder *outer =
      cut != nullptr ? FindFolder(list, folder->name, static_cast<size_t>(cut - folder->name))
                     : nullptr;
  bool outerEntered = cut == nullptr || (outer != nullptr && outer->entered);
  char path[ShortPathSize];
  folder->entered = outerEntered && JoinPath(path, sizeof(path), programDir, folder->name) &&
                    lookup.kind(path, lookup.context) == PathFolder;
  ++list->count;
  return true;
}

bool ListFolders(FolderList *list, const RegisteredInstall &facts, const char *programDir,
                 const RemovalLookup &lookup)
{
  list->count = 0;
  for (int n = 0; n < facts.nameCount; ++n) {
    int ends[MaxParentLevels];
    int levels = ListParentLevels(facts.names[n], ends, MaxParentLevels);
    for (int i = 0; i < levels; ++i)
      if (!AddFolder(list, facts.names[n], static_cast<size_t>(ends[i]), programDir, lookup))
        return false;
  }
  return AddFolder(list, ImagesDirName, std::strlen(ImagesDirName), programDir, lookup);
}

// True when every folder around name may be entered.
bool InEnteredFolder(FolderList *list, const char *name)
{
  const char *cut = std::strrchr(name, '\\');
  if (cut == nullptr)
    return true;
  ListedFolder *folder = FindFolder(list, name, static_cast<size_t>(cut - name));
  return folder != nullptr && folder->entered;
}

// The application's keys, each named by the product title under its
// parent, with the values setup writes there, in the order they go.
struct ProductKey {
  const char *parent;
  const char *const *values;
  size_t valueCount;
};

const ProductKey ProductKeys[] = {
    {AppPathsKey, AppPathsKeyValues, sizeof(AppPathsKeyValues) / sizeof(AppPathsKeyValues[0])},
    {UninstallKey, UninstallKeyValues, sizeof(UninstallKeyValues) / sizeof(UninstallKeyValues[0])},
};

void PlanKeys(PlanWriter *writer)
{
  for (const ProductKey &key : ProductKeys)
    AddPathStep(writer, StepRemoveKey, RoleItem, key.parent, ProductTitle);
}

}  // namespace

bool SetupWroteValue(const char *keyPath, const char *valueName)
{
  size_t nameLength = std::strlen(valueName);
  for (const ProductKey &key : ProductKeys) {
    char path[ShortPathSize];
    if (!JoinPath(path, sizeof(path), key.parent, ProductTitle) || !SamePath(path, keyPath))
      continue;
    for (size_t i = 0; i < key.valueCount; ++i)
      if (std::strlen(key.values[i]) == nameLength &&
          SameTextNoCase(key.values[i], valueName, nameLength))
        return true;
  }
  return false;
}

FolderVerdict PlanRemoval(const RegisteredInstall &facts, bool handOff, const RemovalLookup &lookup,
                          RemovalPlan *plan)
{
  plan->count = 0;
  FolderVerdict verdict =
      CheckProgramDir(facts.programDir, facts.windowsDir, lookup, facts.neverInstall);
  if (verdict != FolderAccepted)
    return verdict;
  char *programDir = plan->programDir;
  TrimmedCopy(programDir, facts.programDir);

  FolderList folders;
  if (!ListFolders(&folders, facts, programDir, lookup))
    return FolderPlanTooLarge;

  PlanWriter writer = {plan, false};
  if (facts.desktopDir != nullptr)
    PlanLink(&writer, facts.desktopDir, ProgramLinkName, ProgramFileName, programDir, lookup);
  PlanGroup(&writer, facts, programDir, lookup);
  bool ownFileLeft = false;
  for (int n = 0; n < facts.nameCount; ++n) {
    const char *name = facts.names[n];
    if (!InEnteredFolder(&folders, name) || !IsPlainFile(lookup, programDir, name))
      continue;
    // The uninstaller goes last, with the folder, so that it is there to
    // run again for as long as the product stays registered.
    if (SamePath(name, UninstallerFileName))
      ownFileLeft = true;
    else
      AddPathStep(&writer, StepDeleteFile, RoleItem, programDir, name);
  }
  int deepest = 0;
  for (int i = 0; i < folders.count; ++i)
    deepest = folders.folders[i].depth > deepest ? folders.folders[i].depth : deepest;
  for (int depth = deepest; depth > 0; --depth) {
    for (int i = 0; i < folders.count; ++i) {
      const ListedFolder &folder = folders.folders[i];
      if (folder.depth == depth && folder.entered)
        AddPathStep(&writer, StepRemoveFolder, RoleItem, programDir, folder.name);
    }
  }
  PlanKeys(&writer);
  // The copy cannot remove the file the first process runs from until that
  // process has ended.
  if (handOff)
    AddStep(&writer, StepHandOff, RoleItem);
  if (ownFileLeft)
    AddPathStep(&writer, StepDeleteFile, RoleUninstaller, programDir, UninstallerFileName);
  AddFolderStep(&writer, RoleProgramFolder, programDir);
  if (writer.overflow) {
    plan->count = 0;
    return FolderPlanTooLarge;
  }
  return FolderAccepted;
}

bool WaitsForEarlierSteps(const RemovalStep &step)
{
  return step.action == StepRemoveKey || step.role == RoleUninstaller ||
         step.role == RoleProgramFolder;
}

bool ScheduledInside(const RemovalPlan &plan, const StepResult *results, int stepIndex)
{
  const char *folder = plan.steps[stepIndex].path;
  size_t length = TrimmedLength(folder);
  for (int i = 0; i < stepIndex; ++i) {
    const char *path = plan.steps[i].path;
    if (results[i] == ResultScheduled && std::strlen(path) > length && path[length] == '\\' &&
        SameTextNoCase(path, folder, length))
      return true;
  }
  return false;
}
