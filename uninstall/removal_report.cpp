#include "uninstall/removal_report.h"

#include <cstring>

#include "uninstall/uninstall_texts.h"
#include "common/path_text.h"

void NoteStepResult(RemovalTally *tally, const RemovalStep &step, StepResult result)
{
  switch (result) {
    case ResultScheduled:
      ++tally->scheduled;
      break;
    case ResultKept:
      if (step.role == RoleProgramFolder)
        CopyCut(tally->programKept, sizeof(tally->programKept), step.path);
      else if (step.role == RoleGroupFolder)
        CopyCut(tally->groupKept, sizeof(tally->groupKept), step.path);
      break;
    case ResultFailed:
      if (tally->failed++ == 0) {
        CopyCut(tally->firstFailure, sizeof(tally->firstFailure), step.path);
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

bool KeysMayGo(const RemovalTally &tally)
{
  return tally.failed == 0 && !tally.keysKept;
}

int RemovalExitCode(const RemovalTally &tally)
{
  return tally.failed == 0 && !tally.keysKept ? ExitRemoved : ExitIncomplete;
}

namespace {

void AppendKeptLine(char *text, size_t size, size_t *length, const char *folder)
{
  if (folder[0] == '\0')
    return;
  AppendCut(text, size, length, FolderKeptLead);
  AppendCut(text, size, length, folder);
  AppendCut(text, size, length, FolderKeptTail);
}

}  // namespace

bool ComposeRemovalReport(const RemovalTally &tally, char *text, size_t size)
{
  size_t length = 0;
  if (size > 0)
    text[0] = '\0';
  bool removed = RemovalExitCode(tally) == ExitRemoved;
  if (removed) {
    AppendCut(text, size, &length, RemovedText);
  } else {
    AppendCut(text, size, &length, NotRemovedLead);
    if (tally.firstFailureIsKey)
      AppendCut(text, size, &length, FailedKeyPrefix);
    AppendCut(text, size, &length, tally.firstFailure);
    AppendCut(text, size, &length, NotRemovedTail);
    if (tally.keysKept)
      AppendCut(text, size, &length, StaysRegisteredText);
  }
  AppendKeptLine(text, size, &length, tally.programKept);
  AppendKeptLine(text, size, &length, tally.groupKept);
  if (tally.scheduled > 0)
    AppendCut(text, size, &length, RestartText);
  return removed;
}

void ComposeRefusal(const char *programDir, char *text, size_t size)
{
  // The value is shown whole up to a path's length; a longer one is cut.
  char shown[ShortPathSize + sizeof(CutMark) - 1];
  if (CopyCut(shown, ShortPathSize, programDir) >= ShortPathSize)
    std::strcat(shown, CutMark);
  size_t length = 0;
  if (size > 0)
    text[0] = '\0';
  AppendCut(text, size, &length, RefusalLead);
  AppendCut(text, size, &length, shown);
  AppendCut(text, size, &length, RefusalTail);
}
