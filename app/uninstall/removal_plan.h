// The uninstaller's decisions: whether the registered folders may be
// touched, which files, folders and keys go and in what order, and what the
// user is told at the end. The disk is seen through RemovalLookup, so the
// rules run natively against a fake; the Win32 side carries the steps out.
// Plain C++ with no Windows header.
#pragma once

#include <cstddef>

#include "common/product.h"

#define ZV_UNINSTALL_CAPTION ZV_PRODUCT_TITLE " - Uninstall"
inline constexpr const char *UninstallCaption = ZV_UNINSTALL_CAPTION;
inline constexpr const char *NotInstalledText =
    ZV_PRODUCT_TITLE " is not installed on this computer.";
inline constexpr const char *RemoveQuestionText =
    "Remove " ZV_PRODUCT_TITLE " and its shortcuts from this computer?";

// Exit codes: everything setup made is gone (user files may stay); nothing
// was done (not installed, refused, answered No); something stayed.
inline constexpr int ExitRemoved = 0;
inline constexpr int ExitNothingDone = 1;
inline constexpr int ExitIncomplete = 2;

enum PathKind {
  PathMissing = 0,
  PathFile,
  PathFolder,
  PathReparse,  // a link or junction, file or folder: never entered, never removed
};

struct RemovalLookup {
  PathKind (*kind)(const char *path, void *context);
  // The target of the shell link at linkPath, into target (targetSize
  // bytes); false when the link cannot be read or the target does not fit.
  bool (*linkTarget)(const char *linkPath, char *target, size_t targetSize, void *context);
  void *context;
};

// What the registry says about the installation, as read; null for what is
// not there.
struct InstallFacts {
  const char *programDir;    // "Progdir"
  const char *groupDir;      // "Scdir"
  const char *desktopDir;    // the all-users desktop ("Common Desktop")
  const char *windowsDir;    // the Windows directory
  const char *const *names;  // the payload's files, relative to programDir
  int nameCount;
};

enum FolderVerdict {
  FolderAccepted = 0,
  FolderNotFullPath,   // not X:\..., or a component that is empty, "." or "..", ends in
                       // a dot or a space, or holds a character no folder name has
  FolderTooLong,       // more than MaxWindowsPath characters
  FolderIsDriveRoot,   // X:\ itself
  FolderHoldsWindows,  // the Windows directory or a folder above it
  FolderNotOurs,       // not a plain folder holding uninstall.exe
  FolderPlanTooLarge,  // the list needs more steps than a plan holds
};

// The shape rules for a folder value of the registry: a full path with a
// drive letter, not a root, within MaxWindowsPath, neither the Windows
// directory nor above it. One trailing backslash is allowed.
FolderVerdict CheckFolderValue(const char *folder, const char *windowsDir);

// CheckFolderValue, and the folder is a plain folder (not a link) holding
// the file uninstall.exe.
FolderVerdict CheckProgramDir(const char *programDir, const char *windowsDir,
                              const RemovalLookup &lookup);

// True when a and b name the same path without regard to ASCII case or to
// one trailing backslash.
bool SamePath(const char *a, const char *b);

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
};

struct RemovalStep {
  StepAction action;
  StepRole role;
  char path[ShortPathSize];
};

inline constexpr int MaxRemovalSteps = 4 * PayloadEntryCount + 16;

struct RemovalPlan {
  int count;
  RemovalStep steps[MaxRemovalSteps];
};

// The ordered steps: the desktop link when it points at the installed
// program; the three links of the group folder and the folder; the listed
// files that exist as plain files in plain folders; the folders of the list
// and AImages, deepest first; the program folder; the App Paths and the
// Uninstall key. With handOff (the copy run from the temporary folder) the
// keys come before a StepHandOff, and the uninstaller's own file and the
// program folder after it. Nothing is planned (count 0) unless programDir
// passes CheckProgramDir; the verdict is returned.
FolderVerdict PlanRemoval(const InstallFacts &facts, bool handOff, const RemovalLookup &lookup,
                          RemovalPlan *plan);

enum StepResult {
  ResultDone = 0,   // removed now
  ResultGone,       // not there any more
  ResultScheduled,  // in use: removed when Windows restarts
  ResultKept,       // a folder holding what setup did not install
  ResultFailed,
  ResultKeyKept,  // a key left because a file could not be removed
};

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

// True when an earlier step (before stepIndex) that was scheduled for
// restart lies inside the folder of step stepIndex.
bool ScheduledInside(const RemovalPlan &plan, const StepResult *results, int stepIndex);

// The keys go only when every installed file went (or goes at restart), so
// that the uninstaller can be run again otherwise.
bool KeysMayGo(const RemovalTally &tally);

int RemovalExitCode(const RemovalTally &tally);

// The last message, cut to size bytes. True for the success wording (an
// information box), false when something stayed (an error box).
bool ComposeRemovalReport(const RemovalTally &tally, char *text, size_t size);

// The refusal of a registered folder that does not look like the
// installation, naming it (cut to fit when it is too long to show).
void ComposeRefusal(const char *programDir, char *text, size_t size);
