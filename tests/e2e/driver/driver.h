// End-to-end driver: starts setup.exe and works it as a user would, from
// another process. It finds the setup's windows, recognises each page by
// its control ids, reads texts, presses buttons and answers message boxes.
// Scenarios are short functions on top of these helpers; each area of the
// program has its own scenario file and driver executable.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct SetupRun {
  PROCESS_INFORMATION process;
  bool started;
};

// A scenario returns nothing; failed checks are counted in Failures.
typedef void (*ScenarioFunction)(void);
// A row {"name", Function} of an area's Scenarios[] is the CTest test
// e2e.AREA.name: the build reads the names from the table, one row a line
// (tests/e2e/CMakeLists.txt). A row {"name", Function, StepOnly} is a step
// that the area's script or a bench runs, no test of its own.
enum ScenarioUse { ScenarioTest, StepOnly };
struct Scenario {
  const char *name;
  ScenarioFunction run;
  ScenarioUse use = ScenarioTest;
};
// Provided by each area's scenario file.
extern const Scenario Scenarios[];
extern const int ScenarioCount;

// Command-line inputs: the setup program (a Windows path) and a folder for
// screenshots and other artefacts.
extern const char *SetupPath;
extern const char *OutputDir;
extern int Failures;

// Logs a check; a false condition counts as a failure. Returns the condition.
bool Check(bool condition, const char *format, ...);
bool CheckText(const std::string &actual, const char *expected, const char *what);
void Log(const char *format, ...);

// Starts the setup with its own folder as current directory.
bool StartSetup(SetupRun *run);
bool StartSetupIn(SetupRun *run, const char *exePath, const char *currentDir);
bool StartSetupWithArguments(SetupRun *run, const char *exePath, const char *currentDir,
                             const char *arguments);
// Waits for the process to end; returns its exit code, or -1 on timeout
// (the process is then terminated and the check fails).
long WaitForExit(SetupRun *run, DWORD timeoutMs = 20000);
bool HasExited(SetupRun *run);
void EndRun(SetupRun *run);

// Windows of the setup process.
HWND FindMainWindow(SetupRun *run);
// A visible dialog of the process that has a control with this id and is
// not a message box. Waits up to timeoutMs; null on timeout.
HWND WaitForPage(SetupRun *run, int controlId, DWORD timeoutMs = 15000);
// A visible message box of the process; null on timeout.
HWND WaitForMessageBox(SetupRun *run, DWORD timeoutMs = 15000);
// True when no message box of the process shows up within timeoutMs.
bool NoMessageBoxWithin(SetupRun *run, DWORD timeoutMs);
// Every visible top-level window of the process.
std::vector<HWND> ProcessWindows(SetupRun *run);

// Message boxes.
struct MessageBoxInfo {
  std::string caption;
  std::string text;
  UINT buttons;  // MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL ...
  UINT icon;     // 0 or MB_ICONERROR / MB_ICONQUESTION / MB_ICONWARNING / MB_ICONINFORMATION
};
MessageBoxInfo ReadMessageBox(HWND box);
// Checks caption, text and flags (buttons | icon) of a box; a null
// expected caption means the system's default caption ("Error").
bool CheckMessageBox(HWND box, const char *caption, const char *text, UINT flags);
// Presses a button of a message box (IDOK, IDYES, IDNO ...) and waits for
// the box to close.
bool AnswerMessageBox(HWND box, int buttonId);
// Waits for a box, checks it, answers it. Returns false when no box came.
bool ExpectMessageBox(SetupRun *run, const char *caption, const char *text, UINT flags, int answer);
// A box as a scenario expects it (a null caption: the system's default).
struct ExpectedBox {
  const char *caption;
  const char *text;
  UINT flags;
};
// Presses button in window; the box comes, is checked and answered, and
// window stays open (`what` names it in the check).
void PressAndStay(SetupRun *run, HWND window, int button, const ExpectedBox &box, int answer,
                  const char *what);
// True (checked) when window is still open and visible a moment later.
bool StillOpen(HWND window, const char *what);
// Answers the final box of a run (when there is one) with OK; setup then
// exits with 0 within timeoutMs.
void AnswerOkAndExit(SetupRun *run, HWND box, DWORD timeoutMs = 60000);
// The success message ("... installed") as the final box of a run: checked
// and answered; setup then exits with 0.
void ExpectSuccessEnd(SetupRun *run, HWND box);
// The wizard's cancel message as the final box: checked and answered;
// setup exits with 0 and shows nothing more.
void ExpectCancelEnd(SetupRun *run, HWND box);

// Controls.
// The wizard's success message as setup fills it in, with closingWord
// (InstalledWord or RegisteredWord).
std::string SuccessMessage(const char *closingWord);
std::string WindowText(HWND window);
std::string ControlText(HWND dialog, int id);
bool IsControlVisible(HWND dialog, int id);
// Presses a button by posting BM_CLICK, as a mouse click would.
void Click(HWND dialog, int id);
// Sets an edit control's text as a paste would (WM_SETTEXT) or types it
// character by character (WM_CHAR) into the control.
void SetText(HWND dialog, int id, const char *text);
void TypeText(HWND dialog, int id, const char *text);
// Key press for the window that has the keyboard focus in the setup.
void PressKey(SetupRun *run, UINT virtualKey);
HWND FocusWindow(SetupRun *run);
// True once the setup's keyboard focus is on `expected` (polled: focus
// settles a moment after a window appears or a message box closes).
bool WaitForFocus(SetupRun *run, HWND expected, DWORD timeoutMs = 3000);
// Key press delivered to a given control, as when it has the focus.
void PressKeyOn(HWND window, UINT virtualKey);
// Waits until the given window is gone (a dialog that ended).
bool WaitForWindowGone(HWND window, DWORD timeoutMs = 10000);
// A top-level window of any process with this title (the folder window the
// shell opens at the end of setup); null after timeoutMs.
HWND WaitForWindowTitled(const char *title, DWORD timeoutMs = 10000);

// List views and combo boxes of the setup process.
std::vector<std::string> ListViewItems(SetupRun *run, HWND list);
// Selects item `index` and double-clicks it with posted mouse messages.
bool DoubleClickListItem(SetupRun *run, HWND list, int index);
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);
// Chooses a drop-down list entry as a user would (selection + CBN_SELENDOK).
void ChooseComboItem(HWND dialog, int id, int index);

// Screenshot of the whole screen as a 24-bit BMP in OutputDir.
// The whole screen as the display shows it: 24-bit rows, bottom-up as a
// bitmap file stores them, each padded to 4 bytes. False when no picture
// could be made.
bool CaptureScreen(int *width, int *height, std::vector<uint8_t> *bits);
bool SaveScreenshot(const char *name);
// Reads the screen's pixel at (x, y) as a COLORREF.
COLORREF ScreenPixel(int x, int y);

// Lets queued messages and painting settle.
void Pause(DWORD ms);

// Waits for the agreement page and presses "I Agree"; false (checked) when
// the page does not appear.
bool AcceptAgreement(SetupRun *run);

// Walks the wizard with the default choices: "I Agree", "Next", waits for
// the copy, "Finish". Takes a screenshot of each page when asked
// (1-agreement, 2-destination, 3-copy, 4-shortcuts, 5-finished). Returns
// the first message box that is not part of a page's normal flow (the
// success or cancel message, or an error) read but NOT answered, or an
// empty info when setup ended without one. `pagesSeen` collects, in order,
// the pages met: 'A', 'D', 'C', 'S'.
MessageBoxInfo WalkDefaults(SetupRun *run, bool screenshots, std::string *pagesSeen,
                            HWND *finalBox);
