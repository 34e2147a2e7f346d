#include "uninstall/removal_outcome.h"

#include "common/nt_status.h"

namespace {

// Error codes of a refused delete.
constexpr unsigned long AccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr unsigned long SharingViolation = 32;  // ERROR_SHARING_VIOLATION
constexpr unsigned long DirNotEmpty = 145;      // ERROR_DIR_NOT_EMPTY

}  // namespace

RemovalAttempt AttemptOfFailedOpen(long status)
{
  switch (StatusCode(status)) {
    case StatusNameNotFound:
    case StatusPathNotFound:
    case StatusDeletePending:
      return AttemptMissing;
    case StatusSharingViolation:
      return AttemptOpenShared;
    default:
      return AttemptOpenRefused;
  }
}

RemovalAttempt AttemptOfRefusedDelete(unsigned long error, bool folder)
{
  if (folder)
    return error == DirNotEmpty ? AttemptNotEmpty : AttemptRefused;
  // A running program's file is opened, but the system refuses to mark it
  // while its image is mapped.
  return error == AccessDenied || error == SharingViolation ? AttemptInUse : AttemptRefused;
}

bool MayScheduleAtRestart(RemovalAttempt attempt, bool holdsScheduled)
{
  return attempt == AttemptOpenShared || attempt == AttemptInUse ||
         (attempt == AttemptNotEmpty && holdsScheduled);
}

StepResult ResultOfRemoval(RemovalAttempt attempt, bool scheduled)
{
  if (attempt == AttemptDone)
    return ResultDone;
  if (attempt == AttemptMissing)
    return ResultGone;
  if (scheduled)
    return ResultScheduled;
  // Without files of its own going at restart, what is left in a folder is
  // not setup's.
  return attempt == AttemptNotEmpty ? ResultKept : ResultFailed;
}
