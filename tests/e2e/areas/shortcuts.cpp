// The shortcut page and the program-group browser seen from outside: the
// proposed Start-menu folder, Browse, the desktop box, Finish and Cancel.
// The files and registry values the page leaves are checked afterwards by
// shortcuts.sh with `wine reg query` and `lnkinfo`.
#include "tests/e2e/driver/driver.h"

#include "resources/setup_texts.h"
#include "resources/resource.h"
#include "common/product.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

const char ShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char AppPathsProduct[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\The Zorvane";
const char UninstallProduct[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\The Zorvane";
const char FinalEntry[] = "The Zorvane";  // BrowsePath, as the destination page left it

// A REG_SZ value of HKEY_LOCAL_MACHINE, read by the driver itself; "" when
// missing.
std::string ReadMachineString(const char *keyPath, const char *name)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return "";
  char data[1024] = "";
  DWORD length = sizeof(data) - 1;
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE *>(data), &length) !=
      ERROR_SUCCESS)
    data[0] = '\0';
  RegCloseKey(key);
  return data;
}

void WriteMachineString(const char *keyPath, const char *name, const char *text)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
    return;
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
  RegCloseKey(key);
}

bool KeyExists(const char *keyPath)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

// Walks the agreement, destination and copy pages with their defaults and
// returns the shortcut page. An existing destination is accepted when
// acceptExisting; any other message box on the way is a failure.
HWND ReachShortcutPage(SetupRun *run, bool acceptExisting)
{
  HWND handled = nullptr;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    if (HWND box = WaitForMessageBox(run, 0)) {
      MessageBoxInfo info = ReadMessageBox(box);
      if (acceptExisting && info.text == DirExistsText) {
        Log("destination exists: answering Yes");
        AnswerMessageBox(box, IDYES);
        continue;
      }
      Check(false, "unexpected message box before the shortcut page: \"%s\"", info.text.c_str());
      return nullptr;
    }
    if (HasExited(run))
      break;
    // Each window is classified once by all its controls, so a page that
    // appears meanwhile is never taken for another (the shortcut page also
    // has the destination page's edit 101).
    for (HWND window : ProcessWindows(run)) {
      if (GetDlgItem(window, IDC_DESKTOP_BOX) != nullptr) {
        Pause(300);
        return window;
      }
      bool agreement = GetDlgItem(window, IDC_LICENCE_TEXT) != nullptr;
      bool destination = GetDlgItem(window, IDC_DEST_EDIT) != nullptr &&
                         GetDlgItem(window, IDC_PROGRESS_BAR) == nullptr;
      if ((agreement || destination) && window != handled) {
        Pause(200);
        Click(window, IDOK);
        handled = window;
        break;
      }
    }
    Pause(100);
  }
  Check(false, "the shortcut page appears within 60 s");
  return nullptr;
}

// The success message ends every run that reaches the shortcut page, then
// setup exits with 0.
void ExpectSuccessAndExit(SetupRun *run)
{
  ExpectMessageBox(run, SetupCaption, SuccessMessage(InstalledWord).c_str(),
                   MB_OK | MB_ICONINFORMATION, IDOK);
  Check(WaitForExit(run) == 0, "setup exits with code 0");
  Check(NoMessageBoxWithin(run, 0), "no further message box");
}

// Finish, with nothing on the page to object to: the success message.
void FinishAndSucceed(SetupRun *run, HWND page)
{
  Click(page, IDOK);
  ExpectSuccessAndExit(run);
}

typedef void (*PageSteps)(SetupRun *run, HWND page);

// A scenario on the shortcut page, reached with the defaults of the pages
// before it; Steps end setup one way or another.
template <PageSteps Steps> void OnShortcutPage()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  if (HWND page = ReachShortcutPage(&run, false))
    Steps(&run, page);
  EndRun(&run);
}

// The page as it opens: the Start-menu folder alone, the box unticked,
// "Finish" focused.
void CheckOpenedPage(SetupRun *run, HWND page, const std::string &expectedFolder)
{
  CheckText(ControlText(page, IDC_DEST_EDIT), expectedFolder.c_str(), "edit 101 on opening");
  Check(SendMessageA(GetDlgItem(page, IDC_DESKTOP_BOX), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
        "desktop box starts unticked");
  Check(WaitForFocus(run, GetDlgItem(page, IDOK)), "\"Finish\" has the focus");
}

std::string CommonPrograms()
{
  return ReadMachineString(ShellFolders, "Common Programs");
}

// A default run that presses Finish, optionally with the desktop box.
void InstallWithFinish(bool tickDesktop, bool acceptExisting)
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  if (HWND page = ReachShortcutPage(&run, acceptExisting)) {
    CheckOpenedPage(&run, page, CommonPrograms());
    if (tickDesktop) {
      Click(page, IDC_DESKTOP_BOX);
      Pause(200);
      Check(SendMessageA(GetDlgItem(page, IDC_DESKTOP_BOX), BM_GETCHECK, 0, 0) == BST_CHECKED,
            "desktop box ticked");
    }
    SaveScreenshot("shortcut-page");
    FinishAndSucceed(&run, page);
  }
  EndRun(&run);
}

void FullInstall()
{
  InstallWithFinish(false, false);
}
void DesktopLink()
{
  InstallWithFinish(true, false);
}

// Both runs end with Finish; between them the driver spoils the values and
// a link, which the second run must put right in place.
void SecondInstall()
{
  InstallWithFinish(false, false);
  WriteMachineString(AppPathsProduct, "Path", "stale");
  WriteMachineString(UninstallProduct, "Scdir", "stale");
  std::string link = CommonPrograms() + "\\The Zorvane\\TheZorvane.lnk";
  HANDLE file = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (Check(file != INVALID_HANDLE_VALUE, "link replaced by junk before the second run")) {
    DWORD written;
    WriteFile(file, "junk", 4, &written, nullptr);
    CloseHandle(file);
  }
  InstallWithFinish(false, true);
}

// Cancel registers before it asks; No keeps the page, and Finish then
// registers again (the driver removes the keys in between to see it).
void CancelNoFinish(SetupRun *run, HWND page)
{
  std::string group = CommonPrograms() + "\\The Zorvane";
  Click(page, IDCANCEL);
  HWND box = WaitForMessageBox(run);
  CheckMessageBox(box, CancelShortcutsCaption, CancelShortcutsText, MB_YESNO | MB_ICONQUESTION);
  CheckText(ReadMachineString(UninstallProduct, "Scdir"), group.c_str(),
            "Scdir written before the question is answered");
  if (box)
    AnswerMessageBox(box, IDNO);
  Pause(300);
  Check(IsWindow(page) && IsWindowVisible(page), "the page stays after No");

  RegDeleteKeyA(HKEY_LOCAL_MACHINE, AppPathsProduct);
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, UninstallProduct);
  Check(!KeyExists(AppPathsProduct) && !KeyExists(UninstallProduct),
        "driver removed both keys before Finish");
  FinishAndSucceed(run, page);
  CheckText(ReadMachineString(UninstallProduct, "Scdir"), group.c_str(),
            "Scdir written again by Finish");
}

// Cancel and Yes: registered, no shortcuts, and the wizard still reports
// success.
void CancelYes(SetupRun *run, HWND page)
{
  Click(page, IDCANCEL);
  ExpectMessageBox(run, CancelShortcutsCaption, CancelShortcutsText, MB_YESNO | MB_ICONQUESTION,
                   IDYES);
  Check(WaitForWindowGone(page), "the page ends after Yes");
  ExpectSuccessAndExit(run);
}

// The browser of the open page, after pressing Browse.
HWND OpenBrowser(SetupRun *run, HWND page)
{
  Click(page, IDC_BROWSE);
  HWND browser = WaitForPage(run, IDC_GROUP_LIST);
  Check(browser != nullptr, "program-group browser opens");
  Pause(200);
  return browser;
}

std::string Joined(const std::vector<std::string> &items)
{
  std::string text;
  for (const std::string &item : items)
    text += (text.empty() ? "" : " | ") + item;
  return text;
}

// The browser lists folder: its path line and list entries as given.
void CheckListing(SetupRun *run, HWND browser, const char *folder,
                  const std::vector<std::string> &entries)
{
  std::string line = std::string(folder) + "\\" + FinalEntry;
  CheckText(ControlText(browser, IDC_GROUP_PATH), line.c_str(), "path line");
  std::vector<std::string> items = ListViewItems(run, GetDlgItem(browser, IDC_GROUP_LIST));
  Check(items == entries, "list of %s is [%s] (got [%s])", folder, Joined(entries).c_str(),
        Joined(items).c_str());
}

int IndexOf(SetupRun *run, HWND browser, const char *text)
{
  std::vector<std::string> items = ListViewItems(run, GetDlgItem(browser, IDC_GROUP_LIST));
  for (size_t i = 0; i < items.size(); ++i)
    if (items[i] == text)
      return static_cast<int>(i);
  Check(false, "entry \"%s\" is listed", text);
  return -1;
}

void DoubleClick(SetupRun *run, HWND browser, int index)
{
  Log("double-click on entry %d", index);
  DoubleClickListItem(run, GetDlgItem(browser, IDC_GROUP_LIST), index);
  Pause(200);
}

// Double-clicks the entry at index; the browser then lists folder with
// entries.
void DoubleClickTo(SetupRun *run, HWND browser, int index, const char *folder,
                   const std::vector<std::string> &entries)
{
  DoubleClick(run, browser, index);
  CheckListing(run, browser, folder, entries);
}

// Presses button (OK or Cancel) in the browser, which closes.
void CloseBrowser(HWND browser, int button)
{
  Click(browser, button);
  Check(WaitForWindowGone(browser), "browser closes with %s", button == IDOK ? "OK" : "Cancel");
}

// After the browser closed: edit 101 shows group.
void CheckGroupAfterBrowse(HWND page, const char *group)
{
  Pause(200);
  CheckText(ControlText(page, IDC_DEST_EDIT), group, "edit 101 after Browse");
}

// The browser is at a drive root: no up entry.
void CheckNoUpEntry(SetupRun *run, HWND browser)
{
  std::vector<std::string> root = ListViewItems(run, GetDlgItem(browser, IDC_GROUP_LIST));
  Check(!root.empty() && root[0] != UpEntryText, "no up entry at C: ([%s])", Joined(root).c_str());
}

// Double-clicks the list where no entry is, which leaves no entry selected.
void DoubleClickEmptySpace(HWND browser)
{
  HWND list = GetDlgItem(browser, IDC_GROUP_LIST);
  RECT rect;
  GetClientRect(list, &rect);
  LPARAM point = MAKELPARAM(rect.right - 4, rect.bottom - 4);
  Log("double-click on empty space");
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  Pause(500);
}

// Common Programs is C:\WINDOWS\Start Menu\Programs (30 characters) with the
// folders Accessories and Games: the up entry leads to the 21-character
// Start Menu, where position 0 is an ordinary folder.
void BrowseShortPath(SetupRun *run, HWND page)
{
  const char programs[] = "C:\\WINDOWS\\Start Menu\\Programs";
  const std::vector<std::string> programsEntries = {UpEntryText, "Accessories", "Games",
                                                    FinalEntry};
  CheckOpenedPage(run, page, programs);
  if (HWND browser = OpenBrowser(run, page)) {
    CheckText(WindowText(browser), "", "browser caption");
    CheckListing(run, browser, programs, programsEntries);
    SaveScreenshot("browser-programs");
    // Nothing selected: the same folder is listed again.
    DoubleClickEmptySpace(browser);
    CheckListing(run, browser, programs, programsEntries);

    DoubleClickTo(run, browser, IndexOf(run, browser, "Games"),
                  "C:\\WINDOWS\\Start Menu\\Programs\\Games", {UpEntryText, FinalEntry});
    DoubleClickTo(run, browser, 0, programs, programsEntries);
    // 30 -> 21 characters: no up entry any more.
    DoubleClickTo(run, browser, 0, "C:\\WINDOWS\\Start Menu", {"Programs", FinalEntry});
    SaveScreenshot("browser-start-menu");
    // At 21 characters position 0 is the folder Programs: a descent.
    DoubleClickTo(run, browser, 0, programs, programsEntries);
    DoubleClick(run, browser, IndexOf(run, browser, "Games"));
    // Cancel keeps the folder reached.
    CloseBrowser(browser, IDCANCEL);
  }
  CheckGroupAfterBrowse(page, "C:\\WINDOWS\\Start Menu\\Programs\\Games\\The Zorvane");
  FinishAndSucceed(run, page);
}

// Common Programs is C:\Zorvane Start Menus (22 characters): the up entry
// is listed and leads to the bare drive C:; the final entry descends into a
// folder named after it, listed empty, from which the up entry leads back.
void BrowseToDrive(SetupRun *run, HWND page)
{
  const char menus[] = "C:\\Zorvane Start Menus";
  const std::vector<std::string> menusEntries = {UpEntryText, FinalEntry, "Tools"};
  CheckOpenedPage(run, page, menus);
  if (HWND browser = OpenBrowser(run, page)) {
    CheckListing(run, browser, menus, menusEntries);
    DoubleClickTo(run, browser, IndexOf(run, browser, FinalEntry),
                  "C:\\Zorvane Start Menus\\The Zorvane", {UpEntryText, FinalEntry});
    DoubleClickTo(run, browser, 0, menus, menusEntries);

    DoubleClick(run, browser, 0);
    CheckText(ControlText(browser, IDC_GROUP_PATH), "C:\\The Zorvane",
              "path line at the bare drive");
    CheckNoUpEntry(run, browser);
    Check(IndexOf(run, browser, "Zorvane Start Menus") >= 0 &&
              IndexOf(run, browser, "windows") >= 0,
          "C: lists the folders of the drive root");
    SaveScreenshot("browser-drive");
    CloseBrowser(browser, IDOK);
  }
  CheckGroupAfterBrowse(page, "C:\\The Zorvane");
  // Reopened where the last visit left it; Enter acts as OK.
  Click(page, IDC_BROWSE);
  if (HWND browser = WaitForPage(run, IDC_GROUP_LIST)) {
    Pause(200);
    CheckText(ControlText(browser, IDC_GROUP_PATH), "C:\\The Zorvane", "reopened at C:");
    PressKey(run, VK_RETURN);
    Check(WaitForWindowGone(browser), "Enter closes the browser");
  }
  CheckGroupAfterBrowse(page, "C:\\The Zorvane");
  FinishAndSucceed(run, page);
}

// Descending into the final entry again and again stops when the folder
// would no longer fit; the refused descent changes nothing, and Finish still
// ends with the success message.
void DeepDescent(SetupRun *run, HWND page)
{
  if (HWND browser = OpenBrowser(run, page)) {
    std::string line = ControlText(browser, IDC_GROUP_PATH);
    std::string previous;
    int descents = 0;
    while (descents < 60 && line != previous) {
      previous = line;
      DoubleClick(run, browser, IndexOf(run, browser, FinalEntry));
      line = ControlText(browser, IDC_GROUP_PATH);
      if (line != previous)
        ++descents;
    }
    size_t folderLength = line.size() - std::strlen(FinalEntry) - 1;
    Log("%d descents, folder of %u characters", descents, static_cast<unsigned>(folderLength));
    Check(line == previous, "a descent was refused");
    Check(folderLength <= 507 && folderLength + 12 > 507,
          "the folder stops at the last length that keeps room for the listing (%u)",
          static_cast<unsigned>(folderLength));
    CheckListing(run, browser, line.substr(0, folderLength).c_str(), {UpEntryText, FinalEntry});
    CloseBrowser(browser, IDOK);
  }
  FinishAndSucceed(run, page);
}

// Common Programs is missing: the page proposes C:, and the program group
// becomes C:\The Zorvane.
void NoCommonPrograms(SetupRun *run, HWND page)
{
  CheckOpenedPage(run, page, "C:");
  if (HWND browser = OpenBrowser(run, page)) {
    CheckText(ControlText(browser, IDC_GROUP_PATH), "C:\\The Zorvane", "path line at C:");
    CheckNoUpEntry(run, browser);
    CloseBrowser(browser, IDCANCEL);
  }
  FinishAndSucceed(run, page);
}

// A Common Desktop path too long for its buffer: no desktop link, nothing
// said, the program group made as usual.
void DesktopTooLong(SetupRun *run, HWND page)
{
  Check(ReadMachineString(ShellFolders, "Common Desktop").size() >= 260,
        "Common Desktop is staged longer than 259 characters");
  Click(page, IDC_DESKTOP_BOX);
  Pause(200);
  FinishAndSucceed(run, page);
}

// A folder verb planted where the shell looks it up (Wine reads it from
// HKLM\Software\Classes; Windows also from the user's own HKCU classes,
// which an elevated setup must not run): a command that leaves a marker.
// Finish must open the group folder in a window of its own without it.
const char MarkerPath[] = "C:\\zvtest\\verb-marker.txt";

void PlantFolderVerb(const char *classKey)
{
  std::string command = std::string("C:\\windows\\system32\\cmd.exe /c echo planted>") + MarkerPath;
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, classKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    Check(false, "planting %s", classKey);
    return;
  }
  RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE *>(command.c_str()),
                 static_cast<DWORD>(command.size() + 1));
  RegCloseKey(key);
}

void FinishWithoutVerb()
{
  PlantFolderVerb("Software\\Classes\\Folder\\shell\\open\\command");
  PlantFolderVerb("Software\\Classes\\Directory\\shell\\open\\command");
  InstallWithFinish(false, false);
  HWND folder = WaitForWindowTitled(FinalEntry);
  Check(folder != nullptr, "a window titled \"%s\" (the group folder) opens", FinalEntry);
  Pause(1000);
  Check(GetFileAttributesA(MarkerPath) == INVALID_FILE_ATTRIBUTES,
        "the planted folder verb did not run (no %s)", MarkerPath);
  if (folder != nullptr)
    PostMessageA(folder, WM_CLOSE, 0, 0);
}

}  // namespace

const Scenario Scenarios[] = {
    {"full_install", FullInstall},
    {"desktop_link", DesktopLink},
    {"cancel_no_finish", OnShortcutPage<CancelNoFinish>},
    {"cancel_yes", OnShortcutPage<CancelYes>},
    {"second_install", SecondInstall},
    {"browse_short_path", OnShortcutPage<BrowseShortPath>},
    {"browse_to_drive", OnShortcutPage<BrowseToDrive>},
    {"deep_descent", OnShortcutPage<DeepDescent>},
    {"no_common_programs", OnShortcutPage<NoCommonPrograms>},
    {"desktop_too_long", OnShortcutPage<DesktopTooLong>},
    {"registry_calls", FullInstall},
    {"link_calls", FullInstall},
    {"finish_without_verb", FinishWithoutVerb},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
