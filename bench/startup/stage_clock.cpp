// The start-up points of the clocked build of setup, with the first page
// added: each point's time in milliseconds from the creation of the process,
// written as one line to SETUP.EXE.stages (beside the program) once the
// first page has been shown and painted. That moment is the first
// WM_ENTERIDLE the main window gets: the page's modal loop sends it once
// the page has nothing left to do, painting included.
#include <windows.h>

#include <cstdio>

#include "shell/startup_marks.h"

namespace {

const char *const MarkNames[StartupMarkCount] = {"entry",     "create", "snapshot",
                                                 "darkening", "title",  "first_paint"};
double MarkMs[StartupMarkCount];
bool MarkSeen[StartupMarkCount];
HHOOK PageHook;

double MsSinceCreation()
{
  FILETIME created, exited, kernel, user, now;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
    return -1;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER from, to;
  from.LowPart = created.dwLowDateTime;
  from.HighPart = created.dwHighDateTime;
  to.LowPart = now.dwLowDateTime;
  to.HighPart = now.dwHighDateTime;
  return static_cast<double>(to.QuadPart - from.QuadPart) / 10000.0;
}

void WriteStages(double pageMs)
{
  char path[MAX_PATH + 8];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return;
  lstrcatA(path, ".stages");
  FILE *file = fopen(path, "w");
  if (!file)
    return;
  for (int i = 0; i < StartupMarkCount; ++i)
    fprintf(file, "%s_ms=%.1f ", MarkNames[i], MarkSeen[i] ? MarkMs[i] : -1.0);
  fprintf(file, "first_page_ms=%.1f\n", pageMs);
  fclose(file);
}

LRESULT CALLBACK WatchForPage(int code, WPARAM wParam, LPARAM lParam)
{
  const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
  if (code == HC_ACTION && call->message == WM_ENTERIDLE && PageHook) {
    WriteStages(MsSinceCreation());
    UnhookWindowsHookEx(PageHook);
    PageHook = nullptr;
    return 0;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void MarkStartup(StartupMark mark)
{
  if (mark < 0 || mark >= StartupMarkCount || MarkSeen[mark])
    return;
  MarkMs[mark] = MsSinceCreation();
  MarkSeen[mark] = true;
  if (mark == MarkFirstPaint)
    PageHook = SetWindowsHookExA(WH_CALLWNDPROC, WatchForPage, nullptr, GetCurrentThreadId());
}
