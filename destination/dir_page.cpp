// The destination page: proposes a directory, lets the folder browser
// change it, checks the name, the free space and the length, and makes the
// directory before setup goes on.
#include "destination/dir_page.h"

#include <cstring>

#include "destination/dest_path.h"
#include "resources/setup_texts.h"
#include "destination/drives.h"
#include "destination/folder_browser.h"
#include "destination/make_dir.h"
#include "resources/resource.h"
#include "setup_common/dir_ops.h"
#include "setup_common/banner.h"
#include "common/dispatch.h"
#include "setup_common/state.h"

namespace {

// Composes InstallDir and shows the destination in edit 101. A composition
// longer than a Windows path is shown as it is but not taken into
// InstallDir; Next refuses it.
void ShowDestination(HWND page)
{
  char shown[2 * PathBufferSize];
  ComposePath(shown, sizeof(shown), BaseDir, BrowsePath);
  ComposeInstallDir(InstallDir, sizeof(InstallDir), BaseDir, BrowsePath);
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

// Makes InstallDir; true when the page may end and setup go on.
bool SettleInstallDir(HWND page)
{
  switch (SettleDestination(InstallDir, SystemDirOps)) {
    case DestinationCreated:
      return true;
    case DestinationExists:
      return MessageBoxA(page, DirExistsText, SetupCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
    default: {
      char text[2 * PathBufferSize];
      wsprintfA(text, CannotCreateFormat, InstallDir);
      MessageBoxA(page, text, SetupCaption, MB_OK | MB_ICONERROR);
      return false;
    }
  }
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
  if (!ComposeInstallDir(InstallDir, sizeof(InstallDir), BaseDir, BrowsePath)) {
    MessageBoxA(page, PathTooLongText, SetupCaption, MB_OK | MB_ICONERROR);
    return;
  }
  if (SettleInstallDir(page))
    EndDialog(page, 0);
}

LRESULT OnDirButton(HWND page, UINT id, UINT, LPARAM)
{
  if (id == IDOK)
    OnNext(page);
  else if (MessageBoxA(page, CancelQuestionText, SetupCaption, MB_YESNO | MB_ICONQUESTION) == IDYES)
    EndDialog(page, 1);
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
