// The copy plan: what one look at the archive, before anything is written,
// settles about each entry, and what the write pass and the rollback then
// follow. One record per entry (PayloadEntryCount of them, a build
// constant), never anything per byte: memory stays flat.
// No Windows header: tested natively.
#pragma once

#include <cstddef>

#include "payload/archive_entry.h"
#include "common/product.h"

inline constexpr int PlanCapacity = PayloadEntryCount;

// What an entry's record says, as bits.
enum PlanFlag : unsigned {
  PlanEarlierFile = 1u,  // a plain, writable file stood at its name before the copy
  PlanKept = 2u,         // that earlier file was moved into the kept folder
  PlanPlaced = 4u,       // this run's file took the name
};

struct PlannedEntry {
  char name[EntryNameBufferSize];  // relative to the install folder, "\" between levels
  int first;                       // the first entry of the same name (itself when none)
  int levelsBefore;                // how many of the name's folder levels stood before
  unsigned flags;                  // PlanFlag bits, kept on the first entry of a name
};

struct CopyPlan {
  int count;
  bool imagesMade;  // AImages did not stand before the copy: this run makes it
  PlannedEntry entries[PlanCapacity];
};

// An empty plan.
void StartPlan(CopyPlan *plan);

// Adds the next entry: its relative name (accepted by CheckInstallName), how
// many of its folder levels exist, and whether an earlier plain, writable
// file stands at its name. A later entry of a name already planned
// (compared without regard to ASCII case, as the file systems compare
// names) refers to the first one: the earlier file is kept once. false when
// the plan is full.
bool AddPlannedEntry(CopyPlan *plan, const char *name, int levelsBefore, bool earlierFile);

// How many folder levels the name has above its file ("a\b\c.txt": 2).
int FolderLevels(const char *name);

// The length of the name's first levels + 1 folder levels ("a\b\c.txt",
// 0: 1 for "a"; 1: 3 for "a\b").
size_t FolderPrefixLength(const char *name, int level);

// Whether the earlier file at entry index's name must go into the kept
// folder before this run's file takes the name: there was one, and no
// earlier entry of the name has kept it yet.
bool MustKeepEarlier(const CopyPlan *plan, int index);

// Notes that entry index's earlier file was kept, or that this run's file
// took its name; both are recorded on the first entry of the name.
void NoteKept(CopyPlan *plan, int index);
void NotePlaced(CopyPlan *plan, int index);

// Whether the rollback removes the file at entry index's name: it is the
// first entry of its name, this run's file took the name, and no earlier
// file was kept for it (a kept one is put back over it instead).
bool RollbackRemovesFile(const CopyPlan *plan, int index);

// Whether the rollback removes entry index's folder at level (0 the
// outermost): this run made it. A folder that is not empty stays anyway.
bool RollbackRemovesFolder(const CopyPlan *plan, int index, int level);
