#include "setup_common/folder_list_view.h"

#include <commctrl.h>

#include <cstring>

#include "resources/resource.h"
#include "setup_common/common_controls.h"
#include "common/product.h"
#include "setup_common/state.h"

int FolderImage;
int UpImage;
int NewFolderImage;
int LastItemIndex;

namespace {

// The list returns an entry's text into a buffer of this size: the size of
// the name FindFirstFileA gives (cFileName), so no listed name comes back
// cut. A name's length is in bytes, and with the ANSI code page UTF-8 a
// character takes up to 4 of them, so a smaller buffer would cut names of
// fewer than 256 characters and descend into another folder.
const int EntryTextSize = ShortPathSize;

}  // namespace

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

void FillDirList(HWND dialog, HWND list, const char *path, const FolderListing &listing)
{
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  int n = 0;
  if (ListsUpEntry(listing, std::strlen(path))) {
    AddDirEntry(list, UpEntryText, 0, UpImage);
    n = 1;
  }

  char pattern[PathBufferSize + ListingPatternRoom + 1];
  if (ComposeListingPattern(listing, pattern, sizeof(pattern), path)) {
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
  ComposeListingLine(listing, line, sizeof(line), path, BrowsePath);
  SetDlgItemTextA(dialog, listing.pathLineId, line);
}

namespace {

// Appends the icon's image of the given size: the icon resource holds one
// drawn for each of 16, 24, 32 and 48 pixels, and the system takes the one
// that fits best. The image list copies it, so the icon is destroyed.
int AppendIcon(HIMAGELIST images, int id, int width, int height)
{
  HICON icon = static_cast<HICON>(
      LoadImageA(AppInstance, MAKEINTRESOURCEA(id), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
  const int index = ImageListReplaceIcon(images, -1, icon);
  if (icon)
    DestroyIcon(icon);
  return index;
}

}  // namespace

void AttachFolderImages(HWND list)
{
  // The system's small-icon size: 16 x 16 at 96 dpi, larger at a larger
  // display scale, where the list's text grows too.
  const int width = GetSystemMetrics(SM_CXSMICON);
  const int height = GetSystemMetrics(SM_CYSMICON);
  HIMAGELIST images = ImageListCreate(width, height, ILC_MASK, 3, 0);
  FolderImage = AppendIcon(images, IDI_FOLDER, width, height);
  UpImage = AppendIcon(images, IDI_UP, width, height);
  NewFolderImage = AppendIcon(images, IDI_NEW_FOLDER, width, height);
  SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

namespace {

// Descends into the entry at position by its text. true when there was
// nothing to read (the listing stays as it is) or the descent fitted.
bool DescendIntoEntry(HWND list, int position, char *path, size_t pathSize,
                      const FolderListing &listing)
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
  if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
    return true;
  // The control may answer with a pointer to its own copy of the text.
  const char *name = item.pszText != nullptr ? item.pszText : text;
  return DescendFolder(listing, path, pathSize, name);
}

}  // namespace

bool FollowDoubleClick(HWND dialog, HWND list, char *path, size_t pathSize,
                       const FolderListing &listing)
{
  LRESULT selected =
      SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), MAKELPARAM(LVNI_SELECTED, 0));
  bool fitted = true;
  switch (
      ChooseListingMove(listing, static_cast<long>(selected), LastItemIndex, std::strlen(path))) {
    case ListingGoUp:
      GoUpFolder(listing, path);
      break;
    case ListingDescend:
      fitted = DescendIntoEntry(list, static_cast<int>(selected), path, pathSize, listing);
      break;
    case ListingStay:
      break;
  }
  FillDirList(dialog, list, path, listing);
  return fitted;
}
