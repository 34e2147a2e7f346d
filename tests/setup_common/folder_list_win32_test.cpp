// The folder list of both browsers against the real system calls, under
// Wine: listing filter, order, up entry, final entry and path line.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "destination/dest_path.h"
#include "integration/shortcut_page_rules.h"
#include "setup_common/folder_list_view.h"
#include "resources/resource.h"
#include "setup_common/state.h"

namespace {

struct ListHost {
  HWND window;
  HWND list;
};

// A window holding both path lines (102, 211) and a sorted list in list mode,
// as the two browsers have them.
ListHost MakeHost()
{
  InitCommonControls();
  ListHost host;
  host.window = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 300, 20, host.window,
                  reinterpret_cast<HMENU>(IDC_PATH_LINE), nullptr, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD | ES_AUTOHSCROLL, 0, 20, 300, 20, host.window,
                  reinterpret_cast<HMENU>(IDC_GROUP_PATH), nullptr, nullptr);
  host.list = CreateWindowExA(
      0, WC_LISTVIEWA, "", WS_CHILD | LVS_LIST | LVS_SINGLESEL | LVS_SORTASCENDING, 0, 40, 300, 200,
      host.window, reinterpret_cast<HMENU>(IDC_DIR_LIST), nullptr, nullptr);
  FolderImage = 0;
  UpImage = 1;
  NewFolderImage = 2;
  return host;
}

struct Entry {
  std::string text;
  int image;
};

std::vector<Entry> Entries(HWND list)
{
  std::vector<Entry> out;
  int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    LVITEMA item;
    std::memset(&item, 0, sizeof(item));
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = i;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    out.push_back(Entry{item.pszText, item.iImage});
  }
  return out;
}

std::vector<std::string> Texts(HWND list)
{
  std::vector<std::string> out;
  for (const Entry &e : Entries(list))
    out.push_back(e.text);
  return out;
}

std::string Text(HWND window, int id)
{
  char text[PathBufferSize] = "";
  GetDlgItemTextA(window, id, text, sizeof(text));
  return text;
}

// A fresh directory with subdirectories, a dot-named one, a hidden one and
// a file.
std::string MakeTree()
{
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  char dir[MAX_PATH];
  std::snprintf(dir, sizeof(dir), "%szvdest%lu", temp, GetCurrentProcessId());
  CreateDirectoryA(dir, nullptr);
  std::string base = dir;
  for (const char *name : {"beta", "Alpha", "gamma", ".config", "hid"})
    CreateDirectoryA((base + "\\" + name).c_str(), nullptr);
  SetFileAttributesA((base + "\\hid").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
  HANDLE file = CreateFileA((base + "\\afile.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  CloseHandle(file);
  return base;
}

// The tree made above, listed in host as listing lists it, "The Zorvane"
// being the name chosen; path (PathBufferSize bytes) holds the tree's path.
std::string ListTree(const ListHost &host, const FolderListing &listing, char *path)
{
  const std::string tree = MakeTree();
  lstrcpynA(BrowsePath, "The Zorvane", sizeof(BrowsePath));
  lstrcpynA(path, tree.c_str(), PathBufferSize);
  FillDirList(host.window, host.list, path, listing);
  return tree;
}

}  // namespace

TEST(FolderList, ListsSubdirectoriesBetweenUpAndFinalEntries)
{
  ListHost host = MakeHost();
  char path[PathBufferSize];
  const std::string tree = ListTree(host, FolderBrowserListing, path);
  std::vector<Entry> entries = Entries(host.list);
  ASSERT_EQ(Texts(host.list), (std::vector<std::string>{UpEntryText, "Alpha", "beta", "gamma",
                                                        "hid", "The Zorvane"}));
  EXPECT_EQ(entries[0].image, UpImage);
  EXPECT_EQ(entries[1].image, FolderImage);
  EXPECT_EQ(entries[5].image, NewFolderImage);
  EXPECT_EQ(LastItemIndex, 5);
  EXPECT_EQ(std::string(path), tree);  // the path is left as it was
  EXPECT_EQ(Text(host.window, IDC_PATH_LINE), tree + "\\The Zorvane");
  EXPECT_EQ(Text(host.window, IDC_GROUP_PATH), "");

  // Listing again replaces the entries rather than adding to them.
  FillDirList(host.window, host.list, path, FolderBrowserListing);
  EXPECT_EQ(Entries(host.list).size(), 6u);
  DestroyWindow(host.window);
}

TEST(FolderList, UnreadableDirectoryGivesOnlyUpAndFinalEntries)
{
  ListHost host = MakeHost();
  lstrcpynA(BrowsePath, "The Zorvane", sizeof(BrowsePath));
  char path[PathBufferSize] = "C:\\no such directory here";
  FillDirList(host.window, host.list, path, FolderBrowserListing);
  EXPECT_EQ(Texts(host.list), (std::vector<std::string>{UpEntryText, "The Zorvane"}));
  EXPECT_EQ(LastItemIndex, 1);
  EXPECT_EQ(Text(host.window, IDC_PATH_LINE), "C:\\no such directory here\\The Zorvane");
  DestroyWindow(host.window);
}

TEST(FolderList, DriveRootHasNoUpEntryAndNoDoubledSeparator)
{
  ListHost host = MakeHost();
  lstrcpynA(BrowsePath, "Name", sizeof(BrowsePath));
  char path[PathBufferSize] = "C:\\";
  FillDirList(host.window, host.list, path, FolderBrowserListing);
  std::vector<std::string> texts = Texts(host.list);
  ASSERT_GE(texts.size(), 2u);
  EXPECT_NE(texts[0], UpEntryText);
  bool hasWindows = false;
  for (const std::string &t : texts) {
    EXPECT_NE(t[0], '.');
    if (lstrcmpiA(t.c_str(), "windows") == 0)
      hasWindows = true;
  }
  EXPECT_TRUE(hasWindows);
  EXPECT_EQ(LastItemIndex + 1, static_cast<int>(texts.size()));
  EXPECT_EQ(Text(host.window, IDC_PATH_LINE), "C:\\Name");
  DestroyWindow(host.window);
}

TEST(FolderList, GroupModeWritesItsOwnPathLine)
{
  ListHost host = MakeHost();
  char path[PathBufferSize];
  const std::string tree = ListTree(host, GroupBrowserListing, path);
  EXPECT_EQ(Text(host.window, IDC_GROUP_PATH), tree + "\\The Zorvane");
  EXPECT_EQ(Text(host.window, IDC_PATH_LINE), "");
  // Longer than 21 characters: an up entry.
  EXPECT_EQ(Texts(host.list)[0], tree.size() > 21 ? UpEntryText : "Alpha");

  char top[PathBufferSize] = "C:\\";
  FillDirList(host.window, host.list, top, GroupBrowserListing);
  EXPECT_NE(Texts(host.list)[0], UpEntryText);
  EXPECT_EQ(Text(host.window, IDC_GROUP_PATH), "C:\\\\The Zorvane");
  DestroyWindow(host.window);
}

TEST(FolderList, AddDirEntryPlacesByTextInASortedList)
{
  ListHost host = MakeHost();
  EXPECT_EQ(AddDirEntry(host.list, "zeta", 0, FolderImage), 0);
  EXPECT_EQ(AddDirEntry(host.list, "alpha", 5, FolderImage), 0);
  EXPECT_EQ(Texts(host.list), (std::vector<std::string>{"alpha", "zeta"}));
  DestroyWindow(host.window);
}
