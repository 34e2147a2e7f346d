// The extraction sequence (see extraction.h). Any failed step stops it:
// before the archive is read with decompressFailed, at an entry silently;
// the work folder is removed whatever happened.
#include "payload/extraction.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>

#include "payload/destination_walk.h"
#include "payload/entry_install.h"
#include "payload/gunzip.h"
#include "payload/in_use.h"
#include "setup_common/dir_ops.h"
#include "common/install_facts.h"
#include "common/path_text.h"
#include "common/private_dir.h"
#include "common/temp_dir.h"
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

// The private work folder inside the temporary directory (the start-up
// directory when the system names none), with the paths of the two work
// files in it. madeDir says whether the folder stands (and must go).
struct WorkFolder {
  char dir[PathBufferSize];
  char gzipPath[PathBufferSize];
  char archivePath[PathBufferSize];
  HANDLE held;
  bool madeDir;
  bool havePaths;
};

void MakeWorkFolder(WorkFolder *work, const char *startDir)
{
  // The temporary directory of the extraction, without a trailing "\".
  char tempDir[ShortPathSize];
  work->held = INVALID_HANDLE_VALUE;
  DWORD tempLength = GetTempPathA(sizeof(tempDir), tempDir);
  work->madeDir =
      SettleTempDir(tempDir, sizeof(tempDir), tempLength, startDir) != TempDirUnusable &&
      MakePrivateDir(tempDir, "zv", work->dir, sizeof(work->dir), &work->held);
  work->havePaths =
      work->madeDir &&
      JoinPath(work->gzipPath, sizeof(work->gzipPath), work->dir, "filesdata.gz") &&
      JoinPath(work->archivePath, sizeof(work->archivePath), work->dir, "filesdata.dat");
}

// The two temporary files live in the private work folder, only as long as
// their handles: each is a new file (nothing that stood at the name is
// opened) removed when its last handle closes, also when setup is killed.
// Nothing reopens them by name.
HANDLE CreateWorkFile(const char *path)
{
  return CreateFileA(
      path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
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

// The payload through the gzip step into the work folder's archive: the
// stream over it (see OpenArchiveStream), null when any step failed.
FILE *MakeArchive(const WorkFolder *work, const ExtractionSource *source,
                  const ExtractionObserver *observer)
{
  BeginStage(observer, StageWriteGzip);
  HANDLE gzipFile = work->havePaths ? CreateWorkFile(work->gzipPath) : INVALID_HANDLE_VALUE;
  bool written = gzipFile != INVALID_HANDLE_VALUE && WritePayload(gzipFile, source);
  EndStage(observer, StageWriteGzip);
  if (!written) {
    if (gzipFile != INVALID_HANDLE_VALUE)
      CloseHandle(gzipFile);
    return nullptr;
  }

  BeginStage(observer, StageGunzip);
  observer->showStatus(observer->context, DecompressingText, true);
  HANDLE archiveFile = CreateWorkFile(work->archivePath);
  // The gzip step takes over the compressed file (it goes at its close)
  // and a second handle of the archive, whose own handle keeps it.
  FILE *archive = nullptr;
  if (GunzipHeld(gzipFile, SecondHandle(archiveFile), work->archivePath, work->gzipPath,
                 observer->gzipReporter))
    archive = OpenArchiveStream(archiveFile);
  else if (archiveFile != INVALID_HANDLE_VALUE)
    CloseHandle(archiveFile);
  EndStage(observer, StageGunzip);
  return archive;
}

// Before the first entry is written: every destination must fit with its
// part file (otherwise the copy stops as for a failed entry), and none may
// be in use (the user closes it, or cancels). Nothing is written when this
// says no. Leaves the archive at its start.
bool ReadyToWrite(FILE *archive, int count, const char *installDir,
                  const ExtractionObserver *observer)
{
  ByteSource source = MakeFileSource(archive);
  DataSkipper skipper = MakeFileSkipper(archive);
  bool allFit = WalkDestinations(&source, &skipper, count, installDir, nullptr) == WalkAllFit;
  std::rewind(archive);
  return allFit &&
         WaitUntilNothingInUse(archive, count, installDir, observer->retryInUse, observer->context);
}

// Each entry's destination goes to the status line (painted when the
// caller next lets it) and advances the progress.
void AnnounceEntry(void *context, const char *destinationPath)
{
  const ExtractionObserver *observer = static_cast<const ExtractionObserver *>(context);
  observer->showStatus(observer->context, destinationPath, false);
  observer->progressStep(observer->context);
}

// AImages, then the entries in archive order; between two files the
// observer may stop the copy.
bool WriteEntries(FILE *archive, int count, const char *installDir,
                  const ExtractionObserver *observer)
{
  // Made empty for the application's saved pictures; it may exist.
  char imagesDir[ShortPathSize];
  if (JoinPath(imagesDir, sizeof(imagesDir), installDir, ImagesDirName))
    CreateDir(imagesDir);
  EntryAnnouncer announcer = {AnnounceEntry, const_cast<ExtractionObserver *>(observer)};
  for (int entry = 0; entry < count; ++entry)
    if (InstallArchiveEntry(archive, installDir, &announcer) != EntryInstalled ||
        !observer->goOn(observer->context))
      return false;
  return true;
}

}  // namespace

bool RunExtraction(const ExtractionSource *source, const char *installDir,
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
    observer->decompressFailed(observer->context);
  } else {
    BeginStage(observer, StageCheck);
    bool ready = ReadyToWrite(archive, source->entryCount, installDir, observer);
    EndStage(observer, StageCheck);
    if (ready) {
      BeginStage(observer, StageEntries);
      done = WriteEntries(archive, source->entryCount, installDir, observer);
      EndStage(observer, StageEntries);
    }
  }

  BeginStage(observer, StageCleanUp);
  if (archive != nullptr)
    std::fclose(archive);
  observer->showStatus(observer->context, DeletingTempText, false);
  if (work.madeDir)
    ClosePrivateDir(work.held, work.dir);
  EndStage(observer, StageCleanUp);
  return done;
}
