// The copy pipeline's stages in one process, with a clock around each, so
// that a change goes where the time goes:
//   payload_bench_stages.exe SETUP.EXE WORK_DIR
// Takes the payload resource of SETUP.EXE and runs the copy page's own
// extraction on it, with WORK_DIR as the temporary directory (its private
// work folder goes there) and WORK_DIR\dest as the install folder; each
// stage the extraction reports is timed. Then, apart, a plain read of the
// unpacked archive to nowhere (what reading alone costs) and the twenty
// progress steps with their status texts in a real window. Prints one line
// of name=milliseconds.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/payload/thread_time.h"
#include "payload/extraction.h"
#include "payload/gunzip.h"
#include "payload/progress_bar.h"
#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "common/product.h"

namespace {

// The name each stage is printed under, as run.sh reads it.
const char *const StageNames[ExtractionStageCount] = {
    "work_dir", "write_gz", "gunzip", "check", "entries", "delete", "kept_gone",
};

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

// The clocks of the stages: started at a stage's beginning, read at its end.
struct StageClocks {
  LARGE_INTEGER started[ExtractionStageCount];
  double startedCpu[ExtractionStageCount];
  double elapsed[ExtractionStageCount];
  double cpu[ExtractionStageCount];
};

void StartClock(void *context, ExtractionStage stage)
{
  StageClocks *clocks = static_cast<StageClocks *>(context);
  clocks->startedCpu[stage] = ThreadMs();
  clocks->started[stage] = Now();
}

void StopClock(void *context, ExtractionStage stage)
{
  StageClocks *clocks = static_cast<StageClocks *>(context);
  clocks->elapsed[stage] = Since(clocks->started[stage]);
  clocks->cpu[stage] = ThreadMs() - clocks->startedCpu[stage];
}

void Print(void *, const char *text)
{
  std::printf("message: %s\n", text);
}

void IgnoreStatus(void *, const char *, bool) {}

void IgnoreStep(void *) {}

bool AlwaysGoOn(void *)
{
  return true;
}

void PrintProblem(void *, ExtractionProblem kind, const char *detail)
{
  std::printf("message: %s\n", kind == ProblemNoArchive ? DecompressFailedText : detail);
}

bool GiveUpInUse(void *, const char *path)
{
  std::printf("message: in use: %s\n", path);
  return false;
}

const GzipReporter PrintedGzipProblems = {Print, Print, nullptr};

// A plain read of the unpacked archive to nowhere. The extraction leaves no
// archive behind, so the payload is unpacked once more, untimed, into
// work\filesdata.gz and work\filesdata.dat, which are removed afterwards.
double TimeArchiveRead(const std::string &work, const void *payload, uint32_t size)
{
  std::string gz = work + "\\filesdata.gz";
  std::string dat = work + "\\filesdata.dat";
  double elapsed = -1.0;
  // The gzip step as setup runs it, over two new files' handles; it takes
  // both over and closes them.
  HANDLE input = CreateFileA(gz.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  if (input != INVALID_HANDLE_VALUE &&
      (!WriteFile(input, payload, size, &written, nullptr) || written != size ||
       SetFilePointer(input, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)) {
    CloseHandle(input);
    input = INVALID_HANDLE_VALUE;
  }
  HANDLE output = CreateFileA(dat.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (GunzipHeld(input, output, dat.c_str(), gz.c_str(), &PrintedGzipProblems)) {
    static char block[1 << 18];
    LARGE_INTEGER start = Now();
    FILE *archive = std::fopen(dat.c_str(), "rb");
    while (archive != nullptr && std::fread(block, 1, sizeof(block), archive) > 0) {
    }
    if (archive != nullptr)
      std::fclose(archive);
    elapsed = Since(start);
  }
  DeleteFileA(dat.c_str());
  DeleteFileA(gz.c_str());
  return elapsed;
}

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
  SetWindowTextA(status, PreparingText);
  UpdateWindow(status);
  ProgressStep();
  SetWindowTextA(status, DecompressingText);
  UpdateWindow(status);
  for (int i = 0; i < PayloadEntryCount; ++i) {
    SetWindowTextA(status, "C:\\Program files\\The Zorvane\\Sounds\\Theme.wav");
    ProgressStep();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageA(&message);
  }
  ProgressDone();
  double elapsed = Since(start);
  DestroyWindow(frame);
  return elapsed;
}

}  // namespace

int main(int argc, char **argv)
{
  // With "over" the payload is first installed once, untimed, into the
  // same folder: the timed copy then replaces an earlier installation, its
  // renames into the kept folder and that folder's removal included.
  bool over = argc == 4 && std::strcmp(argv[3], "over") == 0;
  if (argc != 3 && !over) {
    std::printf("usage: payload_bench_stages SETUP.EXE WORK_DIR [over]\n");
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
  std::string dest = work + "\\dest";
  CreateDirectoryA(dest.c_str(), nullptr);
  // GetTempPathA reads TMP first: the private work folder goes below WORK_DIR.
  SetEnvironmentVariableA("TMP", work.c_str());

  ExtractionSource source = {bytes, SizeofResource(setup, found), PayloadEntryCount, work.c_str()};
  StageClocks clocks = {};
  ExtractionObserver observer = {.context = &clocks,
                                 .stageBegins = StartClock,
                                 .stageEnds = StopClock,
                                 .showStatus = IgnoreStatus,
                                 .progressStep = IgnoreStep,
                                 .goOn = AlwaysGoOn,
                                 .retryInUse = GiveUpInUse,
                                 .problem = PrintProblem};
  if (over) {
    ExtractionObserver untimed = observer;
    untimed.stageBegins = nullptr;
    untimed.stageEnds = nullptr;
    if (!RunExtraction(&source, dest.c_str(), INVALID_HANDLE_VALUE, &untimed)) {
      std::printf("the earlier installation could not be made\n");
      return 1;
    }
  }
  bool ok = RunExtraction(&source, dest.c_str(), INVALID_HANDLE_VALUE, &observer);

  double readArchive = TimeArchiveRead(work, source.payload, source.payloadSize);
  double progress = TimeProgress();
  for (int stage = 0; stage < ExtractionStageCount; ++stage)
    std::printf("%s_ms=%.1f %s_cpu=%.0f ", StageNames[stage], clocks.elapsed[stage],
                StageNames[stage], clocks.cpu[stage]);
  std::printf("read_archive_ms=%.1f progress_ms=%.1f ok=%d\n", readArchive, progress, ok ? 1 : 0);
  return ok ? 0 : 1;
}
