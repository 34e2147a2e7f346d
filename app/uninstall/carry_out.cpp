#include "app/uninstall/carry_out.h"

#include <windows.h>

#include "app/uninstall/install_record.h"

// After the hand-off the first process may hold its file a moment longer
// than its handle shows it ended.
static const int OwnFileTries = 20;
static const DWORD OwnFileWaitMs = 100;

static bool IsMissing(DWORD error)
{
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

static bool ScheduleAtRestart(const char *path)
{
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

static StepResult DeleteInstalledFile(const char *path, int tries)
{
  // A read-only file of ours goes like any other.
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY);
  for (int i = 0; i < tries; ++i) {
    if (DeleteFileA(path))
      return ResultDone;
    DWORD error = GetLastError();
    if (IsMissing(error))
      return ResultGone;
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
      break;
    if (i + 1 < tries)
      Sleep(OwnFileWaitMs);
  }
  // In use (the program still running): gone at the next start of Windows.
  return ScheduleAtRestart(path) ? ResultScheduled : ResultFailed;
}

static StepResult RemoveEmptyFolder(const char *path, bool holdsScheduled)
{
  if (RemoveDirectoryA(path))
    return ResultDone;
  DWORD error = GetLastError();
  if (IsMissing(error))
    return ResultGone;
  // A folder that holds files going at restart goes with them (the system
  // removes it then only if it is empty). Without such files what is left
  // in it is not ours.
  if (error == ERROR_DIR_NOT_EMPTY && !holdsScheduled)
    return ResultKept;
  if (ScheduleAtRestart(path))
    return ResultScheduled;
  return error == ERROR_DIR_NOT_EMPTY ? ResultKept : ResultFailed;
}

void CarryOutPlan(const RemovalPlan &plan, HandOffFunction handOff, void *context,
                  RemovalTally *tally)
{
  StepResult results[MaxRemovalSteps];
  int fileTries = 1;
  for (int i = 0; i < plan.count; ++i) {
    const RemovalStep &step = plan.steps[i];
    StepResult result = ResultDone;
    switch (step.action) {
      case StepDeleteFile:
        result = DeleteInstalledFile(step.path, fileTries);
        break;
      case StepRemoveFolder:
        result = RemoveEmptyFolder(step.path, ScheduledInside(plan, results, i));
        break;
      case StepRemoveKey:
        result = KeysMayGo(*tally) ? RemoveMachineKey(step.path) : ResultKeyKept;
        break;
      case StepHandOff:
        handOff(RemovalExitCode(*tally), context);
        fileTries = OwnFileTries;
        break;
    }
    results[i] = result;
    NoteStepResult(tally, step, result);
  }
}
