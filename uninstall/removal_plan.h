// Which files, folders and keys the uninstaller removes, and in what order.
// Plain C++ with no Windows header.
#pragma once

#include "uninstall/removal_refusals.h"

enum StepAction {
  StepDeleteFile = 0,
  StepRemoveFolder,  // only when empty
  StepRemoveKey,     // path is the key below HKEY_LOCAL_MACHINE
  StepHandOff,       // the copy hands its result over and waits for the first process
};

enum StepRole {
  RoleItem = 0,
  RoleProgramFolder,  // "Progdir" itself
  RoleGroupFolder,    // "Scdir" itself
  RoleUninstaller,    // "Progdir"\uninstall.exe
};

struct RemovalStep {
  StepAction action;
  StepRole role;
  char path[ShortPathSize];
};

inline constexpr int MaxRemovalSteps = 4 * PayloadEntryCount + 16;

struct RemovalPlan {
  char programDir[ShortPathSize];  // "Progdir" without a trailing backslash
  int count;
  RemovalStep steps[MaxRemovalSteps];
};

// The ordered steps: the desktop link and the three links of the group
// folder, each when it points at the file in the program folder that setup
// made it for, and the group folder when it is named after the product;
// the listed files but uninstall.exe that exist as plain files in plain
// folders; the folders of the list and AImages, deepest first; the App
// Paths and the Uninstall key; with handOff (the copy run from the
// temporary folder) a StepHandOff; uninstall.exe and the program folder.
// Nothing is planned (count 0) unless programDir passes CheckProgramDir;
// the verdict is returned.
FolderVerdict PlanRemoval(const RegisteredInstall &facts, bool handOff, const RemovalLookup &lookup,
                          RemovalPlan *plan);

// Whether setup writes the value valueName under keyPath (below
// HKEY_LOCAL_MACHINE), one of the keys the plan removes. Names compare
// without regard to ASCII case, as the registry's do; "" is the default
// value. A key holding a value for which this is false is not setup's alone.
bool SetupWroteValue(const char *keyPath, const char *valueName);

// The steps that go only when every earlier one went: the keys, then the
// uninstaller and the program folder, so that the product stays registered
// with its uninstaller whenever anything stays.
bool WaitsForEarlierSteps(const RemovalStep &step);

// True when an earlier step (before stepIndex) that was scheduled for
// restart lies inside the folder of step stepIndex.
bool ScheduledInside(const RemovalPlan &plan, const StepResult *results, int stepIndex);
