// Hardening seen from outside. A comctl32.dll planted in setup's folder
// (see hardening.sh) leaves a marker file beside itself when any process
// loads it: setup must never load it, yet its browsers' list views work
// and the install completes. The programs that setup installs start with
// their manifests. And with the user's TEMP pointed at a folder of the
// user's, the install completes (hardening.sh watches that folder).
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "common/product.h"

#include <string>
#include <vector>

namespace {

std::string PlantedMarker()
{
  std::string folder = SetupPath;
  return folder.substr(0, folder.find_last_of('\\') + 1) + "planted-dll-loaded.txt";
}

bool MarkerAbsent()
{
  return GetFileAttributesA(PlantedMarker().c_str()) == INVALID_FILE_ATTRIBUTES;
}

void PlantedComctl32()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND agreement = WaitForPage(&run, IDC_LICENCE_TEXT);
  Check(MarkerAbsent(), "the planted comctl32.dll was not loaded at start (%s absent)",
        PlantedMarker().c_str());
  if (!Check(agreement != nullptr, "agreement page appears"))
    return EndRun(&run);
  Click(agreement, IDOK);
  HWND page = WaitForPage(&run, IDC_DEST_EDIT);
  if (!Check(page != nullptr, "destination page appears"))
    return EndRun(&run);
  // The folder browser's list view is a common control: it must come up
  // with its entries, from the system's comctl32.
  Pause(200);
  Click(page, IDC_BROWSE);
  HWND browser = WaitForPage(&run, IDC_DIR_LIST);
  if (Check(browser != nullptr, "folder browser opens")) {
    Pause(300);
    Check(ListViewItems(&run, GetDlgItem(browser, IDC_DIR_LIST)).size() >= 2,
          "the browser lists folders");
    Click(browser, IDCANCEL);
    WaitForWindowGone(browser);
  }

  std::string pages;
  HWND box = nullptr;
  WalkDefaults(&run, false, &pages, &box);
  Log("pages seen: %s", pages.c_str());
  CheckMessageBox(box, SetupCaption, SuccessMessage(InstalledWord).c_str(),
                  MB_OK | MB_ICONINFORMATION);
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(&run) == 0, "setup exits with code 0");
  Check(MarkerAbsent(), "the planted comctl32.dll was never loaded (%s absent)",
        PlantedMarker().c_str());
  EndRun(&run);
}

// Starts a program copied beside the setup (hardening.sh) and waits for its
// first window: with its manifest (requireAdministrator for the
// uninstaller) it still starts. Wine does not refuse a malformed manifest
// as Windows does; tests/hardening/programs.sh checks the manifests
// themselves. Returns the window's text ("" if none).
std::string FirstWindowOf(const char *name, SetupRun *run)
{
  std::string folder = SetupPath;
  folder.erase(folder.find_last_of('\\'));
  std::string path = folder + "\\" + name;
  if (!StartSetupIn(run, path.c_str(), folder.c_str()))
    return "";
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 15000 && !HasExited(run)) {
    std::vector<HWND> windows = ProcessWindows(run);
    if (!windows.empty()) {
      Check(true, "%s shows a window", name);
      return WindowText(windows.front());
    }
    Sleep(50);
  }
  Check(false, "%s shows a window within 15 s", name);
  return "";
}

void InstalledProgramsStart()
{
  SetupRun app;
  CheckText(FirstWindowOf("Zorvane.exe", &app), ProductTitle, "Zorvane.exe's window title");
  for (HWND window : ProcessWindows(&app))
    PostMessageA(window, WM_CLOSE, 0, 0);
  Check(WaitForExit(&app, 10000) == 0, "Zorvane.exe ends with 0 when its window is closed");
  EndRun(&app);

  // What the uninstaller shows is its own concern: only that it starts.
  SetupRun uninstall;
  FirstWindowOf("uninstall.exe", &uninstall);
  if (uninstall.started && !HasExited(&uninstall)) {
    TerminateProcess(uninstall.process.hProcess, 0);
    WaitForSingleObject(uninstall.process.hProcess, 5000);
  }
  EndRun(&uninstall);
}

// The user's TEMP is C:\usertemp (hardening.sh); an elevated setup installs
// all the same, its work folder elsewhere.
void UserTempUntouched()
{
  char temp[MAX_PATH] = "";
  GetTempPathA(sizeof(temp), temp);
  CheckText(temp, "C:\\usertemp\\", "the user's temporary directory");
  SetupRun run;
  if (!StartSetup(&run))
    return;
  std::string pages;
  HWND box = nullptr;
  WalkDefaults(&run, false, &pages, &box);
  CheckMessageBox(box, SetupCaption, SuccessMessage(InstalledWord).c_str(),
                  MB_OK | MB_ICONINFORMATION);
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(&run) == 0, "setup exits with code 0");
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"planted_comctl32", PlantedComctl32},
    {"installed_programs_start", InstalledProgramsStart},
    {"user_temp_untouched", UserTempUntouched},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
