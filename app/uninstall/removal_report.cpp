#include "app/uninstall/removal_report.h"

#include <cstring>

#include "common/path_text.h"

void NoteStepResult(RemovalTally *tally, const RemovalStep &step, StepResult result)
{
  switch (result) {
    case ResultScheduled:
      ++tally->scheduled;
      break;
    case ResultKept:
      if (step.role == RoleProgramFolder)
        CopyCut(tally->programKept, sizeof tally->programKept, step.path);
      else if (step.role == RoleGroupFolder)
        CopyCut(tally->groupKept, sizeof tally->groupKept, step.path);
      break;
    case ResultFailed:
      if (tally->failed++ == 0) {
        CopyCut(tally->firstFailure, sizeof tally->firstFailure, step.path);
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

static void AppendKeptLine(char *text, size_t size, size_t *length, const char *folder)
{
  if (folder[0] == '\0')
    return;
  AppendCut(text, size, length, "\r\nThe folder ");
  AppendCut(text, size, length, folder);
  AppendCut(text, size, length, " was kept: it holds files that setup did not install.");
}

bool ComposeRemovalReport(const RemovalTally &tally, char *text, size_t size)
{
  size_t length = 0;
  if (size > 0)
    text[0] = '\0';
  bool removed = RemovalExitCode(tally) == ExitRemoved;
  if (removed) {
    AppendCut(text, size, &length, ZV_PRODUCT_TITLE " was removed from your computer.");
  } else {
    AppendCut(text, size, &length, ZV_PRODUCT_TITLE " was not removed completely: ");
    if (tally.firstFailureIsKey)
      AppendCut(text, size, &length, "the registry key HKEY_LOCAL_MACHINE\\");
    AppendCut(text, size, &length, tally.firstFailure);
    AppendCut(text, size, &length, " could not be removed.");
    if (tally.keysKept)
      AppendCut(text, size, &length,
                " It stays registered, so that you can run the uninstaller again.");
  }
  AppendKeptLine(text, size, &length, tally.programKept);
  AppendKeptLine(text, size, &length, tally.groupKept);
  if (tally.scheduled > 0)
    AppendCut(text, size, &length,
              "\r\nSome files are in use and will be removed when Windows restarts.");
  return removed;
}

void ComposeRefusal(const char *programDir, char *text, size_t size)
{
  // The value is shown whole up to a path's length; a longer one is cut.
  char shown[ShortPathSize + 3];
  if (CopyCut(shown, ShortPathSize, programDir) >= ShortPathSize)
    std::strcat(shown, "...");
  size_t length = 0;
  if (size > 0)
    text[0] = '\0';
  AppendCut(text, size, &length, "The registered folder ");
  AppendCut(text, size, &length, shown);
  AppendCut(text, size, &length, " does not hold " ZV_PRODUCT_TITLE ". Nothing was removed.");
}
