// Running the uninstaller from outside the folder it removes: a running
// program cannot delete its own file. The first process copies itself into
// a new private folder (common/private_dir.h), starts the copy, schedules the
// file and the folder it made for deletion when Windows restarts and ends
// with the copy's result; the copy takes over and hands its result back
// before it removes the first process's file.
#pragma once

#include "uninstall/uninstall_options.h"

// True when this program is the file uninstall.exe in programDir.
bool RunsFromProgramDir(const char *programDir);

// True when /FROM= names the process that started this one and that
// process runs programDir's uninstall.exe: only then is this the copy, and
// only then does it skip the question and write to the handle it names.
bool IsHandOffFromParent(const UninstallOptions &options, const char *programDir);

// Starts the copy with the same arguments and waits for its result, then
// stores it in *exitCode. False, with nothing left behind, when the copy
// could not be made or started.
bool RunCopyOutside(const char *arguments, int *exitCode);

// The copy's side of the hand-off: gives exitCode to the first process and
// waits for it to end, so that its file can be deleted.
void HandResultBack(const UninstallOptions &options, int exitCode);
