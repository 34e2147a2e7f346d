// The directory list shared by the folder browser and the program-group
// browser.
#include "destination/dir_list.h"

#include <commctrl.h>

#include <cstring>

#include "destination/dest_path.h"
#include "destination/dest_texts.h"
#include "destination/dir_rules.h"
#include "resources/resource.h"
#include "shell/common_controls.h"
#include "shell/state.h"

int FolderImage;
int UpImage;
int NewFolderImage;
int LastItemIndex;

int AddDirEntry(HWND list, const char *text, int position, int image)
{
  LVITEMA item;
  std::memset(&item, 0, sizeof(item));
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = position;
  item.iSubItem = 0;
  item.pszText = const_cast<char *>(text);
  item.iImage = image;
  return static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void FillDirList(HWND dialog, HWND list, char *path, int mode)
{
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  int n = 0;
  ListPlan plan = PlanDirList(static_cast<int>(std::strlen(path)), mode);
  if (plan.upEntry) {
    AddDirEntry(list, UpEntryText, 0, UpImage);
    n = 1;
  }

  // The pattern is composed beside the path, so a path that fills its
  // buffer is never written past; such a path lists nothing.
  char pattern[PathBufferSize + PatternRoom + 1];
  if (ComposeSearchPattern(pattern, sizeof(pattern), path, plan)) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search != INVALID_HANDLE_VALUE) {
      do {
        if (IsListedEntry(found.dwFileAttributes, found.cFileName))
          AddDirEntry(list, found.cFileName, n++, FolderImage);
      } while (FindNextFileA(search, &found));
      FindClose(search);
    }
  }

  LastItemIndex = n;
  AddDirEntry(list, BrowsePath, n, NewFolderImage);

  char line[PathBufferSize];
  ComposePathLine(line, sizeof(line), path, plan, BrowsePath);
  SetDlgItemTextA(dialog, mode == 1 ? IDC_GROUP_PATH : IDC_PATH_LINE, line);
}

static int AppendIcon(HIMAGELIST images, int id)
{
  return ImageListReplaceIcon(images, -1, LoadIconA(AppInstance, MAKEINTRESOURCEA(id)));
}

void AttachFolderImages(HWND list)
{
  HIMAGELIST images = ImageListCreate(16, 16, ILC_MASK, 3, 0);
  FolderImage = AppendIcon(images, IDI_FOLDER);
  UpImage = AppendIcon(images, IDI_UP);
  NewFolderImage = AppendIcon(images, IDI_NEW_FOLDER);
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}
