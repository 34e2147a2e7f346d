// The extraction as one sequence with no window of its own: the payload
// bytes -> filesdata.gz in a private work folder (in the Windows folder's
// Temp when elevated, else in the temporary directory) -> filesdata.dat
// (gzip step) -> one look at every destination, which plans the copy ->
// AImages and the files below the install folder, each earlier file they
// replace kept aside until the last entry is placed -> the work folder
// removed. Whatever is shown or timed comes from the caller's observer: the
// copy page gives it the status line, the progress bar and the message
// pump, the benchmark its stage clocks.
#pragma once

#include <windows.h>

#include <cstdint>

// The steps in the order they run; each one that starts is reported begun
// and ended, also when it fails.
enum ExtractionStage {
  StageWorkDir = 0,  // the private work folder made
  StageWriteGzip,    // the payload written as filesdata.gz
  StageGunzip,       // the gzip step into filesdata.dat
  StageCheck,        // kept files of a killed setup put back; the plan: every
                     // destination fits, passes no link and is not in use
  StageEntries,      // AImages made and the entries written; the kept files
                     // removed, or on a stop or failure put back
  StageCleanUp,      // the archive closed and the work folder removed
  StageKeptGone,     // within StageEntries, after the last entry: the earlier
                     // files the copy replaced removed with the kept folder
  ExtractionStageCount,
};

// What went wrong, told once each through ExtractionObserver::problem with
// its detail.
enum ExtractionProblem {
  // The gzip step's own message, whole: "Can't open file ..." or "Can't
  // create file ...", or GzipErrorPrefix, ": " and its error.
  ProblemGzipStep = 0,
  // No archive could be made: no work folder, the payload not written, or
  // the gzip step failed. No detail (null).
  ProblemNoArchive,
  // The look before the first write found a link or junction where setup
  // would write, and nothing was written; detail is its path.
  ProblemLinkInside,
  // The files do not fit below the install folder, and nothing was
  // written; detail is the install folder.
  ProblemNoRoom,
  // A file of the earlier installation, kept aside while the copy replaced
  // it, could not be put back under its own name (a running program or a
  // folder stands there); detail is the kept file's full path, where it
  // stays.
  ProblemNotPutBack,
};

struct ExtractionObserver {
  void *context;
  // Around each stage (either may be null).
  void (*stageBegins)(void *context, ExtractionStage stage);
  void (*stageEnds)(void *context, ExtractionStage stage);
  // A status text: a phase, painted before the step runs when paintNow,
  // or an entry's destination path, painted whenever the caller next lets
  // it paint.
  void (*showStatus)(void *context, const char *text, bool paintNow);
  // One step of entryCount + 1: once before the gzip step, once per entry.
  void (*progressStep)(void *context);
  // After each entry that was written: false stops the copy (Cancel).
  bool (*goOn)(void *context);
  // path, a destination, is in use: true looks again from the first entry
  // (Retry), false gives the copy up (Cancel).
  bool (*retryInUse)(void *context, const char *path);
  // Every problem, as it happens (see ExtractionProblem).
  void (*problem)(void *context, ExtractionProblem kind, const char *detail);
};

struct ExtractionSource {
  const void *payload;  // the gzip file, as the payload resource holds it
  uint32_t payloadSize;
  int entryCount;        // how many entries the archive holds
  const char *startDir;  // the temporary directory when the system has none
};

// Runs every step for source into installDir, telling observer. Every
// write below the install folder goes through installHeld, the install
// folder held open (INVALID_HANDLE_VALUE: opened here, refusing a link or
// junction, and closed at the end; a handle given stays the caller's). true
// when every entry was written; false when a step failed, a destination did
// not fit or met a link, or the observer said Cancel. The work folder is
// removed whatever happened. After a stop or a failure once the writing
// began, the install folder is as it was before: each replaced file back
// under its name, each file and folder this run added gone (the install
// folder itself stays: the caller knows whether it made it).
bool RunExtraction(const ExtractionSource *source, const char *installDir, HANDLE installHeld,
                   const ExtractionObserver *observer);
