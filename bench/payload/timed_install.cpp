// Times installs from outside, as whole processes:
//   payload_bench_install.exe install SETUP.EXE OUTPUT_DIR
//     starts setup, answers every page the moment it shows and stops the
//     clock when the success box shows; prints process_ms (start to the
//     success box) and pipeline_ms (copy page shown to copy page gone).
//   payload_bench_install.exe peer PEER.EXE DEST_DIR
//     runs the peer installer silently into DEST_DIR (/S /D=DEST_DIR) and
//     prints process_ms (start to exit).
// (Memory is sampled by run.sh from Linux: Wine's GetProcessMemoryInfo for
// another process does not follow its allocations.)
#include "tests/e2e/driver/driver.h"

#include "common/product.h"
#include "resources/resource.h"

namespace {

const DWORD RunLimitMs = 20 * 60 * 1000;

double Milliseconds(const LARGE_INTEGER &from, const LARGE_INTEGER &to)
{
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

bool IsMessageBoxWindow(HWND window)
{
  return GetDlgItem(window, 0xFFFF) != nullptr && GetDlgItem(window, 0x440) != nullptr;
}

void TimeInstall()
{
  LARGE_INTEGER start, shown = {}, gone = {}, finished = {};
  QueryPerformanceCounter(&start);
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND answered = nullptr;
  // When each page showed, from the start: where the time outside the
  // copy goes.
  std::string pages;
  HWND copy = nullptr;
  HWND box = nullptr;
  DWORD began = GetTickCount();
  // Millisecond polls: a busy loop would take the processor from the setup
  // and the wineserver it measures.
  while (box == nullptr && !HasExited(&run) && GetTickCount() - began < RunLimitMs) {
    // While the copy runs only its page is watched: each look at another
    // process's windows is a request to the wineserver, which the setup
    // needs for every file call it makes.
    if (copy != nullptr && gone.QuadPart == 0) {
      if (IsWindow(copy)) {
        Sleep(1);
        continue;
      }
      QueryPerformanceCounter(&gone);
    }
    for (HWND window : ProcessWindows(&run)) {
      if (IsMessageBoxWindow(window)) {
        QueryPerformanceCounter(&finished);
        box = window;
        break;
      }
      if (window == answered || window == copy)
        continue;
      LARGE_INTEGER now;
      QueryPerformanceCounter(&now);
      char seen[48];
      if (GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr) {
        shown = now;
        copy = window;
        snprintf(seen, sizeof(seen), " copy@%.0f", Milliseconds(start, now));
        pages += seen;
      } else if (GetDlgItem(window, IDC_LICENCE_TEXT) != nullptr ||
                 GetDlgItem(window, IDC_DESKTOP_BOX) != nullptr ||
                 GetDlgItem(window, IDC_DEST_EDIT) != nullptr) {
        snprintf(seen, sizeof(seen), " %s@%.0f",
                 GetDlgItem(window, IDC_LICENCE_TEXT)  ? "agreement"
                 : GetDlgItem(window, IDC_DESKTOP_BOX) ? "shortcuts"
                                                       : "destination",
                 Milliseconds(start, now));
        pages += seen;
        Click(window, IDOK);
        answered = window;
      }
    }
    if (box == nullptr)
      Sleep(1);
  }
  if (!Check(box != nullptr, "the run ends in a message box"))
    return EndRun(&run);
  std::string text = ControlText(box, 0xFFFF);
  bool success = text.find("successfully installed") != std::string::npos;
  Check(success, "the success box shows (got \"%s\")", text.c_str());
  if (success && copy != nullptr && gone.QuadPart != 0) {
    printf("process_ms=%.1f pipeline_ms=%.1f pages:%s gone@%.0f box@%.0f\n",
           Milliseconds(start, finished), Milliseconds(shown, gone), pages.c_str(),
           Milliseconds(start, gone), Milliseconds(start, finished));
    fflush(stdout);
  }
  AnswerMessageBox(box, IDOK);
  WaitForExit(&run, 60000);
  // Setup ends by opening the group folder in an explorer.exe of its own;
  // left open, that window keeps this driver's output pipe open and the
  // script reading it would wait for ever.
  HWND folder = nullptr;
  for (DWORD begun = GetTickCount(); success && folder == nullptr && GetTickCount() - begun < 5000;
       Sleep(50))
    folder = FindWindowA(nullptr, ProductTitle);
  if (folder != nullptr)
    PostMessageA(folder, WM_CLOSE, 0, 0);
  EndRun(&run);
}

void TimePeer()
{
  std::string arguments = std::string("/S /D=") + OutputDir;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  SetupRun run;
  if (!StartSetupWithArguments(&run, SetupPath, "C:\\", arguments.c_str()))
    return;
  long code = WaitForExit(&run, RunLimitMs);
  QueryPerformanceCounter(&end);
  if (Check(code == 0, "the peer exits with 0 (got %ld)", code)) {
    printf("process_ms=%.1f\n", Milliseconds(start, end));
    fflush(stdout);
  }
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"install", TimeInstall},
    {"peer", TimePeer},
};
const int ScenarioCount = 2;
