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

#include "payload/destination_walk.h"
#include "payload/entry_install.h"
#include "payload/gunzip.h"
#include "payload/in_use.h"
#include "payload/install_tree.h"
#include "common/held_file.h"
#include "common/install_facts.h"
#include "common/part_file_sweep.h"
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

// Copies the payload, unchanged, into the open file, and leaves it at its
// start for reading.
bool WritePayload(HANDLE file, const ExtractionSource *source)
{
  if (source->payload == nullptr)
    return false;
  DWORD written = 0;
  return WriteFile(file, source->payload, source->payloadSize, &written, nullptr) &&
         written == source->payloadSize && Rewind(file);
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

// The entry's name inside its destination path (as JoinPath joined them).
const char *RelativeName(const char *destination, const char *installDir)
{
  size_t dirLength = std::strlen(installDir);
  return destination + dirLength + (dirLength == 0 || installDir[dirLength - 1] != '\\' ? 1 : 0);
}

// Looking for a link or junction where setup would write: at a folder of a
// destination, at a destination itself, or at AImages. The first found is
// copied into path, cut after the link's own name.
struct LinkSearch {
  HANDLE root;
  const char *installDir;
  char path[PathBufferSize];
  bool found;
};

bool StopAtLink(void *context, const char *destination)
{
  LinkSearch *search = static_cast<LinkSearch *>(context);
  const char *name = RelativeName(destination, search->installDir);
  size_t linkEnd = 0;
  if (FindLinkOnPath(search->root, name, &linkEnd) != TreeLink)
    return true;
  size_t length = static_cast<size_t>(name - destination) + linkEnd;
  lstrcpynA(search->path, destination, static_cast<int>(length + 1));
  search->found = true;
  return false;
}

bool FindLink(FILE *archive, int count, const char *installDir, HANDLE root, LinkSearch *search)
{
  search->root = root;
  search->installDir = installDir;
  search->found = false;
  if (OpenPlainBelow(root, ImagesDirName, true, false, nullptr) == TreeLink) {
    search->found = JoinPath(search->path, sizeof(search->path), installDir, ImagesDirName);
    return search->found;
  }
  DestinationVisitor visitor = {StopAtLink, search};
  WalkArchiveFile(archive, count, installDir, &visitor);
  return search->found;
}

// Before the first entry is written: every destination must fit (the copy
// stops with a box naming the install folder otherwise), none may pass
// through a link or junction (a box names it), and none may be in use (the
// user closes it, or cancels). Nothing is written when this says no.
// Leaves the archive at its start.
bool ReadyToWrite(FILE *archive, int count, const char *installDir, HANDLE root,
                  const ExtractionObserver *observer)
{
  if (WalkArchiveFile(archive, count, installDir, nullptr) != WalkAllFit) {
    observer->problem(observer->context, ProblemNoRoom, installDir);
    return false;
  }
  LinkSearch search;
  if (FindLink(archive, count, installDir, root, &search)) {
    observer->problem(observer->context, ProblemLinkInside, search.path);
    return false;
  }
  return WaitUntilNothingInUse(archive, count, installDir, observer->retryInUse, observer->context);
}

// Part files that an earlier setup, ended from outside at the wrong moment,
// left in the install folder or in a folder the payload names: they go
// before the first entry is written. Entries come sorted, so a folder
// already swept is the one just before.
struct PartSweep {
  HANDLE root;
  const char *installDir;
  char lastFolder[PathBufferSize];
};

bool SweepEntryFolder(void *context, const char *destination)
{
  PartSweep *sweep = static_cast<PartSweep *>(context);
  const char *name = RelativeName(destination, sweep->installDir);
  const char *leafStart = std::strrchr(name, '\\');
  size_t folderLength = leafStart == nullptr ? 0 : static_cast<size_t>(leafStart - name);
  if (folderLength == 0 || (std::strncmp(sweep->lastFolder, name, folderLength) == 0 &&
                            sweep->lastFolder[folderLength] == '\0'))
    return true;
  lstrcpynA(sweep->lastFolder, name, static_cast<int>(folderLength + 1));
  HANDLE folder = INVALID_HANDLE_VALUE;
  const char *leaf = name;
  size_t linkEnd = 0;
  if (OpenEntryFolder(sweep->root, name, false, &folder, &leaf, &linkEnd) == TreeOpened) {
    SweepPartFiles(folder);
    ReleaseEntryFolder(sweep->root, folder);
  }
  return true;
}

void SweepEarlierParts(FILE *archive, int count, const char *installDir, HANDLE root)
{
  SweepPartFiles(root);
  PartSweep sweep = {root, installDir, ""};
  DestinationVisitor visitor = {SweepEntryFolder, &sweep};
  WalkArchiveFile(archive, count, installDir, &visitor);
}

// Each entry's destination goes to the status line (painted when the
// caller next lets it) and advances the progress.
void AnnounceEntry(void *context, const char *destinationPath)
{
  const ExtractionObserver *observer = static_cast<const ExtractionObserver *>(context);
  observer->showStatus(observer->context, destinationPath, false);
  observer->progressStep(observer->context);
}

// The earlier part files swept, AImages, then the entries in archive
// order; between two files the observer may stop the copy.
bool WriteEntries(FILE *archive, int count, const char *installDir, HANDLE root,
                  const ExtractionObserver *observer)
{
  SweepEarlierParts(archive, count, installDir, root);
  // Made empty for the application's saved pictures; it may exist.
  OpenPlainBelow(root, ImagesDirName, true, true, nullptr);
  EntryAnnouncer announcer = {AnnounceEntry, const_cast<ExtractionObserver *>(observer)};
  for (int entry = 0; entry < count; ++entry)
    if (InstallArchiveEntry(archive, root, installDir, &announcer) != EntryInstalled ||
        !observer->goOn(observer->context))
      return false;
  return true;
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
    bool ready = root != INVALID_HANDLE_VALUE &&
                 ReadyToWrite(archive, source->entryCount, installDir, root, observer);
    EndStage(observer, StageCheck);
    if (ready) {
      BeginStage(observer, StageEntries);
      done = WriteEntries(archive, source->entryCount, installDir, root, observer);
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
