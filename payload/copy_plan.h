// The one look at the archive before anything is written, which builds the
// copy plan (copy_plan_rules.h), and the rollback that follows it: every
// destination is opened relative to the held install folder, never by its
// full path.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdio>

#include "payload/copy_plan_rules.h"
#include "payload/kept_files.h"

enum PlanVerdict {
  PlanReady = 0,  // every destination fits, none passes a link, none is in use
  PlanNoRoom,     // a destination does not fit the paths' limits
  PlanLink,       // a link or junction stands where setup would write; path names it
  PlanInUse,      // a destination is in use; path names it
};

// Walks the headers of archive's first count entries once (from its start;
// left at its start again) and plans each below the held install folder
// root: its folders that stand, whether an earlier plain, writable file
// stands at its name, and AImages. Stops at the first destination that
// does not fit, passes a link or junction, or is in use (a program holds
// it open for writing or deleting), with path (pathSize bytes) naming it.
// An entry whose header or name is faulty ends the plan there: the copy
// fails at that entry, after the ones before it.
PlanVerdict BuildCopyPlan(FILE *archive, int count, const char *installDir, HANDLE root,
                          CopyPlan *plan, char *path, size_t pathSize);

// Sweeps the part files of an earlier setup ended from outside in the
// install folder and in each planned entry's folder that stands.
void SweepPlannedFolders(const CopyPlan *plan, HANDLE root);

// Puts the install folder back as it was before the copy: the files this
// run placed where nothing was kept are removed, every kept file goes back
// under its own name (a file that cannot is told to report and stays in
// the kept folder), and the folders this run made go when they are empty.
// The user's own files are never touched.
void RollBackCopy(CopyPlan *plan, HANDLE root, const char *installDir, KeptFolder *kept,
                  const NotPutBackReport *report);
