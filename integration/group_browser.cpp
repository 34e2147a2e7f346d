// Program-group browser; see group_browser.h. The list is filled by the
// shared directory listing in its program-group mode, which lists the up
// entry "........" only above the 21-character top of the Start menu.
#include "integration/group_browser.h"

#include "destination/dir_list.h"
#include "integration/group_navigation.h"
#include "resources/resource.h"
#include "shell/dispatch.h"
#include "shell/state.h"

#include <commctrl.h>
#include <cstring>

static const int GroupListingMode = 1;
// The list returns an entry's text into a buffer of this size.
static const int EntryTextSize = 256;

// The path line and the list, kept while the browser is open.
static HWND GroupPathLine;
static HWND GroupList;

static LRESULT OnGroupBrowserInit(HWND dialog, UINT, WPARAM, LPARAM)
{
  GroupPathLine = GetDlgItem(dialog, IDC_GROUP_PATH);
  GroupList = GetDlgItem(dialog, IDC_GROUP_LIST);
  SetWindowTextA(GroupPathLine, ShortcutGroup);
  AttachFolderImages(GroupList);
  FillDirList(dialog, GroupList, ShortcutGroup, GroupListingMode);
  return TRUE;
}

// Descends into the entry at position, by its text; a folder that would no
// longer fit ShortcutGroup is refused and nothing changes.
static void DescendIntoEntry(int position)
{
  char text[EntryTextSize];
  text[0] = '\0';
  LVITEMA item;
  std::memset(&item, 0, sizeof(item));
  item.mask = LVIF_TEXT;
  item.iItem = position;
  item.iSubItem = 0;
  item.pszText = text;
  item.cchTextMax = EntryTextSize;
  if (!SendMessageA(GroupList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
    return;
  // The control may answer with a pointer to its own copy of the text.
  const char *name = item.pszText != nullptr ? item.pszText : text;
  GroupDescendInto(ShortcutGroup, sizeof(ShortcutGroup), name);
}

// A double-click goes by position: position 0 is the up entry when the
// folder is long enough to list one, any other entry up to the final one
// is descended into. The folder is listed again in every case.
static LRESULT OnGroupBrowserNotify(HWND dialog, UINT, WPARAM, LPARAM lParam)
{
  const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
  if (header == nullptr || header->idFrom != IDC_GROUP_LIST || header->code != NM_DBLCLK)
    return 0;

  size_t length = std::strlen(ShortcutGroup);
  LRESULT selected = SendMessageA(GroupList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                  MAKELPARAM(LVNI_SELECTED, 0));
  switch (ChooseGroupMove(static_cast<long>(selected), LastItemIndex, length)) {
    case GroupGoUp:
      GroupGoUpLevel(ShortcutGroup);
      break;
    case GroupDescend:
      DescendIntoEntry(static_cast<int>(selected));
      break;
    case GroupStay:
      break;
  }
  FillDirList(dialog, GroupList, ShortcutGroup, GroupListingMode);
  return 0;
}

// OK, Cancel, Esc and the close box alike: the folder reached stays.
static LRESULT OnGroupBrowserClose(HWND dialog, UINT, UINT, LPARAM)
{
  EndDialog(dialog, 0);
  return 1;
}

static const CommandEntry GroupBrowserCommandRows[] = {
    {IDOK, OnGroupBrowserClose},
    {IDCANCEL, OnGroupBrowserClose},
};
static const CommandTable GroupBrowserCommands =
    MakeCommandTable(GroupBrowserCommandRows, DefaultReturnZero);

static LRESULT OnGroupBrowserCommand(HWND dialog, UINT, WPARAM wParam, LPARAM lParam)
{
  return DispatchCommandTable(&GroupBrowserCommands, dialog, wParam, lParam);
}

static const MessageEntry GroupBrowserMessageRows[] = {
    {WM_COMMAND, OnGroupBrowserCommand},
    {WM_INITDIALOG, OnGroupBrowserInit},
    {WM_NOTIFY, OnGroupBrowserNotify},
};
static const MessageTable GroupBrowserMessages =
    MakeMessageTable(GroupBrowserMessageRows, DefaultReturnZero);

static INT_PTR CALLBACK GroupBrowserDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DispatchMessageTable(&GroupBrowserMessages, dialog, message, wParam, lParam);
}

INT_PTR RunGroupBrowser(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_BROWSE_SHORTCUT", owner, GroupBrowserDlgProc, 0);
}
