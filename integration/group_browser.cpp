// Program-group browser; see group_browser.h. The list is the shared folder
// list with the program-group browser's listing, which shows the up entry
// "........" only above the 21-character top of the Start menu.
#include "integration/group_browser.h"

#include "integration/shortcut_page_rules.h"
#include "resources/resource.h"
#include "common/dispatch.h"
#include "setup_common/folder_list_view.h"
#include "setup_common/state.h"

#include <commctrl.h>
#include <cstring>

namespace {

// The path line and the list, kept while the browser is open.
HWND GroupPathLine;
HWND GroupList;

LRESULT OnGroupBrowserInit(HWND dialog, UINT, WPARAM, LPARAM)
{
  GroupPathLine = GetDlgItem(dialog, IDC_GROUP_PATH);
  GroupList = GetDlgItem(dialog, IDC_GROUP_LIST);
  SetWindowTextA(GroupPathLine, ShortcutGroup);
  AttachFolderImages(GroupList);
  FillDirList(dialog, GroupList, ShortcutGroup, GroupBrowserListing);
  return TRUE;
}

// A double-click goes up or down by position and lists the folder again; a
// folder that would no longer fit ShortcutGroup is not entered.
LRESULT OnGroupBrowserNotify(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
  const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
  if (header == nullptr || header->idFrom != IDC_GROUP_LIST || header->code != NM_DBLCLK)
    return 0;
  FollowDoubleClick(dialog, GroupList, ShortcutGroup, sizeof(ShortcutGroup), GroupBrowserListing);
  return 0;
}

// OK, Cancel, Esc and the close box alike: the folder reached stays.
LRESULT OnGroupBrowserClose(HWND dialog, UINT, UINT, LPARAM)
{
  EndDialog(dialog, 0);
  return 1;
}

}  // namespace

ZV_COMMAND_TABLE(GroupBrowserCommands, DefaultReturnZero, {IDOK, OnGroupBrowserClose},
                 {IDCANCEL, OnGroupBrowserClose});

ZV_MESSAGE_TABLE(GroupBrowserMessages, DefaultReturnZero,
                 {WM_COMMAND, ForwardCommand<&GroupBrowserCommands>},
                 {WM_INITDIALOG, OnGroupBrowserInit}, {WM_NOTIFY, OnGroupBrowserNotify});

INT_PTR RunGroupBrowser(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_BROWSE_SHORTCUT", owner,
                         TableDlgProc<&GroupBrowserMessages>, 0);
}
