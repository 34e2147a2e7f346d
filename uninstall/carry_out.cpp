#include "uninstall/carry_out.h"

#include <windows.h>

#include <cstring>

#include "uninstall/held_folders.h"
#include "uninstall/install_record.h"

namespace {

// After the hand-off the first process may hold its file a moment longer
// than its handle shows it ended.
const int OwnFileTries = 20;
const DWORD OwnFileWaitMs = 100;

bool IsMissing(DWORD error)
{
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool ScheduleAtRestart(const char *path)
{
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE;
}

// Opens the file at path itself, never what a link there points at, with
// the right to delete it and to clear its read-only attribute.
HANDLE OpenForDelete(const char *path)
{
  return CreateFileA(path, DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                     FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Deletes the plain file at path through one handle, so that what is
// checked is what goes. ERROR_SUCCESS in *error with ResultFailed: what
// stands there now is a folder or a link, and is left alone.
StepResult DeleteThroughHandle(const char *path, DWORD *error)
{
  HANDLE file = OpenForDelete(path);
  if (file == INVALID_HANDLE_VALUE) {
    *error = GetLastError();
    return ResultFailed;
  }
  StepResult result = ResultFailed;
  *error = ERROR_SUCCESS;
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info)) {
    *error = GetLastError();
  } else if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
             0) {
    // A read-only file of ours goes like any other.
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
      FILE_BASIC_INFO basic = {};
      DWORD plain = info.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
      basic.FileAttributes = plain != 0 ? plain : FILE_ATTRIBUTE_NORMAL;
      SetFileInformationByHandle(file, FileBasicInfo, &basic, sizeof(basic));
    }
    FILE_DISPOSITION_INFO disposition = {TRUE};
    if (SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof(disposition)))
      result = ResultDone;
    else
      *error = GetLastError();
  }
  CloseHandle(file);
  return result;
}

StepResult DeleteInstalledFile(const char *path, int tries)
{
  for (int i = 0; i < tries; ++i) {
    DWORD error = ERROR_SUCCESS;
    if (DeleteThroughHandle(path, &error) == ResultDone)
      return ResultDone;
    if (IsMissing(error))
      return ResultGone;
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)
      return ResultFailed;
    if (i + 1 < tries)
      Sleep(OwnFileWaitMs);
  }
  // In use (the program still running): gone at the next start of Windows.
  return ScheduleAtRestart(path) ? ResultScheduled : ResultFailed;
}

StepResult RemoveEmptyFolder(const char *path, bool holdsScheduled)
{
  // Its own hold goes, those of the folders around it stay: the path leads
  // where it led when it was checked.
  ReleaseFolder(path);
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

}  // namespace

void CarryOutPlan(const RemovalPlan &plan, HandOffFunction handOff, void *context,
                  RemovalTally *tally)
{
  StepResult results[MaxRemovalSteps];
  int fileTries = 1;
  for (int i = 0; i < plan.count; ++i) {
    const RemovalStep &step = plan.steps[i];
    StepResult result = ResultDone;
    if (WaitsForEarlierSteps(step) && !KeysMayGo(*tally)) {
      results[i] = ResultKeyKept;
      NoteStepResult(tally, step, ResultKeyKept);
      continue;
    }
    switch (step.action) {
      case StepDeleteFile:
        result = HoldWayTo(plan.programDir, step.path);
        if (result == ResultDone)
          result = DeleteInstalledFile(step.path, fileTries);
        break;
      case StepRemoveFolder:
        if (step.role == RoleProgramFolder)
          ReleaseAllFolders();
        result = HoldWayTo(plan.programDir, step.path);
        if (result == ResultDone)
          result = RemoveEmptyFolder(step.path, ScheduledInside(plan, results, i));
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
