// What the uninstaller tells the user and its exit code: the tally of the
// steps' results and the last message, made of uninstall_texts.h. Plain C++ with no
// Windows header.
#pragma once

#include <cstddef>

#include "uninstall/removal_plan.h"
#include "common/product.h"

// Exit codes: everything setup made is gone (user files may stay); nothing
// was done (not installed, refused, answered No); something stayed.
inline constexpr int ExitRemoved = 0;
inline constexpr int ExitNothingDone = 1;
inline constexpr int ExitIncomplete = 2;

struct RemovalTally {
  int failed;
  int scheduled;
  bool keysKept;
  char firstFailure[ShortPathSize];  // the step path that failed first
  bool firstFailureIsKey;
  char programKept[ShortPathSize];  // "" unless the program folder stays
  char groupKept[ShortPathSize];    // "" unless the group folder stays
};

void NoteStepResult(RemovalTally *tally, const RemovalStep &step, StepResult result);

// The steps that wait for the earlier ones (the keys, the uninstaller, the
// program folder) go only when every earlier step went (or goes at
// restart) and none of them was kept, so that the uninstaller can be run
// again otherwise.
bool KeysMayGo(const RemovalTally &tally);

int RemovalExitCode(const RemovalTally &tally);

// The last message, cut to size bytes. True for the success wording (an
// information box), false when something stayed (an error box).
bool ComposeRemovalReport(const RemovalTally &tally, char *text, size_t size);

// The refusal of a registered folder that does not look like the
// installation, naming it (cut to fit when it is too long to show).
void ComposeRefusal(const char *programDir, char *text, size_t size);
