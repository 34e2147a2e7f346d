// Carries a removal plan out on the disk and in the registry.
#pragma once

#include "uninstall/removal_report.h"

// Called at StepHandOff with the exit code that the steps so far give.
typedef void (*HandOffFunction)(int exitCode, void *context);

// Runs the steps in order and notes each result in *tally (zeroed by the
// caller). A file that cannot be deleted now is scheduled for deletion at
// restart; the keys are kept when an installed file could not be removed.
void CarryOutPlan(const RemovalPlan &plan, HandOffFunction handOff, void *context,
                  RemovalTally *tally);
