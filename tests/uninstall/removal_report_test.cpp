#include "uninstall/removal_report.h"
#include "uninstall/uninstall_texts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(RemovalReport, SaysWhatStayedAndKeepsTheKeysWhenAFileStays)
{
  RemovalStep program = {StepRemoveFolder, RoleProgramFolder, "C:\\Z"};
  RemovalStep file = {StepDeleteFile, RoleItem, "C:\\Z\\Zorvane.exe"};
  RemovalTally tally = {};
  char text[1024];
  NoteStepResult(&tally, file, ResultScheduled);
  NoteStepResult(&tally, program, ResultKept);
  EXPECT_TRUE(KeysMayGo(tally));
  EXPECT_TRUE(ComposeRemovalReport(tally, text, sizeof(text)));
  EXPECT_EQ(RemovalExitCode(tally), ExitRemoved);
  EXPECT_EQ(std::string(text),
            std::string(RemovedText) + FolderKeptLead + "C:\\Z" + FolderKeptTail + RestartText);

  RemovalTally failed = {};
  NoteStepResult(&failed, file, ResultFailed);
  EXPECT_FALSE(KeysMayGo(failed));
  NoteStepResult(&failed, {StepRemoveKey, RoleItem, "SOFTWARE\\K"}, ResultKeyKept);
  EXPECT_FALSE(ComposeRemovalReport(failed, text, sizeof(text)));
  EXPECT_EQ(RemovalExitCode(failed), ExitIncomplete);
  std::string failure = std::string(NotRemovedLead) + "C:\\Z\\Zorvane.exe" + NotRemovedTail;
  EXPECT_EQ(std::string(text), failure + StaysRegisteredText);
  // With two failures the first is named.
  NoteStepResult(&failed, {StepRemoveKey, RoleItem, "SOFTWARE\\K"}, ResultFailed);
  ComposeRemovalReport(failed, text, sizeof(text));
  EXPECT_EQ(std::string(text).rfind(failure, 0), 0u) << text;
  // Cut to the buffer, never beyond it.
  char small[20];
  std::memset(small, '#', sizeof(small));
  ComposeRemovalReport(tally, small, 12);
  EXPECT_EQ(std::string(small), std::string(RemovedText, 11));
  EXPECT_EQ(small[12], '#');
}

TEST(RemovalReport, AFolderHoldingAFileThatGoesAtRestartGoesWithIt)
{
  RemovalPlan plan = {};
  plan.count = 3;
  plan.steps[0] = {StepDeleteFile, RoleItem, "C:\\Z\\Maps\\a.map"};
  plan.steps[1] = {StepRemoveFolder, RoleItem, "C:\\Z\\Map"};
  plan.steps[2] = {StepRemoveFolder, RoleItem, "C:\\Z\\MAPS"};
  StepResult results[] = {ResultScheduled, ResultKept, ResultKept};
  EXPECT_FALSE(ScheduledInside(plan, results, 1));
  EXPECT_TRUE(ScheduledInside(plan, results, 2));
}

TEST(RemovalReport, RefusalNamesTheFolderCutWhenTooLong)
{
  char text[1024];
  ComposeRefusal("C:\\", text, sizeof(text));
  EXPECT_EQ(std::string(text), std::string(RefusalLead) + "C:\\" + RefusalTail);
  ComposeRefusal(std::string(600, 'x').c_str(), text, sizeof(text));
  EXPECT_EQ(std::string(text),
            std::string(RefusalLead) + std::string(259, 'x') + CutMark + RefusalTail);
}

}  // namespace
