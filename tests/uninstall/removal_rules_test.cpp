// The uninstaller's rules on what it finds on the disk and at its mark's
// name: what is left to the restart, and another uninstaller's mark.
#include "uninstall/removal_outcome.h"
#include "uninstall/running_alone_rules.h"

#include <gtest/gtest.h>

namespace {

StepResult AfterOpenFailed(long status)
{
  RemovalAttempt attempt = AttemptOfFailedOpen(status);
  return ResultOfRemoval(attempt, MayScheduleAtRestart(attempt, false));
}

StepResult AfterDeleteRefused(unsigned long error, bool folder, bool holdsScheduled)
{
  RemovalAttempt attempt = AttemptOfRefusedDelete(error, folder);
  return ResultOfRemoval(attempt, MayScheduleAtRestart(attempt, holdsScheduled));
}

TEST(RemovalOutcome, OnlyWhatIsInUseIsLeftToTheRestart)
{
  // An open that failed: only sharing means in use.
  EXPECT_EQ(AfterOpenFailed(static_cast<long>(0xC0000043)), ResultScheduled);  // sharing
  EXPECT_EQ(AfterOpenFailed(static_cast<long>(0xC0000034)), ResultGone);       // no such name
  EXPECT_EQ(AfterOpenFailed(static_cast<long>(0xC000003A)), ResultGone);       // no such folder
  EXPECT_EQ(AfterOpenFailed(static_cast<long>(0xC0000022)), ResultFailed);     // access denied
  EXPECT_EQ(AfterOpenFailed(static_cast<long>(0xC0000033)), ResultFailed);     // bad name
  EXPECT_EQ(AfterOpenFailed(static_cast<long>(0xC0000103)), ResultFailed);     // not a folder
  // Opened: a running program's file, and a folder holding only what goes
  // at restart.
  EXPECT_EQ(AfterDeleteRefused(5, false, false), ResultScheduled);
  EXPECT_EQ(AfterDeleteRefused(145, true, true), ResultScheduled);
  EXPECT_EQ(AfterDeleteRefused(145, true, false), ResultKept);
  EXPECT_EQ(AfterDeleteRefused(5, true, true), ResultFailed);
  EXPECT_EQ(AfterDeleteRefused(87, false, false), ResultFailed);
  // A link or folder where a file was meant stays, and is no restart's.
  EXPECT_FALSE(MayScheduleAtRestart(AttemptNotPlain, true));
  EXPECT_EQ(ResultOfRemoval(AttemptNotPlain, false), ResultFailed);
  // When the scheduling itself fails, the file stays and the step failed.
  EXPECT_EQ(ResultOfRemoval(AttemptInUse, false), ResultFailed);
  EXPECT_EQ(ResultOfRemoval(AttemptNotEmpty, false), ResultKept);
}

TEST(UninstallMark, OnlyAnElevatedUninstallersMarkKeepsAnotherOut)
{
  EXPECT_TRUE(MayRunBesideMark(MarkCreated, MarkOwnedByOther, false));
  EXPECT_FALSE(MayRunBesideMark(MarkExisted, MarkOwnedByAdministrators, false));
  EXPECT_FALSE(MayRunBesideMark(MarkExisted, MarkOwnedBySystem, false));
  EXPECT_TRUE(MayRunBesideMark(MarkExisted, MarkOwnedByAdministrators, true));
  // A name taken first by any user's program, or held so this process
  // cannot open it, blocks nothing.
  EXPECT_TRUE(MayRunBesideMark(MarkExisted, MarkOwnedByOther, false));
  EXPECT_TRUE(MayRunBesideMark(MarkUnopened, MarkOwnedByOther, false));
}

}  // namespace
