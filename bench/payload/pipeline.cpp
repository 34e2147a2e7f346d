// Times the copy pipeline from outside: from the moment the copy page shows
// to the moment it is gone. (Memory is sampled by run-bench.sh from Linux:
// Wine's GetProcessMemoryInfo for another process does not follow its
// allocations.)
//   payload_bench_pipeline.exe copy SETUP.EXE OUTPUT_DIR
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"

namespace {

void TimeCopy()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND agreement = WaitForPage(&run, IDC_LICENCE_TEXT, 60000);
  if (!Check(agreement != nullptr, "agreement page appears"))
    return EndRun(&run);
  Click(agreement, IDOK);
  HWND destination = WaitForPage(&run, IDC_DEST_EDIT, 60000);
  if (!Check(destination != nullptr, "destination page appears"))
    return EndRun(&run);
  LARGE_INTEGER frequency, shown, gone;
  QueryPerformanceFrequency(&frequency);
  Click(destination, IDOK);
  HWND copy = nullptr;
  while (copy == nullptr && !HasExited(&run)) {
    for (HWND window : ProcessWindows(&run)) {
      if (GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr)
        copy = window;
    }
    if (copy == nullptr)
      Sleep(1);
  }
  QueryPerformanceCounter(&shown);
  if (!Check(copy != nullptr, "copy page appears"))
    return EndRun(&run);
  // Millisecond polls: a busy loop would take the processor from the
  // setup and the wineserver it measures.
  while (IsWindow(copy))
    Sleep(1);
  QueryPerformanceCounter(&gone);
  printf("pipeline_ms=%.1f\n", 1000.0 * static_cast<double>(gone.QuadPart - shown.QuadPart) /
                                   static_cast<double>(frequency.QuadPart));
  fflush(stdout);
  std::string pages;
  HWND box = nullptr;
  WalkDefaults(&run, false, &pages, &box);
  if (box)
    AnswerMessageBox(box, IDOK);
  WaitForExit(&run, 60000);
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"copy", TimeCopy},
};
const int ScenarioCount = 1;
