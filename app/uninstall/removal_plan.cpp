#include "app/uninstall/removal_plan.h"

#include <cstring>

#include "common/install_facts.h"
#include "common/ascii_text.h"
#include "common/parent_dirs.h"
#include "common/path_text.h"

// Length of path without one trailing backslash, except after a drive
// ("C:\" keeps it).
static size_t TrimmedLength(const char *path)
{
  size_t length = std::strlen(path);
  return IsDriveRoot(length) ? length : WithoutTrailingSeparator(path, length);
}

// Copies a path that CheckFolderValue accepted into out (ShortPathSize
// bytes) without its trailing backslash.
static void TrimmedCopy(char *out, const char *path)
{
  size_t length = TrimmedLength(path);
  std::memcpy(out, path, length);
  out[length] = '\0';
}

bool SamePath(const char *a, const char *b)
{
  size_t length = TrimmedLength(a);
  return length == TrimmedLength(b) && SameTextNoCase(a, b, length);
}

// A component of a folder that Windows would take for another folder or
// refuse: empty, "." or "..", ending in a dot or a space (both dropped by
// the system, so "C:\Windows." is C:\Windows), or with a character that no
// name has.
static bool BadComponent(const char *start, size_t length)
{
  if (length == 0 || start[length - 1] == '.' || start[length - 1] == ' ')
    return true;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(start[i]);
    if (c < 0x20 || std::strchr("/:*?\"<>|", c) != nullptr)
      return true;
  }
  return false;
}

static bool IsDriveLetter(char c)
{
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

FolderVerdict CheckFolderValue(const char *folder, const char *windowsDir)
{
  size_t length = TrimmedLength(folder);
  if (std::strlen(folder) > static_cast<size_t>(MaxWindowsPath))
    return FolderTooLong;
  if (length < 3 || !IsDriveLetter(folder[0]) || folder[1] != ':' || folder[2] != '\\')
    return FolderNotFullPath;
  if (IsDriveRoot(length))
    return FolderIsDriveRoot;
  size_t start = 3;
  for (size_t i = 3; i <= length; ++i) {
    if (i == length || folder[i] == '\\') {
      if (BadComponent(folder + start, i - start))
        return FolderNotFullPath;
      start = i + 1;
    }
  }
  // The Windows directory itself, or a folder that holds it: its name and
  // then a separator at the same place in the Windows directory.
  if (windowsDir != nullptr && windowsDir[0] != '\0') {
    size_t windowsLength = TrimmedLength(windowsDir);
    if (length <= windowsLength && SameTextNoCase(folder, windowsDir, length) &&
        (length == windowsLength || windowsDir[length] == '\\'))
      return FolderHoldsWindows;
  }
  return FolderAccepted;
}

FolderVerdict CheckProgramDir(const char *programDir, const char *windowsDir,
                              const RemovalLookup &lookup)
{
  FolderVerdict verdict = CheckFolderValue(programDir, windowsDir);
  if (verdict != FolderAccepted)
    return verdict;
  char folder[ShortPathSize];
  TrimmedCopy(folder, programDir);
  char uninstaller[ShortPathSize];
  if (lookup.kind(folder, lookup.context) != PathFolder ||
      !JoinPath(uninstaller, sizeof uninstaller, folder, UninstallerFileName) ||
      lookup.kind(uninstaller, lookup.context) != PathFile)
    return FolderNotOurs;
  return FolderAccepted;
}

// The plan being built: steps beyond its capacity are counted, not written.
struct PlanWriter {
  RemovalPlan *plan;
  bool overflow;
};

static RemovalStep *AddStep(PlanWriter *writer, StepAction action, StepRole role)
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
static void AddPathStep(PlanWriter *writer, StepAction action, StepRole role, const char *dir,
                        const char *name)
{
  char path[ShortPathSize];
  if (!JoinPath(path, sizeof path, dir, name))
    return;
  if (RemovalStep *step = AddStep(writer, action, role))
    std::strcpy(step->path, path);
}

// Adds a step for a folder path that CheckFolderValue accepted, without a
// trailing backslash, as the user knows it.
static void AddFolderStep(PlanWriter *writer, StepRole role, const char *folder)
{
  if (RemovalStep *step = AddStep(writer, StepRemoveFolder, role))
    TrimmedCopy(step->path, folder);
}

static bool IsPlainFile(const RemovalLookup &lookup, const char *dir, const char *name)
{
  char path[ShortPathSize];
  return JoinPath(path, sizeof path, dir, name) && lookup.kind(path, lookup.context) == PathFile;
}

static void PlanDesktopLink(PlanWriter *writer, const InstallFacts &facts, const char *programDir,
                            const RemovalLookup &lookup)
{
  char link[ShortPathSize];
  char program[ShortPathSize];
  char target[ShortPathSize];
  if (facts.desktopDir == nullptr ||
      !JoinPath(link, sizeof link, facts.desktopDir, ProgramLinkName) ||
      !JoinPath(program, sizeof program, programDir, ProgramFileName) ||
      lookup.kind(link, lookup.context) != PathFile)
    return;
  // A link of that name that points elsewhere is the user's own.
  if (lookup.linkTarget(link, target, sizeof target, lookup.context) && SamePath(target, program))
    AddPathStep(writer, StepDeleteFile, RoleItem, facts.desktopDir, ProgramLinkName);
}

static void PlanGroup(PlanWriter *writer, const InstallFacts &facts, const RemovalLookup &lookup)
{
  char group[ShortPathSize];
  if (facts.groupDir == nullptr ||
      CheckFolderValue(facts.groupDir, facts.windowsDir) != FolderAccepted)
    return;
  TrimmedCopy(group, facts.groupDir);
  if (lookup.kind(group, lookup.context) != PathFolder)
    return;
  const char *links[] = {ProgramLinkName, UninstallLinkName, ReadmeLinkName};
  for (const char *name : links) {
    if (IsPlainFile(lookup, group, name))
      AddPathStep(writer, StepDeleteFile, RoleItem, group, name);
  }
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

inline constexpr int MaxListedFolders = 2 * PayloadEntryCount + 1;

struct FolderList {
  int count;
  ListedFolder folders[MaxListedFolders];
};

static ListedFolder *FindFolder(FolderList *list, const char *name, size_t length)
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
static bool AddFolder(FolderList *list, const char *name, size_t length, const char *programDir,
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
  folder->entered = outerEntered && JoinPath(path, sizeof path, programDir, folder->name) &&
                    lookup.kind(path, lookup.context) == PathFolder;
  ++list->count;
  return true;
}

static bool ListFolders(FolderList *list, const InstallFacts &facts, const char *programDir,
                        const RemovalLookup &lookup)
{
  list->count = 0;
  for (int n = 0; n < facts.nameCount; ++n) {
    int ends[MaxParentLevels];
    int levels = ListParentLevels(facts.names[n], ends, MaxParentLevels);
    for (int i = 0; i < levels; ++i) {
      if (!AddFolder(list, facts.names[n], static_cast<size_t>(ends[i]), programDir, lookup))
        return false;
    }
  }
  return AddFolder(list, ImagesDirName, std::strlen(ImagesDirName), programDir, lookup);
}

// True when every folder around name may be entered.
static bool InEnteredFolder(FolderList *list, const char *name)
{
  const char *cut = std::strrchr(name, '\\');
  if (cut == nullptr)
    return true;
  ListedFolder *folder = FindFolder(list, name, static_cast<size_t>(cut - name));
  return folder != nullptr && folder->entered;
}

static void PlanKeys(PlanWriter *writer)
{
  const char *parents[] = {AppPathsKey, UninstallKey};
  for (const char *parent : parents)
    AddPathStep(writer, StepRemoveKey, RoleItem, parent, ProductTitle);
}

FolderVerdict PlanRemoval(const InstallFacts &facts, bool handOff, const RemovalLookup &lookup,
                          RemovalPlan *plan)
{
  plan->count = 0;
  FolderVerdict verdict = CheckProgramDir(facts.programDir, facts.windowsDir, lookup);
  if (verdict != FolderAccepted)
    return verdict;
  char programDir[ShortPathSize];
  TrimmedCopy(programDir, facts.programDir);

  FolderList folders;
  if (!ListFolders(&folders, facts, programDir, lookup))
    return FolderPlanTooLarge;

  PlanWriter writer = {plan, false};
  PlanDesktopLink(&writer, facts, programDir, lookup);
  PlanGroup(&writer, facts, lookup);
  bool ownFileLeft = false;
  for (int n = 0; n < facts.nameCount; ++n) {
    const char *name = facts.names[n];
    if (!InEnteredFolder(&folders, name) || !IsPlainFile(lookup, programDir, name))
      continue;
    // The copy cannot remove the file the first process runs from until
    // that process has ended.
    if (handOff && SamePath(name, UninstallerFileName))
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
  if (handOff) {
    PlanKeys(&writer);
    AddStep(&writer, StepHandOff, RoleItem);
    if (ownFileLeft)
      AddPathStep(&writer, StepDeleteFile, RoleItem, programDir, UninstallerFileName);
    AddFolderStep(&writer, RoleProgramFolder, programDir);
  } else {
    AddFolderStep(&writer, RoleProgramFolder, programDir);
    PlanKeys(&writer);
  }
  if (writer.overflow) {
    plan->count = 0;
    return FolderPlanTooLarge;
  }
  return FolderAccepted;
}

void NoteStepResult(RemovalTally *tally, const RemovalStep &step, StepResult result)
{
  switch (result) {
    case ResultScheduled:
      ++tally->scheduled;
      break;
    case ResultKept:
      if (step.role == RoleProgramFolder)
        CopyCut(tally->programKept, sizeof tally->programKept, step.path);
      else if (step.role == RoleGroupFolder)
        CopyCut(tally->groupKept, sizeof tally->groupKept, step.path);
      break;
    case ResultFailed:
      if (tally->failed++ == 0) {
        CopyCut(tally->firstFailure, sizeof tally->firstFailure, step.path);
        tally->firstFailureIsKey = step.action == StepRemoveKey;
      }
      break;
    case ResultKeyKept:
      tally->keysKept = true;
      break;
    case ResultDone:
    case ResultGone:
      break;
  }
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

bool KeysMayGo(const RemovalTally &tally)
{
  return tally.failed == 0;
}

int RemovalExitCode(const RemovalTally &tally)
{
  return tally.failed == 0 && !tally.keysKept ? ExitRemoved : ExitIncomplete;
}

static void AppendKeptLine(char *text, size_t size, size_t *length, const char *folder)
{
  if (folder[0] == '\0')
    return;
  AppendCut(text, size, length, "\r\nThe folder ");
  AppendCut(text, size, length, folder);
  AppendCut(text, size, length, " was kept: it holds files that setup did not install.");
}

bool ComposeRemovalReport(const RemovalTally &tally, char *text, size_t size)
{
  size_t length = 0;
  if (size > 0)
    text[0] = '\0';
  bool removed = RemovalExitCode(tally) == ExitRemoved;
  if (removed) {
    AppendCut(text, size, &length, ZV_PRODUCT_TITLE " was removed from your computer.");
  } else {
    AppendCut(text, size, &length, ZV_PRODUCT_TITLE " was not removed completely: ");
    if (tally.firstFailureIsKey)
      AppendCut(text, size, &length, "the registry key HKEY_LOCAL_MACHINE\\");
    AppendCut(text, size, &length, tally.firstFailure);
    AppendCut(text, size, &length, " could not be removed.");
    if (tally.keysKept)
      AppendCut(text, size, &length,
                " It stays registered, so that you can run the uninstaller again.");
  }
  AppendKeptLine(text, size, &length, tally.programKept);
  AppendKeptLine(text, size, &length, tally.groupKept);
  if (tally.scheduled > 0)
    AppendCut(text, size, &length,
              "\r\nSome files are in use and will be removed when Windows restarts.");
  return removed;
}

void ComposeRefusal(const char *programDir, char *text, size_t size)
{
  // The value is shown whole up to a path's length; a longer one is cut.
  char shown[ShortPathSize + 3];
  if (CopyCut(shown, ShortPathSize, programDir) >= ShortPathSize)
    std::strcat(shown, "...");
  size_t length = 0;
  if (size > 0)
    text[0] = '\0';
  AppendCut(text, size, &length, "The registered folder ");
  AppendCut(text, size, &length, shown);
  AppendCut(text, size, &length, " does not hold " ZV_PRODUCT_TITLE ". Nothing was removed.");
}
