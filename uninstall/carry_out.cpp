#include "uninstall/carry_out.h"

#include <windows.h>

#include <cstring>

#include "uninstall/held_folders.h"
#include "uninstall/install_record.h"
#include "uninstall/removal_outcome.h"
#include "common/part_file_sweep.h"
#include "common/held_file.h"

namespace {

// After the hand-off the first process may hold its file a moment longer
// than its handle shows it ended.
const int OwnFileTries = 20;
const DWORD OwnFileWaitMs = 100;

// The right to delete and to clear the read-only attribute; shared with
// everybody, so that what stops the delete is the file being in use, not
// this process's own open.
constexpr ACCESS_MASK DeleteAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES;
constexpr ULONG ShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// A folder is opened to be listed and removed, shared for reading and
// writing only: nobody renames it meanwhile.
constexpr ACCESS_MASK FolderDeleteAccess =
    DELETE | FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

bool ScheduleAtRestart(const char *path)
{
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

// The last part of a path that HoldWayTo accepted.
const char *LeafOf(const char *path)
{
  return std::strrchr(path, '\\') + 1;
}

// Marks the opened file for deletion when it is a plain file, not a folder
// or link: what was checked is what goes, when the handle closes.
RemovalAttempt MarkPlainFile(HANDLE file)
{
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info))
    return AttemptRefused;
  if (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
    return AttemptNotPlain;
  // A read-only file of ours goes like any other.
  if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
    FILE_BASIC_INFO basic = {};
    DWORD plain = info.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    basic.FileAttributes = plain != 0 ? plain : FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
  }
  FILE_DISPOSITION_INFO disposition = {TRUE};
  if (SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition)))
    return AttemptDone;
  return AttemptOfRefusedDelete(GetLastError(), false);
}

// Deletes the plain file name in the held folder parent.
RemovalAttempt DeleteBelow(HANDLE parent, const char *name)
{
  HANDLE file = INVALID_HANDLE_VALUE;
  LONG status =
      OpenBelow({parent, name, DeleteAccess, ShareAll, BelowOpenExisting, 0, 0, nullptr}, &file);
  if (status < 0)
    return AttemptOfFailedOpen(status);
  RemovalAttempt attempt = MarkPlainFile(file);
  CloseHandle(file);
  return attempt;
}

StepResult DeleteInstalledFile(HANDLE parent, const char *path, int tries)
{
  RemovalAttempt attempt = AttemptDone;
  for (int i = 0; i < tries; ++i) {
    attempt = DeleteBelow(parent, LeafOf(path));
    if ((attempt != AttemptOpenShared && attempt != AttemptInUse) || i + 1 == tries)
      break;
    Sleep(OwnFileWaitMs);
  }
  // In use (the program still running): gone at the next start of Windows.
  bool scheduled = MayScheduleAtRestart(attempt, false) && ScheduleAtRestart(path);
  return ResultOfRemoval(attempt, scheduled);
}

// Removes the folder at path, name in the held folder parent, when it is
// empty; with sweep, after the part files and kept folders in it.
StepResult RemoveEmptyFolder(HANDLE parent, const char *path, bool sweep, bool holdsScheduled)
{
  // Its own hold goes, those of the folders around it stay: the path leads
  // where it led when it was checked.
  ReleaseFolder(path);
  HANDLE folder = INVALID_HANDLE_VALUE;
  LONG status =
      OpenBelow({parent, LeafOf(path), FolderDeleteAccess, FILE_SHARE_READ | FILE_SHARE_WRITE,
                 BelowOpenExisting, BelowDirectory, 0, nullptr},
                &folder);
  RemovalAttempt attempt = AttemptDone;
  if (status < 0) {
    attempt = AttemptOfFailedOpen(status);
  } else if (!HeldIsPlainFolder(folder)) {
    attempt = AttemptNotPlain;
  } else {
    // A setup ended from outside may have left part files, and in the
    // program folder the earlier files it kept aside.
    if (sweep) {
      SweepPartFiles(folder);
      SweepKeptFolders(folder);
    }
    // Refused while anything is left in it; gone when the handle closes.
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (!SetFileInformationByHandle(folder, FileDispositionInfo, &disposition, sizeof(disposition)))
      attempt = AttemptOfRefusedDelete(GetLastError(), true);
  }
  if (folder != INVALID_HANDLE_VALUE)
    CloseHandle(folder);
  // A folder that holds files going at restart goes with them (the system
  // removes it then only if it is empty). Without such files what is left
  // in it is not ours.
  bool scheduled = MayScheduleAtRestart(attempt, holdsScheduled) && ScheduleAtRestart(path);
  return ResultOfRemoval(attempt, scheduled);
}

}  // namespace

void CarryOutPlan(const RemovalPlan &plan, HandOffFunction handOff, void *context,
                  RemovalTally *tally)
{
  StepResult results[MaxRemovalSteps];
  int fileTries = 1;
  for (int i = 0; i < plan.count; ++i) {
    const RemovalStep &step = plan.steps[i];
    StepResult result = ResultDone;
    HANDLE parent = nullptr;
    if (WaitsForEarlierSteps(step) && !KeysMayGo(*tally)) {
      results[i] = ResultKeyKept;
      NoteStepResult(tally, step, ResultKeyKept);
      continue;
    }
    switch (step.action) {
      case StepDeleteFile:
        result = HoldWayTo(plan.programDir, step.path, &parent);
        if (result == ResultDone)
          result = DeleteInstalledFile(parent, step.path, fileTries);
        break;
      case StepRemoveFolder:
        if (step.role == RoleProgramFolder)
          ReleaseAllFolders();
        result = HoldWayTo(plan.programDir, step.path, &parent);
        // Setup writes its part files in the program folder and the
        // payload's folders, not in the group.
        if (result == ResultDone)
          result = RemoveEmptyFolder(parent, step.path, step.role != RoleGroupFolder,
                                     ScheduledInside(plan, results, i));
        break;
      case StepRemoveKey:
        result = RemoveMachineKey(step.path);
        break;
      case StepHandOff:
        handOff(RemovalExitCode(*tally), context);
        fileTries = OwnFileTries;
        break;
    }
    results[i] = result;
    NoteStepResult(tally, step, result);
  }
  ReleaseAllFolders();
}
