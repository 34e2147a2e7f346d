#include "uninstall/removal_outcome.h"

namespace {

// NTSTATUS values of a failed open.
constexpr unsigned long NameNotFound = 0xC0000034;   // STATUS_OBJECT_NAME_NOT_FOUND
constexpr unsigned long PathNotFound = 0xC000003A;   // STATUS_OBJECT_PATH_NOT_FOUND
constexpr unsigned long DeletePending = 0xC0000056;  // STATUS_DELETE_PENDING
constexpr unsigned long SharingStatus = 0xC0000043;  // STATUS_SHARING_VIOLATION

// Error codes of a refused delete.
constexpr unsigned long AccessDenied = 5;       // ERROR_ACCESS_DENIED
constexpr unsigned long SharingViolation = 32;  // ERROR_SHARING_VIOLATION
constexpr unsigned long DirNotEmpty = 145;      // ERROR_DIR_NOT_EMPTY

}  // namespace

RemovalAttempt AttemptOfFailedOpen(long status)
{
  switch (static_cast<unsigned long>(status) & 0xFFFFFFFFUL) {
    case NameNotFound:
    case PathNotFound:
    case DeletePending:
      return AttemptMissing;
    case SharingStatus:
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
