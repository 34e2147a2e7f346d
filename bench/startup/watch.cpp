// Times the start of an installer from outside, from just before
// CreateProcess to what the user first sees, polling every millisecond:
//   startup_watch.exe setup SETUP.EXE FOLDER
//     window_ms   the main window is visible at full-screen size;
//     backdrop_ms its picture is on the screen: the bottom-left pixels show
//                 the checkerboard (the benchmark's desktop has no black);
//     page_ms     the licence page is visible.
//   startup_watch.exe clocked SETUP.EXE FOLDER
//     the same for the clocked build, which then writes SETUP.EXE.stages:
//     the run waits for that file before it ends the process.
//   startup_watch.exe peer|floor EXE FOLDER
//     page_ms     the process's first dialog is visible (the peer's first
//                 page with its inner page dialog; the floor's message box).
// Prints one line of name=milliseconds, then ends the process.
#include "tests/e2e/driver/driver.h"

#include <cstdio>
#include <cstring>

#include "resources/resource.h"

namespace {

const double LimitMs = 30000;

double Since(const LARGE_INTEGER &start)
{
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

bool Start(SetupRun *run, LARGE_INTEGER *start)
{
  char commandLine[MAX_PATH + 2];
  snprintf(commandLine, sizeof(commandLine), "\"%s\"", SetupPath);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  *run = SetupRun{};
  QueryPerformanceCounter(start);
  run->started = CreateProcessA(SetupPath, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                OutputDir, &startup, &run->process) != 0;
  return Check(run->started, "started %s", SetupPath);
}

void Stop(SetupRun *run)
{
  TerminateProcess(run->process.hProcess, 0);
  WaitForSingleObject(run->process.hProcess, 10000);
  EndRun(run);
}

bool IsClass(HWND window, const char *name)
{
  char found[64] = "";
  GetClassNameA(window, found, sizeof(found));
  return strcmp(found, name) == 0;
}

// The checkerboard at the start of the bottom screen line: pixels 0 and 2
// black, pixel 1 not, and the line above it starting the other way round.
bool BackdropOnScreen(HDC screen, int height)
{
  return GetPixel(screen, 0, height - 1) == 0 && GetPixel(screen, 2, height - 1) == 0 &&
         GetPixel(screen, 1, height - 1) != 0 && GetPixel(screen, 1, height - 2) == 0 &&
         GetPixel(screen, 0, height - 2) != 0;
}

void WatchSetup(bool clocked)
{
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  SetupRun run;
  LARGE_INTEGER start;
  if (!Start(&run, &start))
    return;
  HDC screen = GetDC(nullptr);
  double windowMs = -1, backdropMs = -1, pageMs = -1;
  while (pageMs < 0 && Since(start) < LimitMs && !HasExited(&run)) {
    for (HWND window : ProcessWindows(&run)) {
      if (windowMs < 0 && IsClass(window, "SETUP")) {
        RECT rect;
        GetWindowRect(window, &rect);
        if (rect.right - rect.left == width && rect.bottom - rect.top == height)
          windowMs = Since(start);
      }
      if (pageMs < 0 && GetDlgItem(window, IDC_LICENCE_TEXT) != nullptr)
        pageMs = Since(start);
    }
    if (backdropMs < 0 && windowMs >= 0 && BackdropOnScreen(screen, height))
      backdropMs = Since(start);
    if (pageMs < 0)
      Sleep(1);
  }
  // The page may show before the backdrop's pixels are read.
  while (backdropMs < 0 && pageMs >= 0 && Since(start) < LimitMs)
    if (BackdropOnScreen(screen, height))
      backdropMs = Since(start);
    else
      Sleep(1);
  ReleaseDC(nullptr, screen);
  if (clocked) {
    char stages[MAX_PATH + 8];
    snprintf(stages, sizeof(stages), "%s.stages", SetupPath);
    for (int i = 0; i < 5000 && GetFileAttributesA(stages) == INVALID_FILE_ATTRIBUTES; ++i)
      Sleep(1);
  }
  Stop(&run);
  if (Check(pageMs >= 0 && backdropMs >= 0, "backdrop and licence page seen"))
    printf("window_ms=%.1f backdrop_ms=%.1f page_ms=%.1f\n", windowMs, backdropMs, pageMs);
}

// A visible dialog of the process that holds a visible dialog of its own
// (the peer's page) or that is a message box (the floor's).
bool IsFirstPage(HWND window)
{
  if (!IsClass(window, "#32770"))
    return false;
  if (GetDlgItem(window, 0xFFFF) != nullptr)
    return true;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsClass(child, "#32770") && IsWindowVisible(child))
      return true;
  return false;
}

void WatchFirstDialog()
{
  SetupRun run;
  LARGE_INTEGER start;
  if (!Start(&run, &start))
    return;
  double pageMs = -1;
  while (pageMs < 0 && Since(start) < LimitMs && !HasExited(&run)) {
    for (HWND window : ProcessWindows(&run)) {
      if (IsFirstPage(window)) {
        pageMs = Since(start);
        break;
      }
    }
    if (pageMs < 0)
      Sleep(1);
  }
  Stop(&run);
  if (Check(pageMs >= 0, "first dialog seen"))
    printf("page_ms=%.1f\n", pageMs);
}

void WatchPlain()
{
  WatchSetup(false);
}

void WatchClocked()
{
  WatchSetup(true);
}

}  // namespace

const Scenario Scenarios[] = {
    {"setup", WatchPlain},
    {"clocked", WatchClocked},
    {"peer", WatchFirstDialog},
    {"floor", WatchFirstDialog},
};
const int ScenarioCount = 4;
