// The copy pipeline's stages in one process, with a clock around each, so
// that a change goes where the time goes:
//   payload_bench_stages.exe SETUP.EXE WORK_DIR
// Takes the payload resource of SETUP.EXE and runs, in WORK_DIR, what the
// copy page runs: the resource written out as filesdata.gz, the gzip step
// into filesdata.dat, the 19 entries below WORK_DIR\dest; then, apart, a
// plain read of the archive to nowhere (what reading alone costs) and the
// twenty progress steps with their status texts in a real window. Prints
// one line of name=milliseconds.
#include <windows.h>

#include <cstdio>
#include <string>

#include "payload/entry_install.h"
#include "payload/gunzip_core.h"
#include "payload/progress_bar.h"
#include "payload/whole_file.h"
#include "resources/resource.h"
#include "common/product.h"

namespace {

LARGE_INTEGER Now()
{
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now;
}

double Since(LARGE_INTEGER from)
{
  LARGE_INTEGER frequency, now = Now();
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

void Print(void *, const char *text)
{
  std::printf("message: %s\n", text);
}

void Ignore(void *, const char *) {}

// The twenty steps as the page takes them: a status text, then a step;
// the phase texts painted at once.
double TimeProgress()
{
  HWND frame = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 80, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND status =
      CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_READONLY, 10, 10,
                      438, 20, frame, nullptr, GetModuleHandleA(nullptr), nullptr);
  HWND bar = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 10, 40, 438, 20,
                             frame, nullptr, GetModuleHandleA(nullptr), nullptr);
  UpdateWindow(frame);
  LARGE_INTEGER start = Now();
  ProgressInit(bar, PayloadEntryCount);
  SetWindowTextA(status, "Preparing to decompress setup files");
  UpdateWindow(status);
  ProgressStep();
  SetWindowTextA(status, "Decompressing setup files");
  UpdateWindow(status);
  for (int i = 0; i < PayloadEntryCount; ++i) {
    SetWindowTextA(status, "C:\\Program files\\The Zorvane\\Sounds\\Theme.wav");
    ProgressStep();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&message);
    }
  }
  ProgressDone();
  double elapsed = Since(start);
  DestroyWindow(frame);
  return elapsed;
}

}  // namespace

int main(int argc, char **argv)
{
  if (argc != 3) {
    std::printf("usage: payload_bench_stages SETUP.EXE WORK_DIR\n");
    return 2;
  }
  HMODULE setup = LoadLibraryExA(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = setup ? FindResourceA(setup, MAKEINTRESOURCEA(IDR_PAYLOAD), RT_RCDATA) : nullptr;
  HGLOBAL loaded = found ? LoadResource(setup, found) : nullptr;
  const void *bytes = loaded ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) {
    std::printf("no payload resource in %s\n", argv[1]);
    return 1;
  }
  std::string work = argv[2];
  std::string gz = work + "\\filesdata.gz";
  std::string dat = work + "\\filesdata.dat";
  std::string dest = work + "\\dest";
  CreateDirectoryA(dest.c_str(), nullptr);

  LARGE_INTEGER start = Now();
  bool ok = WriteNewFile(gz.c_str(), bytes, SizeofResource(setup, found)) == WholeFileWritten;
  double writeGz = Since(start);

  GzipReporter reporter = {Print, Print, nullptr};
  start = Now();
  ok = ok && GunzipFileReporting(dat.c_str(), gz.c_str(), &reporter);
  double gunzip = Since(start);

  EntryAnnouncer announcer = {Ignore, nullptr};
  start = Now();
  FILE *archive = std::fopen(dat.c_str(), "rb");
  for (int i = 0; ok && i < PayloadEntryCount; ++i) {
    ok = InstallArchiveEntry(archive, dest.c_str(), &announcer) == EntryInstalled;
  }
  if (archive != nullptr) {
    std::fclose(archive);
  }
  double entries = Since(start);

  static char block[1 << 18];
  start = Now();
  archive = std::fopen(dat.c_str(), "rb");
  while (archive != nullptr && std::fread(block, 1, sizeof block, archive) > 0) {
  }
  if (archive != nullptr) {
    std::fclose(archive);
  }
  double readArchive = Since(start);

  start = Now();
  DeleteFileA(dat.c_str());
  DeleteFileA(gz.c_str());
  double cleanUp = Since(start);

  double progress = TimeProgress();
  std::printf("write_gz_ms=%.1f gunzip_ms=%.1f entries_ms=%.1f read_archive_ms=%.1f "
              "delete_ms=%.1f progress_ms=%.1f ok=%d\n",
              writeGz, gunzip, entries, readArchive, cleanUp, progress, ok ? 1 : 0);
  return ok ? 0 : 1;
}
