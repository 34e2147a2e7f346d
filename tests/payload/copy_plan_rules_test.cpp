// The copy plan's rules: which earlier file is kept, and what a rollback
// removes, from the plan's records alone.
#include "payload/copy_plan_rules.h"

#include <gtest/gtest.h>

namespace {

// An update over an earlier installation: Zorvane.exe and Maps\One.map stood,
// Maps\Two.map is new, Sounds\Deep\Hit.wav comes with two new folders, and
// zorvane.EXE comes a second time (the same name to the file system).
TEST(PayloadCopyPlan, EarlierFilesAreKeptOnceAndOnlyWhatThisRunMadeIsRolledBack)
{
  CopyPlan plan;
  StartPlan(&plan);
  ASSERT_TRUE(AddPlannedEntry(&plan, "Zorvane.exe", 0, true));
  ASSERT_TRUE(AddPlannedEntry(&plan, "Maps\\One.map", 1, true));
  ASSERT_TRUE(AddPlannedEntry(&plan, "Maps\\Two.map", 1, false));
  ASSERT_TRUE(AddPlannedEntry(&plan, "Sounds\\Deep\\Hit.wav", 0, false));
  ASSERT_TRUE(AddPlannedEntry(&plan, "zorvane.EXE", 0, true));
  EXPECT_TRUE(MustKeepEarlier(&plan, 0));
  EXPECT_FALSE(MustKeepEarlier(&plan, 2));
  NoteKept(&plan, 0);
  NotePlaced(&plan, 0);
  // The second entry of the name replaces this run's own file.
  EXPECT_FALSE(MustKeepEarlier(&plan, 4));
  NotePlaced(&plan, 4);
  NotePlaced(&plan, 1);
  NotePlaced(&plan, 2);
  NoteKept(&plan, 1);
  // Only the files this run placed go (Hit.wav never took its name); kept
  // ones are put back over theirs.
  const bool removed[] = {false, false, true, false, false};
  for (int index = 0; index < 5; ++index)
    EXPECT_EQ(RollbackRemovesFile(&plan, index), removed[index]) << index;
  // Maps stood; Sounds and Sounds\Deep did not.
  EXPECT_FALSE(RollbackRemovesFolder(&plan, 1, 0));
  EXPECT_TRUE(RollbackRemovesFolder(&plan, 3, 0));
  EXPECT_TRUE(RollbackRemovesFolder(&plan, 3, 1));
  EXPECT_FALSE(RollbackRemovesFolder(&plan, 3, 2));
}

TEST(PayloadCopyPlan, HoldsThePayloadsEntriesAndNoMore)
{
  CopyPlan plan;
  StartPlan(&plan);
  for (int index = 0; index < PlanCapacity; ++index)
    ASSERT_TRUE(AddPlannedEntry(&plan, "a", 0, false));
  EXPECT_FALSE(AddPlannedEntry(&plan, "b", 0, false));
  EXPECT_EQ(plan.count, PayloadEntryCount);
}

}  // namespace
