// What became of removing one file or folder through a handle of its own,
// and when a name may be left to Windows to remove at its next start. A
// name scheduled so is looked up again at restart, by path: only what was
// there and in use is scheduled, never a name that was missing, was refused
// to this process, or led to a link. Plain C++ with no Windows header.
#pragma once

#include "uninstall/removal_plan.h"

enum RemovalAttempt {
  AttemptDone = 0,     // removed
  AttemptMissing,      // nothing at the name, or its delete already pending
  AttemptOpenShared,   // not opened: another program holds it without delete sharing
  AttemptOpenRefused,  // not opened for any other reason (access, the way to it, the name)
  AttemptNotPlain,     // opened, but a link or junction, or a folder where a file was meant
  AttemptInUse,        // opened, the delete refused as for a running program's file
  AttemptNotEmpty,     // a folder that still holds something
  AttemptRefused,      // opened, the delete refused for any other reason
};

// The attempt that the NTSTATUS of a failed open (negative) stands for.
RemovalAttempt AttemptOfFailedOpen(long status);

// The attempt that the error code of a refused delete of an opened file or
// folder stands for.
RemovalAttempt AttemptOfRefusedDelete(unsigned long error, bool folder);

// Whether the name is to be scheduled for deletion at restart: a file or
// folder in use, and a folder that holds only what goes at restart
// (holdsScheduled).
bool MayScheduleAtRestart(RemovalAttempt attempt, bool holdsScheduled);

// The step's result, scheduled telling whether the name was scheduled for
// deletion at restart.
StepResult ResultOfRemoval(RemovalAttempt attempt, bool scheduled);
