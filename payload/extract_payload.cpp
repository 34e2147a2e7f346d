// The extraction pipeline of the copy page: payload resource -> filesdata.gz
// in a private work folder inside the temporary directory -> filesdata.dat
// (gzip step) -> the files below InstallDir. Any failed step stops it with
// CopyStop = 1 and "Can't decompress setup files" (before the archive is
// read) or silently (an entry); the work folder is removed whatever happened.
#include "payload/extract_payload.h"

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>

#include "payload/copy_texts.h"
#include "payload/destination_walk.h"
#include "payload/entry_install.h"
#include "payload/gunzip.h"
#include "payload/in_use.h"
#include "payload/progress_bar.h"
#include "payload/temp_dir.h"
#include "resources/resource.h"
#include "shell/dir_ops.h"
#include "shell/path_text.h"
#include "shell/private_dir.h"
#include "shell/state.h"

int CopyStop;

namespace {

// The temporary directory of the extraction, without a trailing "\".
char TempDir[ShortPathSize];

void ShowStatus(HWND page, const char *text, bool repaintNow)
{
  SetDlgItemTextA(page, IDC_STATUS_LINE, text);
  if (repaintNow) {
    UpdateWindow(GetDlgItem(page, IDC_STATUS_LINE));
  }
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
      !DuplicateHandle(process, file, process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
    return INVALID_HANDLE_VALUE;
  }
  return copy;
}

bool Rewind(HANDLE file)
{
  return SetFilePointer(file, 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

// Copies resource IDR_PAYLOAD, unchanged, into the open file, and leaves it
// at its start for reading.
bool WritePayloadResource(HANDLE file)
{
  HRSRC found = FindResourceA(AppInstance, MAKEINTRESOURCEA(IDR_PAYLOAD), RT_RCDATA);
  if (found == nullptr) {
    return false;
  }
  HGLOBAL loaded = LoadResource(AppInstance, found);
  if (loaded == nullptr) {
    return false;
  }
  const void *bytes = LockResource(loaded);
  if (bytes == nullptr) {
    return false;
  }
  DWORD size = SizeofResource(AppInstance, found);
  DWORD written = 0;
  return WriteFile(file, bytes, size, &written, nullptr) && written == size && Rewind(file);
}

// The archive as a stdio stream over the kept handle, from its start; the
// stream owns the handle from here (fclose removes the file), null when it
// could not be made (the handle is closed then).
FILE *OpenArchiveStream(HANDLE file)
{
  if (file == INVALID_HANDLE_VALUE) {
    return nullptr;
  }
  int descriptor =
      Rewind(file) ? _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY) : -1;
  if (descriptor < 0) {
    CloseHandle(file);
    return nullptr;
  }
  FILE *archive = _fdopen(descriptor, "rb");
  if (archive == nullptr) {
    _close(descriptor);
  }
  return archive;
}

// Each entry's destination goes to the status line (painted at the next
// pump) and advances the bar.
void AnnounceEntry(void *context, const char *destinationPath)
{
  ShowStatus(static_cast<HWND>(context), destinationPath, false);
  ProgressStep();
}

// Lets the page react between two files: the only place where Cancel takes
// effect. Leaves as soon as CopyStop is raised or the queue is empty.
void PumpCopyMessages(HWND page)
{
  MSG message;
  while (CopyStop == 0 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: hand it back to the loop that owns the quit.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageA(page, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
}

// Before the first entry is written: every destination must fit with its
// part file (otherwise the copy stops as for a failed entry), and none may
// be in use (the user closes it, or cancels). Nothing is written when this
// says no. Leaves the archive at its start.
bool ReadyToWrite(HWND page, FILE *archive)
{
  ByteSource source = MakeFileSource(archive);
  DataSkipper skipper = MakeFileSkipper(archive);
  bool allFit =
      WalkDestinations(&source, &skipper, PayloadEntryCount, InstallDir, nullptr) == WalkAllFit;
  std::rewind(archive);
  return allFit && WaitUntilNothingInUse(page, archive, PayloadEntryCount, InstallDir);
}

void ExtractEntries(HWND page, FILE *archive)
{
  EntryAnnouncer announcer = {AnnounceEntry, page};
  for (int entry = 0; entry < PayloadEntryCount; ++entry) {
    if (InstallArchiveEntry(archive, InstallDir, &announcer) != EntryInstalled) {
      CopyStop = 1;
    }
    if (CopyStop == 0) {
      PumpCopyMessages(page);
    }
    if (CopyStop != 0) {
      break;
    }
  }
}

}  // namespace

LRESULT ExtractPayload(HWND page, UINT, UINT, LPARAM)
{
  char workDir[PathBufferSize];
  char gzipPath[PathBufferSize];
  char archivePath[PathBufferSize];
  HANDLE heldWorkDir = INVALID_HANDLE_VALUE;

  DWORD tempLength = GetTempPathA(sizeof TempDir, TempDir);
  bool madeWorkDir =
      SettleTempDir(TempDir, sizeof TempDir, tempLength, StartDir) != TempDirUnusable &&
      MakePrivateDir(TempDir, "zv", workDir, sizeof workDir, &heldWorkDir);
  bool haveTempDir = madeWorkDir && JoinPath(gzipPath, sizeof gzipPath, workDir, "filesdata.gz") &&
                     JoinPath(archivePath, sizeof archivePath, workDir, "filesdata.dat");

  CopyStop = 0;
  ProgressInit(GetDlgItem(page, IDC_PROGRESS_BAR), PayloadEntryCount);
  ShowStatus(page, PreparingText, true);
  ProgressStep();

  HANDLE gzipFile = haveTempDir ? CreateWorkFile(gzipPath) : INVALID_HANDLE_VALUE;
  HANDLE archiveFile = INVALID_HANDLE_VALUE;
  if (gzipFile == INVALID_HANDLE_VALUE || !WritePayloadResource(gzipFile)) {
    CopyStop = 1;
  }
  if (CopyStop == 0) {
    ShowStatus(page, DecompressingText, true);
    archiveFile = CreateWorkFile(archivePath);
    // The gzip step takes over the compressed file (it goes at its close)
    // and a second handle of the archive, whose own handle keeps it.
    if (!GunzipHeld(gzipFile, SecondHandle(archiveFile), archivePath, gzipPath)) {
      CopyStop = 1;
    }
    gzipFile = INVALID_HANDLE_VALUE;
  }
  if (gzipFile != INVALID_HANDLE_VALUE) {
    CloseHandle(gzipFile);
  }

  FILE *archive = nullptr;
  if (CopyStop == 0) {
    archive = OpenArchiveStream(archiveFile);
  } else if (archiveFile != INVALID_HANDLE_VALUE) {
    CloseHandle(archiveFile);
  }
  if (archive == nullptr) {
    MessageBoxA(page, CantDecompressText, nullptr, MB_ICONERROR);
    CopyStop = 1;
  } else {
    if (!ReadyToWrite(page, archive)) {
      CopyStop = 1;
    } else {
      // Made empty for the application's saved pictures; it may exist.
      char imagesDir[ShortPathSize];
      if (JoinPath(imagesDir, sizeof imagesDir, InstallDir, ImagesDirName)) {
        CreateDir(imagesDir);
      }
      ExtractEntries(page, archive);
    }
    std::fclose(archive);
  }

  ShowStatus(page, DeletingTempText, false);
  if (madeWorkDir) {
    ClosePrivateDir(heldWorkDir, workDir);
  }
  ProgressDone();
  EndDialog(page, CopyStop);
  return 0;
}
