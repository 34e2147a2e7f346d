// The destination page and the folder browser seen from outside: the
// proposed directory, the drive list and free space, navigation in the
// directory list, the name field, and each refusal and question of Next.
#include "tests/e2e/driver/driver.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "resources/setup_texts.h"
#include "setup_common/folder_list_view_rules.h"
#include "resources/resource.h"
#include "common/product.h"

namespace {

const char DefaultBase[] = "C:\\Program files";
const char DefaultDestination[] = "C:\\Program files\\The Zorvane";

// Polls a control until it shows the expected text; returns what it shows.
std::string WaitForText(HWND dialog, int id, const std::string &expected, DWORD ms = 3000)
{
  DWORD start = GetTickCount();
  std::string text = ControlText(dialog, id);
  while (text != expected && GetTickCount() - start < ms) {
    Pause(50);
    text = ControlText(dialog, id);
  }
  return text;
}

bool CheckTextSoon(HWND dialog, int id, const std::string &expected, const char *what)
{
  return CheckText(WaitForText(dialog, id, expected), expected.c_str(), what);
}

std::string Join(const std::vector<std::string> &items)
{
  std::string out;
  for (const std::string &item : items)
    out += (out.empty() ? "" : " | ") + item;
  return out;
}

bool CheckItems(const std::vector<std::string> &items, const std::vector<std::string> &expected,
                const char *what)
{
  return Check(items == expected, "%s: [%s] (expected [%s])", what, Join(items).c_str(),
               Join(expected).c_str());
}

int IndexOf(const std::vector<std::string> &items, const char *text)
{
  auto at = std::find(items.begin(), items.end(), text);
  return at == items.end() ? -1 : static_cast<int>(at - items.begin());
}

HWND OpenDirPage(SetupRun *run)
{
  if (!AcceptAgreement(run))
    return nullptr;
  HWND page = WaitForPage(run, IDC_DEST_EDIT);
  if (!Check(page != nullptr && GetDlgItem(page, IDC_DESKTOP_BOX) == nullptr,
             "destination page appears"))
    return nullptr;
  Pause(200);
  return page;
}

HWND OpenBrowser(SetupRun *run, HWND page)
{
  Click(page, IDC_BROWSE);
  HWND browser = WaitForPage(run, IDC_DIR_LIST);
  if (!Check(browser != nullptr, "folder browser opens"))
    return nullptr;
  Pause(300);
  return browser;
}

std::vector<std::string> DirItems(SetupRun *run, HWND browser)
{
  return ListViewItems(run, GetDlgItem(browser, IDC_DIR_LIST));
}

// Double-clicks the entry at position index and waits for the path line to
// show expectedLine.
bool Navigate(SetupRun *run, HWND browser, int index, const std::string &expectedLine)
{
  if (!Check(index >= 0, "entry to double-click is listed (position %d)", index))
    return false;
  DoubleClickListItem(run, GetDlgItem(browser, IDC_DIR_LIST), index);
  return CheckTextSoon(browser, IDC_PATH_LINE, expectedLine, "path line");
}

int DriveIndex(HWND browser, const char *root)
{
  return IndexOf(ComboItems(GetDlgItem(browser, IDC_DRIVE_LIST)), root);
}

// No reading of a drive's free space was taken before the setup's.
constexpr unsigned long long NoEarlierReading = ~0ull;

// Free space of a drive read independently of the setup: total free bytes
// in units of 1000.
unsigned long long FreeUnits(const char *root)
{
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExA(root, &available, &total, &free))
    return 0;
  unsigned long long units = free.QuadPart / 1000;
  return units > 0xFFFFFFFFull ? 0xFFFFFFFFull : units;
}

std::string FreeSpaceLine(unsigned long units)
{
  char line[128];
  snprintf(line, sizeof(line), FreeSpaceFormat, units, static_cast<int>(RequiredKB));
  return line;
}

// Checks the browser's free-space line against the drive's own readings:
// one taken now and, for a drive other programs write to, `before`, taken
// before the setup read the drive. The shown value lies between the two,
// give or take `tolerance` units.
unsigned long CheckFreeSpaceLine(HWND browser, const char *root, unsigned long tolerance,
                                 unsigned long long before = NoEarlierReading)
{
  std::string line = ControlText(browser, IDC_FREE_SPACE_LINE);
  unsigned long shown = 0;
  int required = 0;
  bool parsed = sscanf(line.c_str(), FreeSpaceFormat, &shown, &required) == 2;
  Check(parsed && line == FreeSpaceLine(shown), "free-space line is well formed: \"%s\"",
        line.c_str());
  unsigned long long now = FreeUnits(root);
  unsigned long long earlier = before == NoEarlierReading ? now : before;
  unsigned long long low = std::min(now, earlier), high = std::max(now, earlier);
  bool within =
      shown + static_cast<unsigned long long>(tolerance) >= low && shown <= high + tolerance;
  Check(within, "free space shown for %s is %lu, measured %llu before and %llu after", root, shown,
        earlier, now);
  return shown;
}

void EndWithCancel(SetupRun *run, HWND page)
{
  Click(page, IDCANCEL);
  ExpectMessageBox(run, SetupCaption, CancelQuestionText, MB_YESNO | MB_ICONQUESTION, IDYES);
  ExpectCancelEnd(run, WaitForMessageBox(run));
}

// OK in the browser with nothing to object to: the browser closes without
// a box and the page shows the expected destination.
void AcceptBrowser(SetupRun *run, HWND browser, HWND page, const std::string &destination)
{
  Click(browser, IDOK);
  Check(WaitForWindowGone(browser), "OK closes the browser");
  Check(NoMessageBoxWithin(run, 300), "OK asks nothing");
  CheckTextSoon(page, IDC_DEST_EDIT, destination, "destination");
}

// The way out when a scenario cannot go on: the browser (if open) is
// closed first, so that the page's Cancel reaches an enabled page.
void CloseBrowserAndCancel(SetupRun *run, HWND page, HWND browser)
{
  if (browser && IsWindow(browser)) {
    Click(browser, IDCANCEL);
    WaitForWindowGone(browser);
  }
  EndWithCancel(run, page);
}

// After the destination page ended with Next: copy and shortcut pages with
// their defaults, then the success message.
void FinishInstall(SetupRun *run, HWND page)
{
  Check(WaitForWindowGone(page), "destination page ends");
  std::string pages;
  HWND box = nullptr;
  WalkDefaults(run, false, &pages, &box);
  Log("pages after the destination page: %s", pages.c_str());
  ExpectSuccessEnd(run, box);
}

// Next on a destination that needs no question: the page ends and the
// install runs to its success message.
void NextAndInstall(SetupRun *run, HWND page)
{
  Click(page, IDOK);
  Check(NoMessageBoxWithin(run, 1000), "Next asks nothing");
  FinishInstall(run, page);
}

const ExpectedBox CancelQuestion = {SetupCaption, CancelQuestionText, MB_YESNO | MB_ICONQUESTION};
const ExpectedBox BrowserNoSpace = {nullptr, NoSpaceText, MB_YESNO | MB_ICONERROR};
const ExpectedBox PageNoSpace = {SetupCaption, NoSpaceText, MB_YESNO | MB_ICONERROR};
const ExpectedBox DirExists = {SetupCaption, DirExistsText, MB_YESNO | MB_ICONQUESTION};

// Cancel in the browser: it closes and the page shows destination.
void CancelBrowser(HWND browser, HWND page, const std::string &destination, const char *what)
{
  Click(browser, IDCANCEL);
  Check(WaitForWindowGone(browser), "Cancel closes the browser");
  CheckTextSoon(page, IDC_DEST_EDIT, destination, what);
}

// Chooses the drive root ("D:\\") in the browser's drive list; the path
// line then shows the folder name at that root.
bool ChooseDrive(HWND browser, const char *root)
{
  int index = DriveIndex(browser, root);
  if (!Check(index >= 0, "drive %s is listed", root))
    return false;
  ChooseComboItem(browser, IDC_DRIVE_LIST, index);
  return CheckTextSoon(browser, IDC_PATH_LINE, std::string(root) + ProductTitle,
                       "path line at the drive's root");
}

// Double-clicks the listed entry named name; the path line shows line.
bool Enter(SetupRun *run, HWND browser, const char *name, const std::string &line)
{
  return Navigate(run, browser, IndexOf(DirItems(run, browser), name), line);
}

std::string InBase(const std::string &name)
{
  return std::string(DefaultBase) + "\\" + name;
}

// Subdirectories of dir as the list should show them: no leading dot.
std::vector<std::string> Subdirectories(const char *dir)
{
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(dir) + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return names;
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && found.cFileName[0] != '.')
      names.push_back(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

bool DirectoryExists(const char *path)
{
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

typedef void (*PageSteps)(SetupRun *run, HWND page);
typedef void (*BrowserSteps)(SetupRun *run, HWND page, HWND browser);

// A scenario on the destination page: setup started and the licence
// accepted, then Steps, which end setup one way or another.
template <PageSteps Steps> void OnDirPage()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  if (HWND page = OpenDirPage(&run))
    Steps(&run, page);
  EndRun(&run);
}

// The same with the folder browser opened from the page; when it does not
// open, the page's Cancel ends setup.
template <BrowserSteps Steps> void InBrowser()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND page = OpenDirPage(&run);
  HWND browser = page ? OpenBrowser(&run, page) : nullptr;
  if (browser)
    Steps(&run, page, browser);
  else if (page)
    CloseBrowserAndCancel(&run, page, browser);
  EndRun(&run);
}

// The page and browser as they open, then Cancel with No and with Yes.
void DefaultDestinationScenario()
{
  // The setup reads C's free space when the page opens, and other programs
  // write to C meanwhile: the test's reading brackets the setup's.
  unsigned long long freeBefore = FreeUnits("C:\\");
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND page = OpenDirPage(&run);
  if (page) {
    CheckText(ControlText(page, IDC_DEST_EDIT), DefaultDestination, "destination");
    CheckText(ControlText(page, IDOK), "Next", "Next button");
    CheckText(ControlText(page, IDCANCEL), "Cancel", "Cancel button");
    CheckText(ControlText(page, IDC_BROWSE), "Browse", "Browse button");
    SaveScreenshot("destination-page");

    HWND browser = OpenBrowser(&run, page);
    if (browser) {
      CheckText(WindowText(browser), "Setup - directory", "browser caption");
      CheckText(ControlText(browser, IDC_NAME_EDIT), ProductTitle, "name field");
      CheckText(ControlText(browser, IDC_PATH_LINE), DefaultDestination, "path line");
      // The drive list shows every drive the system reports, in its order.
      char strings[256] = "";
      DWORD length = GetLogicalDriveStringsA(sizeof(strings), strings);
      std::vector<std::string> drives;
      for (const char *p = strings; p < strings + length && *p; p += strlen(p) + 1)
        drives.push_back(p);
      HWND combo = GetDlgItem(browser, IDC_DRIVE_LIST);
      CheckItems(ComboItems(combo), drives, "drive list");
      Check(ComboSelection(combo) == DriveIndex(browser, "C:\\"), "drive C is selected (%d)",
            ComboSelection(combo));
      CheckFreeSpaceLine(browser, "C:\\", 500000, freeBefore);
      // Subdirectories of Program files between the up entry and the
      // folder name; the list keeps them sorted, so compare as sets.
      std::vector<std::string> expected = Subdirectories(DefaultBase);
      expected.push_back(UpEntryText);
      expected.push_back(ProductTitle);
      std::vector<std::string> items = DirItems(&run, browser);
      Check(!items.empty() && items[0] == UpEntryText, "up entry comes first");
      std::vector<std::string> sortedItems = items;
      std::sort(sortedItems.begin(), sortedItems.end());
      std::sort(expected.begin(), expected.end());
      CheckItems(sortedItems, expected, "entries of C:\\Program files");
      SaveScreenshot("folder-browser");
      CancelBrowser(browser, page, DefaultDestination, "destination after Cancel");
    }

    // Cancel, No: the page stays; Cancel, Yes: setup ends.
    PressAndStay(&run, page, IDCANCEL, CancelQuestion, IDNO, "destination page after No");
    Check(!DirectoryExists(DefaultDestination), "nothing was created");
    EndWithCancel(&run, page);
  }
  EndRun(&run);
}

void DefaultInstall(SetupRun *run, HWND page)
{
  CheckText(ControlText(page, IDC_DEST_EDIT), DefaultDestination, "destination");
  // Edit 101 only shows the destination: what is typed there is not read.
  SetText(page, IDC_DEST_EDIT, "C:\\Typed elsewhere");
  Click(page, IDOK);
  Check(NoMessageBoxWithin(run, 1000), "Next asks nothing for a new directory");
  Check(!DirectoryExists("C:\\Typed elsewhere"), "the typed directory was not made");
  FinishInstall(run, page);
}

// Drive D (staged with Alpha, Games\Sub, .hidden and a file): switching to
// it, down and up again, and into the final entry that does not exist.
void ExtraDrive(SetupRun *run, HWND page, HWND browser)
{
  std::string lineOfC = ControlText(browser, IDC_FREE_SPACE_LINE);
  if (!ChooseDrive(browser, "D:\\"))
    return CloseBrowserAndCancel(run, page, browser);
  CheckItems(DirItems(run, browser), {"Alpha", "Games", "The Zorvane"}, "root of D");
  unsigned long shown = CheckFreeSpaceLine(browser, "D:\\", 0);
  Check(ControlText(browser, IDC_FREE_SPACE_LINE) != lineOfC,
        "free-space line changed from \"%s\" (D has %lu units)", lineOfC.c_str(), shown);
  std::string lineOfD = ControlText(browser, IDC_FREE_SPACE_LINE);

  Enter(run, browser, "Games", "D:\\Games\\The Zorvane");
  CheckItems(DirItems(run, browser), {UpEntryText, "Sub", "The Zorvane"}, "D:\\Games");
  Enter(run, browser, "Sub", "D:\\Games\\Sub\\The Zorvane");
  CheckItems(DirItems(run, browser), {UpEntryText, "The Zorvane"}, "D:\\Games\\Sub");
  Navigate(run, browser, 0, "D:\\Games\\The Zorvane");
  // Choosing the same drive again lists its root again.
  ChooseDrive(browser, "D:\\");
  Enter(run, browser, "Games", "D:\\Games\\The Zorvane");
  Navigate(run, browser, 0, "D:\\The Zorvane");
  CheckItems(DirItems(run, browser), {"Alpha", "Games", "The Zorvane"},
             "back at the root of D, no up entry");
  CheckText(ControlText(browser, IDC_FREE_SPACE_LINE), lineOfD.c_str(),
            "free-space line unchanged by navigation");

  // The final entry is entered by its text although no such directory
  // exists.
  Enter(run, browser, "The Zorvane", "D:\\The Zorvane\\The Zorvane");
  CheckItems(DirItems(run, browser), {UpEntryText, "The Zorvane"}, "D:\\The Zorvane");
  SaveScreenshot("browser-on-d");
  AcceptBrowser(run, browser, page, "D:\\The Zorvane\\The Zorvane");
  // Next makes the missing D:\The Zorvane and then the destination.
  NextAndInstall(run, page);
}

// 100 characters are refused and the field shows the last accepted name;
// 99 are taken.
void NameLimit(SetupRun *run, HWND page, HWND browser)
{
  std::string hundred(100, 'x');
  SetText(browser, IDC_NAME_EDIT, hundred.c_str());
  CheckTextSoon(browser, IDC_NAME_EDIT, ProductTitle, "name field after 100 characters");
  std::string ninetyNine(99, 'y');
  SetText(browser, IDC_NAME_EDIT, ninetyNine.c_str());
  CheckTextSoon(browser, IDC_NAME_EDIT, ninetyNine, "name field with 99 characters");
  // One more typed character makes 100: refused, the 99 stay.
  TypeText(browser, IDC_NAME_EDIT, "z");
  Pause(200);
  CheckText(ControlText(browser, IDC_NAME_EDIT), ninetyNine.c_str(),
            "name field after typing a 100th character");
  AcceptBrowser(run, browser, page, InBase(ninetyNine));
  // Opened again, the field shows the product title; the path line and the
  // final entry still show the earlier name, listed before the field was set.
  browser = OpenBrowser(run, page);
  if (browser) {
    CheckText(ControlText(browser, IDC_NAME_EDIT), ProductTitle, "name field on reopening");
    CheckText(ControlText(browser, IDC_PATH_LINE), InBase(ninetyNine).c_str(),
              "path line on reopening");
    Check(IndexOf(DirItems(run, browser), ninetyNine.c_str()) >= 0,
          "final entry shows the earlier name");
    CancelBrowser(browser, page, DefaultDestination,
                  "destination after Cancel keeps the reset name");
  }
  EndWithCancel(run, page);
}

// Empty name: OK gives the browser's warning; Cancel keeps the empty name
// and Next then gives the page's warning.
void EmptyName(SetupRun *run, HWND page, HWND browser)
{
  SetText(browser, IDC_NAME_EDIT, "");
  PressAndStay(run, browser, IDOK,
               {BrowserWarningCaption, BrowserEmptyNameText, MB_OK | MB_ICONWARNING}, IDOK,
               "browser after the warning");
  Check(WaitForFocus(run, GetDlgItem(browser, IDC_NAME_EDIT)), "name field has the focus");
  CancelBrowser(browser, page, InBase(""), "destination with an empty name");
  PressAndStay(run, page, IDOK, {SetupCaption, PageEmptyNameText, MB_OK | MB_ICONWARNING}, IDOK,
               "destination page after the warning");
  Check(WaitForFocus(run, GetDlgItem(page, IDC_DEST_EDIT)), "edit 101 has the focus");
  EndWithCancel(run, page);
}

// Drive E is a 3 MB tmpfs: refused in the browser (default caption) and on
// the page; choosing drive C afterwards goes on.
void SmallDrive(SetupRun *run, HWND page, HWND browser)
{
  if (!ChooseDrive(browser, "E:\\"))
    return CloseBrowserAndCancel(run, page, browser);
  unsigned long shown = CheckFreeSpaceLine(browser, "E:\\", 0);
  Check(shown < RequiredKB, "drive E has less than 5000 units (%lu)", shown);
  PressAndStay(run, browser, IDOK, BrowserNoSpace, IDYES, "browser after Yes");
  PressAndStay(run, browser, IDOK, BrowserNoSpace, IDNO, "browser after No");
  CancelBrowser(browser, page, "E:\\The Zorvane", "destination on E");

  PressAndStay(run, page, IDOK, PageNoSpace, IDYES, "destination page after Yes");
  PressAndStay(run, page, IDOK, PageNoSpace, IDNO, "destination page after No");
  Check(!DirectoryExists("E:\\The Zorvane"), "nothing was created on E");

  // Another drive through Browse: C's root.
  browser = OpenBrowser(run, page);
  if (browser && ChooseDrive(browser, "C:\\")) {
    AcceptBrowser(run, browser, page, "C:\\The Zorvane");
    NextAndInstall(run, page);
  } else {
    CloseBrowserAndCancel(run, page, browser);
  }
}

// The two sides of 5000 units as Wine can stage them (it counts in
// clusters of 4096 bytes): drive G with 4997 units is refused, drive F with
// 5001 passes in the browser and on the page.
void FreeSpaceBoundary(SetupRun *run, HWND page, HWND browser)
{
  if (!ChooseDrive(browser, "G:\\"))
    return CloseBrowserAndCancel(run, page, browser);
  CheckTextSoon(browser, IDC_FREE_SPACE_LINE, FreeSpaceLine(RequiredKB - 3),
                "free-space line at 4997");
  CheckFreeSpaceLine(browser, "G:\\", 0);
  PressAndStay(run, browser, IDOK, BrowserNoSpace, IDNO, "browser with 4997 units");

  if (!ChooseDrive(browser, "F:\\"))
    return CloseBrowserAndCancel(run, page, browser);
  CheckTextSoon(browser, IDC_FREE_SPACE_LINE, FreeSpaceLine(RequiredKB + 1),
                "free-space line at 5001");
  CheckFreeSpaceLine(browser, "F:\\", 0);
  AcceptBrowser(run, browser, page, "F:\\The Zorvane");
  NextAndInstall(run, page);
}

// C:\Program files\The Zorvane exists: No keeps the page and the question
// comes again; Yes installs into it.
void ExistingDestination(SetupRun *run, HWND page)
{
  PressAndStay(run, page, IDOK, DirExists, IDNO, "destination page after No");
  CheckText(ControlText(page, IDC_DEST_EDIT), DefaultDestination, "destination after No");
  Click(page, IDOK);
  ExpectMessageBox(run, DirExists.caption, DirExists.text, DirExists.flags, IDYES);
  FinishInstall(run, page);
}

// A name typed with "/" whose parent is missing: shown as the one full path
// with "\", both levels made, and stored so (the check reads the registry
// and uninstalls from it).
void MissingParent(SetupRun *run, HWND page, HWND browser)
{
  SetText(browser, IDC_NAME_EDIT, "Apps/The Zorvane");
  AcceptBrowser(run, browser, page, InBase("Apps\\The Zorvane"));
  Check(!DirectoryExists(InBase("Apps").c_str()), "Apps does not exist before Next");
  NextAndInstall(run, page);
}

// Next on destination that cannot be made: the error names it and the
// page stays.
void CannotCreateRefused(SetupRun *run, HWND page, const std::string &destination)
{
  char text[1024];
  snprintf(text, sizeof(text), CannotCreateFormat, destination.c_str());
  PressAndStay(run, page, IDOK, {SetupCaption, text, MB_OK | MB_ICONERROR}, IDOK,
               "destination page after the error");
}

// A directory that cannot be made is named in an error and the page stays.
void CannotCreate(SetupRun *run, HWND page, HWND browser)
{
  // Locked is staged immutable: nothing can be made inside it.
  SetText(browser, IDC_NAME_EDIT, "Locked\\The Zorvane");
  Click(browser, IDOK);
  Check(WaitForWindowGone(browser), "OK closes the browser");
  std::string dir = InBase("Locked\\The Zorvane");
  CheckTextSoon(page, IDC_DEST_EDIT, dir, "destination");
  for (int press = 1; press <= 2; ++press)
    CannotCreateRefused(run, page, dir);
  Check(!DirectoryExists(dir.c_str()), "the directory was not made");

  // An invalid name below a missing parent: the parent made on the way is
  // removed again when the destination itself cannot be made.
  browser = OpenBrowser(run, page);
  if (browser) {
    SetText(browser, IDC_NAME_EDIT, "Fresh\\Bad|Name");
    AcceptBrowser(run, browser, page, InBase("Fresh\\Bad|Name"));
    CannotCreateRefused(run, page, InBase("Fresh\\Bad|Name"));
    Check(!DirectoryExists(InBase("Fresh").c_str()), "no parent was left behind");
  }
  EndWithCancel(run, page);
}

// Descending into the final entry again and again: the browser stops where
// the path and its search pattern would no longer fit, and Next refuses a
// destination longer than a Windows path.
void LongPaths(SetupRun *run, HWND page, HWND browser)
{
  std::string base = InBase(ProductTitle);
  Enter(run, browser, ProductTitle, base + "\\The Zorvane");
  // Each level adds 12 characters; a 512-byte path keeps 4 for the
  // pattern and 1 for the terminator, so 496 characters is the deepest.
  int levels = 1;
  while (base.size() + 12 + 4 + 1 <= 512) {
    std::string next = base + "\\The Zorvane";
    if (!Navigate(run, browser, 1, next + "\\The Zorvane"))
      break;
    base = next;
    ++levels;
  }
  Log("descended %d levels; the directory is %u characters long", levels,
      static_cast<unsigned>(base.size()));
  Check(base.size() == 496, "deepest directory has 496 characters");
  std::string line = base + "\\The Zorvane";
  DoubleClickListItem(run, GetDlgItem(browser, IDC_DIR_LIST), 1);
  Pause(300);
  CheckText(ControlText(browser, IDC_PATH_LINE), line.c_str(),
            "a descent that does not fit changes nothing");
  CheckItems(DirItems(run, browser), {UpEntryText, "The Zorvane"}, "entries at the bottom");
  AcceptBrowser(run, browser, page, line);
  PressAndStay(run, page, IDOK, {SetupCaption, PathTooLongText, MB_OK | MB_ICONERROR}, IDOK,
               "destination page after the refusal");
  Check(!DirectoryExists(DefaultDestination), "nothing was created");
  EndWithCancel(run, page);
}

// A destination of 230 characters, chosen below two folders of 100
// characters (destination.sh makes them): the longest file name still fits
// the path limit there, and setup installs every file.
void LongDestination(SetupRun *run, HWND page, HWND browser)
{
  const std::string a(100, 'a'), b(100, 'b');
  const std::string destination = InBase(a + "\\" + b + "\\" + ProductTitle);
  if (!Enter(run, browser, a.c_str(), InBase(a + "\\" + ProductTitle)) ||
      !Enter(run, browser, b.c_str(), destination))
    return CloseBrowserAndCancel(run, page, browser);
  Check(destination.size() == 230, "the destination has %zu characters", destination.size());
  AcceptBrowser(run, browser, page, destination);
  NextAndInstall(run, page);
}

// The existing destination is a link (a Unix symbolic link, which Wine shows
// as the folder it leads to): refused with a box naming it before any
// question, and the page stays; the check finds nothing written or changed
// through it.
void LinkedDestination(SetupRun *run, HWND page)
{
  Click(page, IDOK);
  char text[1024];
  snprintf(text, sizeof(text), InstallDirLinkFormat, DefaultDestination);
  ExpectMessageBox(run, SetupCaption, text, MB_OK | MB_ICONERROR, IDOK);
  StillOpen(page, "destination page after the refusal");
  EndWithCancel(run, page);
}

// "C:\Program files" is a link into a user's folder (destination.sh): the
// default destination is refused at Next with a box naming the link, before
// anything is made through it; the check finds the user's folder empty and
// no Uninstall key.
void LinkedProgramFiles(SetupRun *run, HWND page)
{
  CheckText(ControlText(page, IDC_DEST_EDIT), DefaultDestination, "destination");
  Click(page, IDOK);
  char text[1024];
  snprintf(text, sizeof(text), LevelLinkFormat, DefaultBase);
  ExpectMessageBox(run, SetupCaption, text, MB_OK | MB_ICONERROR, IDOK);
  StillOpen(page, "destination page after the refusal");
  EndWithCancel(run, page);
}

// C:\ as the base and "ProgramData", then "windows", as the name: each is
// refused with a box naming it, whatever its access list says, and the page
// stays; the check finds neither changed.
void SystemFolders(SetupRun *run, HWND page, HWND browser)
{
  for (const char *name : {"ProgramData", "windows"}) {
    if (!ChooseDrive(browser, "C:\\"))
      return CloseBrowserAndCancel(run, page, browser);
    const std::string destination = std::string("C:\\") + name;
    SetText(browser, IDC_NAME_EDIT, name);
    AcceptBrowser(run, browser, page, destination);
    Click(page, IDOK);
    char text[1024];
    snprintf(text, sizeof(text), NeverInstallFormat, destination.c_str());
    ExpectMessageBox(run, SetupCaption, text, MB_OK | MB_ICONERROR, IDOK);
    StillOpen(page, "destination page after the refusal");
    browser = OpenBrowser(run, page);
    if (!browser)
      return EndWithCancel(run, page);
  }
  CloseBrowserAndCancel(run, page, browser);
}

}  // namespace

const Scenario Scenarios[] = {
    {"default_destination", DefaultDestinationScenario},
    {"default_install", OnDirPage<DefaultInstall>},
    {"extra_drive", InBrowser<ExtraDrive>},
    {"name_limit", InBrowser<NameLimit>},
    {"empty_name", InBrowser<EmptyName>},
    {"small_drive", InBrowser<SmallDrive>},
    {"free_space_boundary", InBrowser<FreeSpaceBoundary>},
    {"existing_destination", OnDirPage<ExistingDestination>},
    {"missing_parent", InBrowser<MissingParent>},
    {"cannot_create", InBrowser<CannotCreate>},
    {"long_paths", InBrowser<LongPaths>},
    {"long_destination", InBrowser<LongDestination>},
    {"linked_destination", OnDirPage<LinkedDestination>},
    {"linked_program_files", OnDirPage<LinkedProgramFiles>},
    {"system_folders", InBrowser<SystemFolders>},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
