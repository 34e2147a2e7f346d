// The extraction sequence (see extraction.h). Any failed step stops it:
// before the archive is read with ProblemNoArchive, at an entry silently;
// the work folder is removed whatever happened.
#include "payload/extraction.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

#include "payload/copy_plan.h"
#include "payload/entry_install.h"
#include "payload/gunzip.h"
#include "payload/install_tree.h"
#include "payload/kept_files.h"
#include "common/held_file.h"
#include "common/install_facts.h"
#include "common/path_text.h"
#include "common/private_dir.h"
#include "resources/setup_texts.h"

namespace {

void BeginStage(const ExtractionObserver *observer, ExtractionStage stage)
{
  if (observer->stageBegins != nullptr)
    observer->stageBegins(observer->context, stage);
}

void EndStage(const ExtractionObserver *observer, ExtractionStage stage)
{
  if (observer->stageEnds != nullptr)
    observer->stageEnds(observer->context, stage);
}

// The private work folder: for an elevated setup in the Windows folder's
// Temp, otherwise in the temporary directory (the start-up directory when
// the system names none); see PrivateDirParent. The work files are made
// relative to its held handle; their paths are for messages only. madeDir
// says whether the folder stands (and must go).
struct WorkFolder {
  char dir[PathBufferSize];
  char gzipPath[PathBufferSize];
  char archivePath[PathBufferSize];
  HANDLE held;
  bool madeDir;
};

constexpr const char *GzipFileName = "filesdata.gz";
constexpr const char *ArchiveFileName = "filesdata.dat";

void MakeWorkFolder(WorkFolder *work, const char *startDir)
{
  // The folder the work folder goes into, without a trailing "\".
  char parent[ShortPathSize];
  work->held = INVALID_HANDLE_VALUE;
  work->madeDir =
      PrivateDirParent(parent, sizeof(parent), startDir) &&
      MakePrivateDir(parent, "zv", HoldForRemoval, work->dir, sizeof(work->dir), &work->held);
  // A path too long to show is shown empty; the files need none.
  if (!work->madeDir || !JoinPath(work->gzipPath, sizeof(work->gzipPath), work->dir, GzipFileName))
    work->gzipPath[0] = '\0';
  if (!work->madeDir ||
      !JoinPath(work->archivePath, sizeof(work->archivePath), work->dir, ArchiveFileName))
    work->archivePath[0] = '\0';
}

// The two temporary files live in the private work folder, only as long as
// their handles: each is a new file made below the held folder (nothing
// that stood at the name is opened, and no name above it is looked up
// again), removed when its last handle closes, also when setup is killed.
// Nothing reopens them by name.
HANDLE CreateWorkFile(const WorkFolder *work, const char *name)
{
  if (!work->madeDir)
    return INVALID_HANDLE_VALUE;
  BelowOpen request = {};
  request.root = work->held;
  request.name = name;
  request.access = GENERIC_READ | GENERIC_WRITE | DELETE;
  request.disposition = BelowCreateNew;
  request.options = BelowNonDirectory | BelowDeleteOnClose;
  request.attributes = FILE_ATTRIBUTE_TEMPORARY;
  HANDLE file = INVALID_HANDLE_VALUE;
  OpenBelow(request, &file);
  return file;
}

// A second handle of the same open file, to give away while the first
// keeps the file.
HANDLE SecondHandle(HANDLE file)
{
  HANDLE copy = INVALID_HANDLE_VALUE;
  HANDLE process = GetCurrentProcess();
  if (file == INVALID_HANDLE_VALUE ||
      !DuplicateHandle(process, file, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
    return INVALID_HANDLE_VALUE;
  return copy;
}

bool Rewind(HANDLE file)
{
  return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

// The payload goes to its file in pieces of this size. One write of the
// whole resource from the mapped image stalled under Wine from run to run
// (40 to 390 ms for 153 MB, against 38 to 48 ms in these pieces); 4 MiB
// pieces were as slow as one write, 64 KiB pieces a little slower.
constexpr DWORD PayloadWritePiece = 1024 * 1024;

// Copies the payload, unchanged, into the open file, and leaves it at its
// start for reading.
bool WritePayload(HANDLE file, const ExtractionSource *source)
{
  if (source->payload == nullptr)
    return false;
  const unsigned char *bytes = static_cast<const unsigned char *>(source->payload);
  for (DWORD done = 0; done < source->payloadSize;) {
    DWORD left = source->payloadSize - done;
    DWORD piece = left < PayloadWritePiece ? left : PayloadWritePiece;
    DWORD written = 0;
    if (!WriteFile(file, bytes + done, piece, &written, nullptr) || written != piece)
      return false;
    done += piece;
  }
  return Rewind(file);
}

// The archive as a stdio stream over the kept handle, from its start; the
// stream owns the handle from here (fclose removes the file), null when it
// could not be made (the handle is closed then).
FILE *OpenArchiveStream(HANDLE file)
{
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  int descriptor =
      Rewind(file) ? _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY) : -1;
  if (descriptor < 0) {
    CloseHandle(file);
    return nullptr;
  }
  FILE *archive = _fdopen(descriptor, "rb");
  if (archive == nullptr)
    _close(descriptor);
  return archive;
}

// The gzip step's messages go to the observer whole: a direct text as it
// is, an error after GzipErrorPrefix and ": ".
void TellGzipText(void *context, const char *text)
{
  const ExtractionObserver *observer = static_cast<const ExtractionObserver *>(context);
  observer->problem(observer->context, ProblemGzipStep, text);
}

void TellGzipError(void *context, const char *text)
{
  char message[GzipMessageSize];
  FormatGzipError(message, sizeof(message), text);
  TellGzipText(context, message);
}

// The payload through the gzip step into the work folder's archive: the
// stream over it (see OpenArchiveStream), null when any step failed.
FILE *MakeArchive(const WorkFolder *work, const ExtractionSource *source,
                  const ExtractionObserver *observer)
{
  BeginStage(observer, StageWriteGzip);
  HANDLE gzipFile = CreateWorkFile(work, GzipFileName);
  bool written = gzipFile != INVALID_HANDLE_VALUE && WritePayload(gzipFile, source);
  EndStage(observer, StageWriteGzip);
  if (!written) {
    if (gzipFile != INVALID_HANDLE_VALUE)
      CloseHandle(gzipFile);
    return nullptr;
  }

  BeginStage(observer, StageGunzip);
  observer->showStatus(observer->context, DecompressingText, true);
  HANDLE archiveFile = CreateWorkFile(work, ArchiveFileName);
  // The gzip step takes over the compressed file (it goes at its close)
  // and a second handle of the archive, whose own handle keeps it.
  FILE *archive = nullptr;
  GzipReporter reporter = {TellGzipText, TellGzipError, const_cast<ExtractionObserver *>(observer)};
  if (GunzipHeld(gzipFile, SecondHandle(archiveFile), work->archivePath, work->gzipPath, &reporter))
    archive = OpenArchiveStream(archiveFile);
  else if (archiveFile != INVALID_HANDLE_VALUE)
    CloseHandle(archiveFile);
  EndStage(observer, StageGunzip);
  return archive;
}

// Before the first entry is written, one look at every destination builds
// the plan: every destination must fit (the copy stops with a box naming
// the install folder otherwise), none may pass through a link or junction
// (a box names it), and none may be in use (the user closes it and looks
// again, or cancels). Nothing is written when this says no. Leaves the
// archive at its start.
bool PlanCopy(FILE *archive, int count, const char *installDir, HANDLE root, CopyPlan *plan,
              const ExtractionObserver *observer)
{
  char path[PathBufferSize];
  for (;;) {
    switch (BuildCopyPlan(archive, count, installDir, root, plan, path, sizeof(path))) {
      case PlanReady:
        return true;
      case PlanNoRoom:
        observer->problem(observer->context, ProblemNoRoom, path);
        return false;
      case PlanLink:
        observer->problem(observer->context, ProblemLinkInside, path);
        return false;
      case PlanInUse:
        if (!observer->retryInUse(observer->context, path))
          return false;
        break;
    }
  }
}

// A kept file that could not be put back: the observer names it.
void TellNotPutBack(void *context, const char *keptPath)
{
  const ExtractionObserver *observer = static_cast<const ExtractionObserver *>(context);
  observer->problem(observer->context, ProblemNotPutBack, keptPath);
}

// The write pass, following the plan entry by entry.
struct PlannedWrite {
  const ExtractionObserver *observer;
  CopyPlan *plan;
  KeptFolder kept;
  int index;
};

// Each entry's destination goes to the status line (painted when the
// caller next lets it) and advances the progress.
void AnnounceEntry(void *context, const char *destinationPath)
{
  const ExtractionObserver *observer = static_cast<PlannedWrite *>(context)->observer;
  observer->showStatus(observer->context, destinationPath, false);
  observer->progressStep(observer->context);
}

// Before the entry's part file takes its name: the earlier file there, if
// the plan found one and no entry of the name kept it yet, goes into the
// kept folder. An entry the plan does not hold fails.
bool ClearWay(void *context, HANDLE folder, const char *leaf)
{
  PlannedWrite *write = static_cast<PlannedWrite *>(context);
  if (write->index >= write->plan->count)
    return false;
  if (!MustKeepEarlier(write->plan, write->index))
    return true;
  if (!KeepEarlierFile(&write->kept, folder, leaf, write->plan->entries[write->index].name))
    return false;
  NoteKept(write->plan, write->index);
  return true;
}

void NotePlacedEntry(void *context)
{
  PlannedWrite *write = static_cast<PlannedWrite *>(context);
  NotePlaced(write->plan, write->index);
}

// The earlier part files swept, AImages, then the entries in archive
// order; between two files the observer may stop the copy. After the last
// entry the kept files go; after a stop or a failure, the install folder
// is put back as it was before.
bool WriteEntries(FILE *archive, int count, const char *installDir, HANDLE root, CopyPlan *plan,
                  const ExtractionObserver *observer)
{
  SweepPlannedFolders(plan, root);
  // Made empty for the application's saved pictures; it may exist.
  OpenPlainBelow(root, ImagesDirName, true, true, nullptr);
  PlannedWrite write = {observer, plan, {}, 0};
  StartKeptFolder(&write.kept, root);
  EntryAnnouncer announcer = {AnnounceEntry, &write, ClearWay, NotePlacedEntry};
  bool done = true;
  for (write.index = 0; done && write.index < count; ++write.index)
    done = InstallArchiveEntry(archive, root, installDir, &announcer) == EntryInstalled &&
           observer->goOn(observer->context);
  if (done) {
    BeginStage(observer, StageKeptGone);
    DiscardKeptFolder(&write.kept);
    EndStage(observer, StageKeptGone);
  } else {
    NotPutBackReport report = {TellNotPutBack, const_cast<ExtractionObserver *>(observer)};
    RollBackCopy(plan, root, installDir, &write.kept, &report);
  }
  return done;
}

}  // namespace

bool RunExtraction(const ExtractionSource *source, const char *installDir, HANDLE installHeld,
                   const ExtractionObserver *observer)
{
  WorkFolder work;
  BeginStage(observer, StageWorkDir);
  MakeWorkFolder(&work, source->startDir);
  EndStage(observer, StageWorkDir);

  observer->showStatus(observer->context, PreparingText, true);
  observer->progressStep(observer->context);

  FILE *archive = MakeArchive(&work, source, observer);
  bool done = false;
  if (archive == nullptr) {
    observer->problem(observer->context, ProblemNoArchive, nullptr);
  } else {
    BeginStage(observer, StageCheck);
    HANDLE root = installHeld;
    if (root == INVALID_HANDLE_VALUE && OpenInstallFolder(installDir, &root) == TreeLink)
      observer->problem(observer->context, ProblemLinkInside, installDir);
    // What a setup ended from outside kept aside goes back first: the
    // earlier installation is what this copy replaces, and what its own
    // rollback leaves.
    NotPutBackReport report = {TellNotPutBack, const_cast<ExtractionObserver *>(observer)};
    if (root != INVALID_HANDLE_VALUE)
      PutBackKeptFolders(root, installDir, &report);
    // One record per entry: an archive of more entries than the payload's
    // count is not planned, and nothing is written.
    CopyPlan plan;
    bool ready = root != INVALID_HANDLE_VALUE && source->entryCount <= PlanCapacity &&
                 PlanCopy(archive, source->entryCount, installDir, root, &plan, observer);
    EndStage(observer, StageCheck);
    if (ready) {
      BeginStage(observer, StageEntries);
      done = WriteEntries(archive, source->entryCount, installDir, root, &plan, observer);
      EndStage(observer, StageEntries);
    }
    if (root != installHeld && root != INVALID_HANDLE_VALUE)
      CloseHandle(root);
  }

  BeginStage(observer, StageCleanUp);
  if (archive != nullptr)
    std::fclose(archive);
  observer->showStatus(observer->context, DeletingTempText, false);
  // The work files are gone with their handles by now; the folder goes
  // through its own.
  if (work.madeDir)
    ClosePrivateDir(work.held);
  EndStage(observer, StageCleanUp);
  return done;
}
