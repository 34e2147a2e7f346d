// The extraction pipeline of the copy page: payload resource -> filesdata.gz
// in a folder of its own inside the temporary directory -> filesdata.dat
// (gzip step) -> the files below InstallDir. Any failed step stops it with
// CopyStop = 1 and "Can't decompress setup files" (before the archive is
// read) or silently (an entry); both temporary files and their folder are
// removed whatever happened.
#include "payload/extract_payload.h"

#include <cstdio>

#include "payload/entry_install.h"
#include "payload/entry_name.h"
#include "payload/gunzip.h"
#include "payload/progress_bar.h"
#include "payload/temp_dir.h"
#include "payload/whole_file.h"
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

// Copies resource IDR_PAYLOAD, unchanged, into a new file at path.
bool WritePayloadResource(const char *path)
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
  return WriteNewFile(path, bytes, SizeofResource(AppInstance, found)) == WholeFileWritten;
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
  ShowStatus(page, "Preparing to decompress setup files", true);
  ProgressStep();

  if (!haveTempDir || !WritePayloadResource(gzipPath)) {
    CopyStop = 1;
  }
  if (CopyStop == 0) {
    ShowStatus(page, "Decompressing setup files", true);
    if (!GunzipFile(archivePath, gzipPath)) {
      CopyStop = 1;
    }
    // Made empty for the application's saved pictures; it may exist.
    char imagesDir[ShortPathSize];
    if (JoinPath(imagesDir, sizeof imagesDir, InstallDir, ImagesDirName)) {
      CreateDir(imagesDir);
    }
  }

  FILE *archive = CopyStop == 0 ? std::fopen(archivePath, "rb") : nullptr;
  if (archive == nullptr) {
    MessageBoxA(page, "Can't decompress setup files", nullptr, MB_ICONERROR);
    CopyStop = 1;
  } else {
    ExtractEntries(page, archive);
    std::fclose(archive);
  }

  ShowStatus(page, "Deleting temproary files", false);
  if (haveTempDir) {
    DeleteFileA(archivePath);
    DeleteFileA(gzipPath);
  }
  if (madeWorkDir) {
    ClosePrivateDir(heldWorkDir, workDir);
  }
  ProgressDone();
  EndDialog(page, CopyStop);
  return 0;
}
