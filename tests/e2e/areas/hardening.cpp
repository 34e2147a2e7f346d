// Hardening seen from outside. A comctl32.dll planted in setup's folder
// (see hardening.sh) leaves a marker file beside itself when any process
// loads it: setup must never load it, yet its browsers' list views work
// and the install completes.
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "shell/product.h"

#include <string>

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
  CheckMessageBox(box, SetupCaption, "The Zorvane was successfully installed",
                  MB_OK | MB_ICONINFORMATION);
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(&run) == 0, "setup exits with code 0");
  Check(MarkerAbsent(), "the planted comctl32.dll was never loaded (%s absent)",
        PlantedMarker().c_str());
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"planted_comctl32", PlantedComctl32},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
