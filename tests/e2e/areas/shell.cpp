// The spine seen from outside: the main window, the agreement page and the
// closing messages of the wizard.
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "common/product.h"
#include "resources/setup_texts.h"

#include <string>

namespace {

void CheckMainWindow(SetupRun *run)
{
  HWND main = FindMainWindow(run);
  if (!Check(main != nullptr, "main window of class SETUP exists"))
    return;
  CheckText(WindowText(main), "SETUP", "main window title");
  LONG style = GetWindowLongA(main, GWL_STYLE);
  Check((style & WS_POPUP) != 0, "main window is a popup");
  Check((style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_DLGFRAME)) == 0,
        "main window has no caption or border (style 0x%08lx)", style);
  RECT rect;
  GetWindowRect(main, &rect);
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  Check(rect.left == 0 && rect.top == 0 && rect.right == width && rect.bottom == height,
        "main window covers the screen %dx%d (is %ld,%ld-%ld,%ld)", width, height, rect.left,
        rect.top, rect.right, rect.bottom);
}

HWND OpenAgreement(SetupRun *run)
{
  HWND page = WaitForPage(run, IDC_LICENCE_TEXT);
  if (!Check(page != nullptr, "agreement page appears"))
    return nullptr;
  std::string licence = ControlText(page, IDC_LICENCE_TEXT);
  Check(licence.size() > 2000 && licence.size() < 7000, "licence text is loaded (%u characters)",
        static_cast<unsigned>(licence.size()));
  Check(licence.find("\r\n") != std::string::npos, "licence lines end in CR LF");
  CheckText(ControlText(page, IDOK), "I Agree", "accept button");
  CheckText(ControlText(page, IDCANCEL), "Cancel", "cancel button");
  Check(GetWindowLongA(GetDlgItem(page, IDC_LICENCE_TEXT), GWL_STYLE) & ES_READONLY,
        "licence text is read-only");
  return page;
}

void DeclineLicence()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND page = OpenAgreement(&run);
  CheckMainWindow(&run);
  if (page) {
    Check(WaitForFocus(&run, GetDlgItem(page, IDOK)), "\"I Agree\" has the focus");
    // No keeps the page.
    PressAndStay(&run, page, IDCANCEL,
                 {SetupCaption, CancelQuestionText, MB_YESNO | MB_ICONQUESTION}, IDNO,
                 "agreement page after No");
    // Yes ends setup with the cancel message and nothing else.
    Click(page, IDCANCEL);
    ExpectMessageBox(&run, SetupCaption, CancelQuestionText, MB_YESNO | MB_ICONQUESTION, IDYES);
    HWND box = WaitForMessageBox(&run);
    Check(WaitForPage(&run, IDC_DEST_EDIT, 0) == nullptr, "no destination page was shown");
    CheckMessageBox(box, SetupCaption, CancelMessage, MB_OK | MB_ICONEXCLAMATION);
    if (box)
      AnswerMessageBox(box, IDOK);
  }
  Check(WaitForExit(&run) == 0, "setup exits with code 0");
  Check(NoMessageBoxWithin(&run, 0), "no further message box");
  EndRun(&run);
}

// Accepting goes through whatever pages exist and ends with the success
// message, whose last word depends on whether the destination page set the
// install mode.
void AcceptLicence()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  OpenAgreement(&run);
  std::string pages;
  HWND box = nullptr;
  MessageBoxInfo info = WalkDefaults(&run, false, &pages, &box);
  Log("pages seen: %s", pages.c_str());
  Check(!pages.empty() && pages[0] == 'A', "the agreement page comes first");
  bool destinationShown = pages.find('D') != std::string::npos;
  std::string expected = SuccessMessage(destinationShown ? InstalledWord : RegisteredWord);
  CheckMessageBox(box, SetupCaption, expected.c_str(), MB_OK | MB_ICONINFORMATION);
  (void)info;
  AnswerOkAndExit(&run, box);
  EndRun(&run);
}

// Esc on the agreement page asks like Cancel; Enter, also with the focus in
// the licence text, accepts like "I Agree".
void Keyboard()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND page = OpenAgreement(&run);
  if (page) {
    PressKey(&run, VK_ESCAPE);
    ExpectMessageBox(&run, SetupCaption, CancelQuestionText, MB_YESNO | MB_ICONQUESTION, IDNO);
    Pause(300);
    Check(IsWindowVisible(page), "agreement page stays after Esc and No");
    // Enter in the licence text acts on the default button, "I Agree".
    PressKeyOn(GetDlgItem(page, IDC_LICENCE_TEXT), VK_RETURN);
    Check(WaitForWindowGone(page), "Enter in the licence text accepts the licence");
  }
  // Finish the run from wherever it is now.
  std::string pages;
  HWND box = nullptr;
  WalkDefaults(&run, false, &pages, &box);
  AnswerOkAndExit(&run, box);
  EndRun(&run);
}

// The default walk with a screenshot of every page (also what the run
// script does without a display).
void WalkWithScreenshots()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  std::string pages;
  HWND box = nullptr;
  MessageBoxInfo info = WalkDefaults(&run, true, &pages, &box);
  Log("pages seen: %s; final message: %s", pages.c_str(), info.text.c_str());
  const char *word = pages.find('D') != std::string::npos ? InstalledWord : RegisteredWord;
  Check(box != nullptr && info.text == SuccessMessage(word),
        "the walk ends with the success message");
  AnswerOkAndExit(&run, box);
  EndRun(&run);
}

// Command-line text is ignored: options that other installers take change
// nothing, and the licence page comes first as always.
void CommandLineIgnored()
{
  SetupRun run;
  if (!StartSetupWithArguments(&run, SetupPath, "C:\\zvtest", "/S /D=C:\\Elsewhere --help"))
    return;
  HWND page = OpenAgreement(&run);
  CheckMainWindow(&run);
  if (page) {
    Click(page, IDCANCEL);
    ExpectMessageBox(&run, SetupCaption, CancelQuestionText, MB_YESNO | MB_ICONQUESTION, IDYES);
    ExpectMessageBox(&run, SetupCaption, CancelMessage, MB_OK | MB_ICONEXCLAMATION, IDOK);
  }
  Check(WaitForExit(&run) == 0, "setup exits with code 0");
  Check(GetFileAttributesA("C:\\Elsewhere") == INVALID_FILE_ATTRIBUTES,
        "nothing was made where the command line pointed");
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"decline_licence", DeclineLicence},
    {"accept_licence", AcceptLicence},
    {"keyboard", Keyboard},
    {"walk_defaults", WalkWithScreenshots},
    {"command_line_ignored", CommandLineIgnored},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
