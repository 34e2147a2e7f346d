// The folder browser: a drive list, the subdirectories of BaseDir, the name
// of the folder to make and the free space of the drive. Every drive change
// or navigation rewrites BaseDir at once; nothing is restored on Cancel.
#include "destination/folder_browser.h"

#include <commctrl.h>

#include "destination/dest_path.h"
#include "resources/setup_texts.h"
#include "destination/drives.h"
#include "resources/resource.h"
#include "common/dispatch.h"
#include "setup_common/folder_list_view.h"
#include "setup_common/state.h"

namespace {

// Handles of the open browser's controls.
HWND NameField;
HWND DirList;
HWND DriveList;
// true while the name-field handler writes the field itself, so that the
// update notification of that write is not taken for typing.
bool NameGuard;

void ShowFreeSpace(HWND dialog)
{
  char line[PathBufferSize];
  wsprintfA(line, FreeSpaceFormat, static_cast<unsigned long>(FreeSpaceKB),
            static_cast<int>(RequiredKB));
  SetDlgItemTextA(dialog, IDC_FREE_SPACE_LINE, line);
}

LRESULT OnBrowseInit(HWND dialog, UINT, WPARAM, LPARAM)
{
  NameField = GetDlgItem(dialog, IDC_NAME_EDIT);
  DirList = GetDlgItem(dialog, IDC_DIR_LIST);
  DriveList = GetDlgItem(dialog, IDC_DRIVE_LIST);

  // Unsorted, so a position in the drive list is an index into DriveRoots.
  for (int i = 0; i < DriveCount; ++i)
    if (DriveRoots[i][0] != '\0')
      SendMessageA(DriveList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(DriveRoots[i]));
  SendMessageA(DriveList, CB_SETCURSEL, static_cast<WPARAM>(CurrentDrive), 0);
  ShowFreeSpace(dialog);

  AttachFolderImages(DirList);
  FillDirList(dialog, DirList, BaseDir, FolderBrowserListing);

  // The field's update notification takes the name into BrowsePath; it is
  // copied here as well so the name holds even if no notification comes.
  SetWindowTextA(NameField, ProductTitle);
  lstrcpynA(BrowsePath, ProductTitle, sizeof(BrowsePath));
  return TRUE;
}

LRESULT OnDriveList(HWND dialog, UINT, UINT code, LPARAM)
{
  if (code != CBN_SELENDOK)
    return 0;
  int drive = static_cast<int>(SendMessageA(DriveList, CB_GETCURSEL, 0, 0));
  if (drive < 0 || drive >= DriveCount)
    return 0;
  CurrentDrive = drive;
  lstrcpynA(BaseDir, DriveRoots[drive], sizeof(BaseDir));
  CharUpperA(BaseDir);
  FillDirList(dialog, DirList, BaseDir, FolderBrowserListing);
  MeasureFreeSpace(drive);
  ShowFreeSpace(dialog);
  return 0;
}

LRESULT OnNameField(HWND dialog, UINT, UINT code, LPARAM)
{
  if (code != EN_UPDATE || NameGuard)
    return 0;
  char text[PathBufferSize];
  int length = GetDlgItemTextA(dialog, IDC_NAME_EDIT, text, sizeof(text));
  switch (JudgeFolderName(length)) {
    case FolderNameCleared:
      BrowsePath[0] = '\0';
      break;
    case FolderNameAccepted:
      lstrcpynA(BrowsePath, text, sizeof(BrowsePath));
      break;
    default:
      NameGuard = true;
      SetWindowTextA(NameField, BrowsePath);
      MessageBeep(0xFFFFFFFF);
      NameGuard = false;
      break;
  }
  return 0;
}

// A double-click in the list goes up or down by position and lists again; a
// descent that would leave no room for the search pattern beeps.
LRESULT OnBrowseNotify(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
  const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
  if (header == nullptr || header->idFrom != IDC_DIR_LIST || header->code != NM_DBLCLK)
    return 0;
  if (!FollowDoubleClick(dialog, DirList, BaseDir, sizeof(BaseDir), FolderBrowserListing))
    MessageBeep(0xFFFFFFFF);
  return 0;
}

// OK checks the name and the free space; Cancel keeps everything reached.
LRESULT OnBrowseButton(HWND dialog, UINT id, UINT, LPARAM)
{
  if (id == IDOK) {
    SendMessageA(NameField, WM_GETTEXT, MaxFolderNameLength + 1,
                 reinterpret_cast<LPARAM>(BrowsePath));
    if (BrowsePath[0] == '\0') {
      MessageBoxA(dialog, BrowserEmptyNameText, BrowserWarningCaption, MB_OK | MB_ICONWARNING);
      SetFocus(NameField);
      return 0;
    }
    if (!FreeSpaceSuffices(FreeSpaceKB)) {
      MessageBoxA(dialog, NoSpaceText, nullptr, MB_YESNO | MB_ICONERROR);
      return 0;
    }
  }
  EndDialog(dialog, 0);
  return 0;
}

}  // namespace

ZV_COMMAND_TABLE(BrowseCommands, DefaultReturnZero, {IDOK, OnBrowseButton},
                 {IDCANCEL, OnBrowseButton}, {IDC_NAME_EDIT, OnNameField},
                 {IDC_DRIVE_LIST, OnDriveList});

ZV_MESSAGE_TABLE(BrowseMessages, DefaultReturnZero, {WM_COMMAND, ForwardCommand<&BrowseCommands>},
                 {WM_INITDIALOG, OnBrowseInit}, {WM_NOTIFY, OnBrowseNotify});

INT_PTR RunFolderBrowser(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_BROWSE", owner, TableDlgProc<&BrowseMessages>, 0);
}
