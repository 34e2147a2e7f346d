// The destination page: proposes a directory, lets the folder browser
// change it, checks the name, the free space and the length, makes the
// directory the elevated setup's own and holds it before setup goes on.
#include "destination/dir_page.h"

#include <cstring>

#include "destination/dest_path.h"
#include "resources/setup_texts.h"
#include "destination/drives.h"
#include "destination/folder_browser.h"
#include "destination/make_dir.h"
#include "resources/resource.h"
#include "setup_common/dir_ops.h"
#include "setup_common/install_dir_access.h"
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

// A box naming InstallDir (format has one %s); the page stays.
void ShowDirError(HWND page, const char *format)
{
  char text[2 * PathBufferSize];
  wsprintfA(text, format, InstallDir);
  MessageBoxA(page, text, SetupCaption, MB_OK | MB_ICONERROR);
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

// Holds InstallDir in InstallDirHeld and gives it the install folder's
// owner and access, through the one handle, before anything is written
// into it; true when that is done. A link or junction at the name is
// refused with a box of its own: setup would write wherever it leads.
bool TakeInstallDir(HWND page, InstallDirSecurity *security)
{
  ReleaseInstallDir();
  HANDLE held = INVALID_HANDLE_VALUE;
  switch (HoldInstallDir(InstallDir, security, &held)) {
    case InstallDirTaken:
      InstallDirHeld = held;
      return true;
    case InstallDirIsLink:
      ShowDirError(page, InstallDirLinkFormat);
      return false;
    default:
      ShowDirError(page, InstallDirUnusableFormat);
      return false;
  }
}

// Makes InstallDir, and each missing parent, with the install folder's
// access, or takes over an existing one the user accepts; true when the
// page may end and setup go on, with the folder held.
bool SettleInstallDir(HWND page)
{
  InstallDirSecurity security = {};
  if (!BuildInstallDirSecurity(&security)) {
    ShowDirError(page, InstallDirUnusableFormat);
    return false;
  }
  switch (SettleDestination(InstallDir, SecuredDirOps(&security.descriptor))) {
    case DestinationCreated:
      InstallDirMade = true;
      break;
    case DestinationExists:
      if (MessageBoxA(page, DirExistsText, SetupCaption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
      break;
    default:
      ShowDirError(page, CannotCreateFormat);
      return false;
  }
  return TakeInstallDir(page, &security);
}

// The destination must be a folder inside BaseDir: a name such as "." or
// ".." would lead to BaseDir itself or above it, and setup would take over
// a folder that holds other programs (Program files, a drive root).
bool InstallDirLiesInsideBase(HWND page)
{
  char base[PathBufferSize];
  if (!TakeFullPath(base, sizeof(base), BaseDir[0] != '\0' ? BaseDir : "."))
    lstrcpynA(base, BaseDir, sizeof(base));
  if (LiesInside(InstallDir, base))
    return true;
  char text[2 * PathBufferSize];
  wsprintfA(text, InstallDirOutsideFormat, InstallDir, base);
  MessageBoxA(page, text, SetupCaption, MB_OK | MB_ICONERROR);
  return false;
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
  if (InstallDirLiesInsideBase(page) && SettleInstallDir(page))
    EndDialog(page, 0);
}

LRESULT OnDirButton(HWND page, UINT id, UINT, LPARAM)
{
  if (id == IDOK)
    OnNext(page);
  else if (MessageBoxA(page, CancelQuestionText, SetupCaption, MB_YESNO | MB_ICONQUESTION) ==
           IDYES) {
    // Setup ends: nothing of the destination stays held.
    ReleaseInstallDir();
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
