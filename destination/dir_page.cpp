// The destination page: proposes a directory, lets the folder browser
// change it, checks the name, the free space and the length, and has the
// install folder made or judged and held (setup_common/install_folder.h)
// before setup goes on.
#include "destination/dir_page.h"

#include <cstring>

#include "destination/dest_path.h"
#include "resources/setup_texts.h"
#include "destination/drives.h"
#include "destination/folder_browser.h"
#include "resources/resource.h"
#include "setup_common/install_folder.h"
#include "setup_common/banner.h"
#include "common/dispatch.h"
#include "setup_common/state.h"

namespace {

// Writes the full path of path into out (size bytes) as Windows resolves
// it: "/" becomes "\", "." and ".." components and trailing dots are
// resolved, a relative path is taken from the current directory. The copy,
// the links and the registry then all name the one folder the page made.
// false, out unchanged, when the full path is longer than a Windows path
// or out.
bool TakeFullPath(char *out, int size, const char *path)
{
  char full[PathBufferSize];
  DWORD length = GetFullPathNameA(path, sizeof(full), full, nullptr);
  if (length == 0 || length >= sizeof(full) || length > MaxWindowsPath ||
      length >= static_cast<DWORD>(size))
    return false;
  lstrcpynA(out, full, size);
  return true;
}

// Composes the destination from BaseDir and BrowsePath and takes its full
// path into InstallDir; false, InstallDir unchanged, when either does not
// fit a Windows path.
bool ComposeFullInstallDir()
{
  char composed[PathBufferSize];
  return ComposeInstallDir(composed, sizeof(composed), BaseDir, BrowsePath) &&
         TakeFullPath(InstallDir, sizeof(InstallDir), composed);
}

// Composes InstallDir and shows the destination in edit 101. A composition
// longer than a Windows path is shown as it is but not taken into
// InstallDir; Next refuses it.
void ShowDestination(HWND page)
{
  char shown[2 * PathBufferSize];
  if (ComposeFullInstallDir())
    lstrcpynA(shown, InstallDir, sizeof(shown));
  else
    ComposePath(shown, sizeof(shown), BaseDir, BrowsePath);
  SetDlgItemTextA(page, IDC_DEST_EDIT, shown);
}

LRESULT OnDirInit(HWND page, UINT, WPARAM, LPARAM)
{
  ReadDrives();
  lstrcpynA(BrowsePath, ProductTitle, sizeof(BrowsePath));
  ShowDestination(page);
  return TRUE;
}

LRESULT OnBrowse(HWND page, UINT, UINT, LPARAM)
{
  RunFolderBrowser(page);
  ShowDestination(page);
  return 0;
}

void OnNext(HWND page)
{
  InstallMode = 1;
  if (BrowsePath[0] == '\0') {
    MessageBoxA(page, PageEmptyNameText, SetupCaption, MB_OK | MB_ICONWARNING);
    SetFocus(GetDlgItem(page, IDC_DEST_EDIT));
    return;
  }
  if (!FreeSpaceSuffices(FreeSpaceKB)) {
    // Either answer keeps the page: another drive is chosen through Browse.
    MessageBoxA(page, NoSpaceText, SetupCaption, MB_YESNO | MB_ICONERROR);
    return;
  }
  if (!ComposeFullInstallDir()) {
    MessageBoxA(page, PathTooLongText, SetupCaption, MB_OK | MB_ICONERROR);
    return;
  }
  if (ClaimInstallFolder(page, BaseDir))
    EndDialog(page, 0);
}

LRESULT OnDirButton(HWND page, UINT id, UINT, LPARAM)
{
  if (id == IDOK)
    OnNext(page);
  else if (MessageBoxA(page, CancelQuestionText, SetupCaption, MB_YESNO | MB_ICONQUESTION) ==
           IDYES) {
    // Setup ends: nothing of the destination stays held.
    ReleaseInstallFolder(false);
    EndDialog(page, 1);
  }
  return 0;
}

}  // namespace

ZV_COMMAND_TABLE(DirCommands, DefaultReturnZero, {IDOK, OnDirButton}, {IDCANCEL, OnDirButton},
                 {IDC_BROWSE, OnBrowse});

ZV_MESSAGE_TABLE(DirMessages, DefaultReturnZero, {WM_COMMAND, ForwardCommand<&DirCommands>},
                 {WM_INITDIALOG, OnDirInit}, {WM_PAINT, PaintBanner});

INT_PTR RunDirPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_DIR", owner, TableDlgProc<&DirMessages>, 0);
}
