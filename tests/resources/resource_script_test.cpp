// Reads the compiled resource script back from this program's own
// resources (the test links setup.rc exactly as setup.exe does): every page
// template field by field, the banner, the icons, the strings and the
// payload; then lets the dialog manager build each page from its template.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"

namespace {

struct Control {
  int id;
  const char *className;  // compared without regard to case
  const char *text;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
};

struct Template {
  const char *name;
  DWORD style;
  DWORD exStyle;
  short cx, cy;
  const char *title;
  std::vector<Control> controls;
};

// The child-window bits every control of a template has.
constexpr DWORD Child = WS_CHILD | WS_VISIBLE;

const Template Templates[] = {
    {"IDD_AGREEMENT",
     0x90000850,
     0,
     370,
     236,
     "",
     {{1, "BUTTON", "I Agree", 0x50010301, 0, 125, 217, 50, 14},
      {2, "BUTTON", "Cancel", 0x50010300, 0, 193, 217, 50, 14},
      {151, "EDIT", "", 0x50A30844, WS_EX_DLGMODALFRAME, 25, 21, 320, 194}}},
    {"IDD_DIR",
     WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT | DS_NOFAILCREATE,
     0,
     370,
     236,
     "",
     {{1, "BUTTON", "Next", Child | BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 116, 218, 60, 14},
      {2, "BUTTON", "Cancel", Child | BS_PUSHBUTTON | WS_TABSTOP, 0, 193, 218, 60, 14},
      {100, "BUTTON", "Browse", Child | BS_PUSHBUTTON | WS_TABSTOP, 0, 297, 200, 48, 12},
      {101, "EDIT", "", Child | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 92, 200, 204, 11},
      {-1, "STATIC", "Install in directory", Child | SS_CENTER | WS_BORDER, 0, 28, 200, 62, 11}}},
    {"IDD_BROWSE",
     WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFONT,
     WS_EX_DLGMODALFRAME,
     262,
     209,
     "Setup - directory",
     {{1, "BUTTON", "OK", Child | BS_PUSHBUTTON | WS_TABSTOP, 0, 167, 7, 43, 12},
      {105, "EDIT", "", Child | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0, 71, 7, 95, 12},
      {104, "COMBOBOX", "", Child | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 8, 32, 49, 60},
      {107, "SysListView32", "", Child | LVS_LIST | LVS_SINGLESEL | LVS_SORTASCENDING | WS_BORDER,
       WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT, 7, 45, 246, 156},
      {102, "EDIT", "", Child | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP,
       WS_EX_CLIENTEDGE, 56, 32, 197, 13},
      {-1, "STATIC", " Install in directory:", Child | SS_SUNKEN, 0, 8, 7, 62, 11},
      {103, "STATIC", "", Child | SS_SUNKEN, 0, 8, 20, 245, 11},
      {2, "BUTTON", "Cancel", Child | BS_PUSHBUTTON | WS_TABSTOP, 0, 211, 7, 43, 12}}},
    {"IDD_COPY",
     WS_POPUP | WS_VISIBLE | DS_CENTER | DS_SETFONT | DS_NOFAILCREATE,
     0,
     370,
     236,
     "",
     {{2, "BUTTON", "Cancel", Child | BS_DEFPUSHBUTTON | BS_CENTER | WS_TABSTOP, 0, 140, 218, 85,
       14},
      {214, "STATIC", "", Child | SS_BLACKRECT, 0, 39, 203, 292, 12},
      {215, "EDIT", "", Child | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE, 39, 190, 292, 11}}},
    {"IDD_SHORTCUT",
     0x90000850,
     0,
     370,
     236,
     "",
     {{1, "BUTTON", "Finish", 0x50010301, 0, 116, 218, 60, 14},
      {2, "BUTTON", "Cancel", 0x50010300, 0, 193, 218, 60, 14},
      {100, "BUTTON", "Browse", 0x50010300, 0, 297, 200, 48, 12},
      {101, "EDIT", "", 0x50010080, WS_EX_CLIENTEDGE, 92, 200, 203, 11},
      {-1, "STATIC", "Create shortcuts in", 0x50800001, 0, 27, 200, 64, 11},
      {110, "BUTTON", "Create program shortcat on the Desktop", 0x50018003, 0, 120, 188, 141, 10}}},
    {"IDD_BROWSE_SHORTCUT",
     0x90C80850,
     0,
     188,
     189,
     "",
     {{1, "BUTTON", "OK", 0x50010301, 0, 28, 168, 58, 14},
      {211, "EDIT", "", 0x50810880, 0, 7, 17, 172, 15},
      {-1, "STATIC", "Create a shortcuts on the Start menu.", 0x50000000, 0, 8, 7, 120, 8},
      {2, "BUTTON", "Cancel", 0x50010300, 0, 100, 168, 60, 14},
      {212, "SysListView32", "", 0x50800017, 0, 7, 33, 172, 128}}},
};

// A cursor over a DLGTEMPLATEEX in memory.
struct Reader {
  const BYTE *base;
  size_t size;
  size_t at;
  bool overrun;
};

WORD Word(Reader &r)
{
  if (r.at + 2 > r.size) {
    r.overrun = true;
    return 0;
  }
  WORD value;
  std::memcpy(&value, r.base + r.at, 2);
  r.at += 2;
  return value;
}

DWORD Dword(Reader &r)
{
  DWORD low = Word(r);
  return low | (static_cast<DWORD>(Word(r)) << 16);
}

void AlignDword(Reader &r)
{
  r.at = (r.at + 3) & ~static_cast<size_t>(3);
}

// A string-or-ordinal field as text: an ordinal n becomes "#n".
std::string SzOrOrdinal(Reader &r)
{
  WORD first = Word(r);
  if (first == 0xFFFF)
    return "#" + std::to_string(Word(r));
  std::string text;
  for (WORD c = first; c != 0 && !r.overrun; c = Word(r))
    text += c < 0x80 ? static_cast<char>(c) : '?';
  return text;
}

// The predefined classes a template may name by atom.
std::string ClassFromAtom(const std::string &name)
{
  if (name == "#128")
    return "BUTTON";
  if (name == "#129")
    return "EDIT";
  if (name == "#130")
    return "STATIC";
  if (name == "#131")
    return "LISTBOX";
  if (name == "#132")
    return "SCROLLBAR";
  if (name == "#133")
    return "COMBOBOX";
  return name;
}

Reader OpenTemplate(const char *name)
{
  HRSRC found = FindResourceA(nullptr, name, MAKEINTRESOURCEA(5));  // RT_DIALOG
  if (found == nullptr)
    return {nullptr, 0, 0, true};
  HGLOBAL loaded = LoadResource(nullptr, found);
  return {static_cast<const BYTE *>(LockResource(loaded)), SizeofResource(nullptr, found), 0,
          false};
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT, WPARAM, LPARAM)
{
  return FALSE;
}

BOOL CALLBACK CountNumberedNames(HMODULE, LPCSTR, LPSTR name, LONG_PTR count)
{
  if (IS_INTRESOURCE(name))
    ++*reinterpret_cast<int *>(count);
  return TRUE;
}

void RegisterListViewClass()
{
  INITCOMMONCONTROLSEX init = {sizeof(init), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);
}

}  // namespace

TEST(ResourceTemplates, EveryFieldMatchesThePageLayout)
{
  for (const Template &expected : Templates) {
    SCOPED_TRACE(expected.name);
    Reader r = OpenTemplate(expected.name);
    ASSERT_FALSE(r.overrun) << "template not found by name";
    EXPECT_EQ(Word(r), 1);       // dlgVer
    EXPECT_EQ(Word(r), 0xFFFF);  // extended template
    Dword(r);                    // help id
    EXPECT_EQ(Dword(r), expected.exStyle);
    DWORD style = Dword(r);
    EXPECT_EQ(style, expected.style) << std::hex << style;
    WORD count = Word(r);
    EXPECT_EQ(Word(r), 0);  // x
    EXPECT_EQ(Word(r), 0);  // y
    EXPECT_EQ(static_cast<short>(Word(r)), expected.cx);
    EXPECT_EQ(static_cast<short>(Word(r)), expected.cy);
    EXPECT_EQ(SzOrOrdinal(r), "");  // no menu
    EXPECT_EQ(SzOrOrdinal(r), "");  // the standard dialog class
    EXPECT_EQ(SzOrOrdinal(r), expected.title);
    ASSERT_TRUE(style & DS_SETFONT);
    EXPECT_EQ(Word(r), 8);  // point size
    Word(r);                // weight
    Word(r);                // italic, charset
    EXPECT_EQ(SzOrOrdinal(r), "MS Sans Serif");
    ASSERT_EQ(count, expected.controls.size());
    for (const Control &c : expected.controls) {
      SCOPED_TRACE(c.id);
      AlignDword(r);
      Dword(r);  // help id
      EXPECT_EQ(Dword(r), c.exStyle);
      DWORD controlStyle = Dword(r);
      EXPECT_EQ(controlStyle, c.style) << std::hex << controlStyle;
      EXPECT_EQ(static_cast<short>(Word(r)), c.x);
      EXPECT_EQ(static_cast<short>(Word(r)), c.y);
      EXPECT_EQ(static_cast<short>(Word(r)), c.cx);
      EXPECT_EQ(static_cast<short>(Word(r)), c.cy);
      EXPECT_EQ(static_cast<int>(Dword(r)), c.id);
      std::string className = ClassFromAtom(SzOrOrdinal(r));
      EXPECT_EQ(
          CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, className.c_str(), -1, c.className, -1),
          CSTR_EQUAL)
          << className;
      EXPECT_EQ(SzOrOrdinal(r), c.text);
      WORD extra = Word(r);
      r.at += extra;
    }
    EXPECT_FALSE(r.overrun);
    EXPECT_LE(r.at, r.size);
  }
}

TEST(ResourceTemplates, NamesAreNotNumbers)
{
  for (const Template &expected : Templates)
    EXPECT_NE(FindResourceA(nullptr, expected.name, MAKEINTRESOURCEA(5)), nullptr) << expected.name;
  // A template given an id by mistake would be found under a number instead.
  int numbered = 0;
  EnumResourceNamesA(nullptr, MAKEINTRESOURCEA(5), CountNumberedNames,
                     reinterpret_cast<LONG_PTR>(&numbered));
  EXPECT_EQ(numbered, 0);
}

TEST(ResourceTemplates, DialogManagerBuildsEveryPage)
{
  RegisterListViewClass();
  for (const Template &expected : Templates) {
    SCOPED_TRACE(expected.name);
    HWND dialog =
        CreateDialogParamA(GetModuleHandleA(nullptr), expected.name, nullptr, QuietDialogProc, 0);
    ASSERT_NE(dialog, nullptr) << GetLastError();
    char title[64] = "?";
    GetWindowTextA(dialog, title, sizeof(title));
    EXPECT_STREQ(title, expected.title);
    // The client area is the template's size converted by the dialog's own
    // base units.
    RECT units = {0, 0, expected.cx, expected.cy}, client;
    MapDialogRect(dialog, &units);
    GetClientRect(dialog, &client);
    EXPECT_EQ(client.right, units.right);
    EXPECT_EQ(client.bottom, units.bottom);
    for (const Control &c : expected.controls) {
      if (c.id == -1)
        continue;
      HWND item = GetDlgItem(dialog, c.id);
      ASSERT_NE(item, nullptr) << c.id;
      char className[64] = "";
      GetClassNameA(item, className, sizeof(className));
      EXPECT_EQ(CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, className, -1, c.className, -1),
                CSTR_EQUAL)
          << c.id << " " << className;
      char text[128] = "?";
      GetWindowTextA(item, text, sizeof(text));
      EXPECT_STREQ(text, c.text) << c.id;
      // The dialog manager converts position and size each on its own.
      RECT place = {c.x, c.y, c.cx, c.cy}, actual;
      MapDialogRect(dialog, &place);
      GetWindowRect(item, &actual);
      MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT *>(&actual), 2);
      EXPECT_EQ(actual.left, place.left) << c.id;
      EXPECT_EQ(actual.top, place.top) << c.id;
      EXPECT_EQ(actual.right - actual.left, place.right) << c.id;
      // A closed combo box is shorter than its template.
      bool comboBox = std::strcmp(c.className, "COMBOBOX") == 0;
      EXPECT_TRUE(comboBox || actual.bottom - actual.top == place.bottom) << c.id;
    }
    DestroyWindow(dialog);
  }
}

TEST(ResourceBanner, LoadsAsThePageSizedBitmap)
{
  HBITMAP banner = LoadBitmapA(GetModuleHandleA(nullptr), "IDB_TARNEL");
  ASSERT_NE(banner, nullptr);
  BITMAP info = {};
  ASSERT_EQ(GetObjectA(banner, sizeof(info), &info), static_cast<int>(sizeof(info)));
  EXPECT_EQ(info.bmWidth, 556);
  EXPECT_EQ(info.bmHeight, 384);
  DeleteObject(banner);

  // The resource itself: an 8-bit, 256-colour, uncompressed DIB.
  HRSRC found = FindResourceA(nullptr, "IDB_TARNEL", MAKEINTRESOURCEA(2));  // RT_BITMAP
  ASSERT_NE(found, nullptr);
  const auto *header =
      static_cast<const BITMAPINFOHEADER *>(LockResource(LoadResource(nullptr, found)));
  EXPECT_EQ(header->biBitCount, 8);
  EXPECT_EQ(header->biCompression, static_cast<DWORD>(BI_RGB));
  EXPECT_EQ(header->biClrUsed, 256u);
  EXPECT_GT(header->biHeight, 0);  // bottom-up
}

TEST(ResourceIcons, ClassIconAndListImagesLoad)
{
  HINSTANCE self = GetModuleHandleA(nullptr);
  struct Case {
    int id;
    int images;  // one for each size, smallest first
    int size;
  };
  const Case cases[] = {
      {IDI_SETUP, 1, 32}, {IDI_FOLDER, 4, 16}, {IDI_UP, 4, 16}, {IDI_NEW_FOLDER, 4, 16}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.id);
    // The directory entries of the icon group name each image's size and
    // colours.
    HRSRC group =
        FindResourceA(nullptr, MAKEINTRESOURCEA(c.id), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const BYTE *dir = static_cast<const BYTE *>(LockResource(LoadResource(nullptr, group)));
    ASSERT_EQ(dir[4] | (dir[5] << 8), c.images);
    for (int i = 0; i < c.images; ++i) {
      const BYTE *entry = dir + 6 + 14 * i;
      const int size = c.images == 1 ? c.size : (i == 3 ? 48 : 16 + 8 * i);
      EXPECT_EQ(entry[0], size);
      EXPECT_EQ(entry[1], size);
      EXPECT_EQ(entry[2], 16);  // colours
      // Each size loads as itself, with its mask.
      HICON icon =
          static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(c.id), IMAGE_ICON, size, size, 0));
      ASSERT_NE(icon, nullptr);
      ICONINFO info = {};
      ASSERT_TRUE(GetIconInfo(icon, &info));
      EXPECT_TRUE(info.fIcon);
      EXPECT_NE(info.hbmMask, nullptr);
      BITMAP mask = {};
      GetObjectA(info.hbmMask, sizeof(mask), &mask);
      EXPECT_EQ(mask.bmWidth, size);
      DeleteObject(info.hbmMask);
      DeleteObject(info.hbmColor);
      DestroyIcon(icon);
    }
  }
  // The browsers load the list images at the small-icon size and add them
  // to a masked image list of that size.
  const int small = GetSystemMetrics(SM_CXSMICON);
  HIMAGELIST list = ImageList_Create(small, small, ILC_MASK, 3, 0);
  for (int id : {IDI_FOLDER, IDI_UP, IDI_NEW_FOLDER}) {
    HICON icon =
        static_cast<HICON>(LoadImageA(self, MAKEINTRESOURCEA(id), IMAGE_ICON, small, small, 0));
    EXPECT_GE(ImageList_ReplaceIcon(list, -1, icon), 0) << id;
    DestroyIcon(icon);
  }
  EXPECT_EQ(ImageList_GetImageCount(list), 3);
  ImageList_Destroy(list);
}

TEST(ResourceStrings, LicenceAndClassName)
{
  HINSTANCE self = GetModuleHandleA(nullptr);
  static char licence[7000];
  int length = LoadStringA(self, IDS_LICENCE, licence, sizeof(licence));
  EXPECT_GT(length, 3000);
  EXPECT_LT(length, 6999) << "the agreement page would cut the text";
  EXPECT_EQ(static_cast<size_t>(length), std::strlen(licence));
  EXPECT_NE(std::strstr(licence, "The Zorvane"), nullptr);
  EXPECT_NE(std::strstr(licence, "\"I Agree\""), nullptr) << "quotes survive the script";
  for (int i = 0; i < length; ++i)
    ASSERT_TRUE(licence[i] != '\n' || (i > 0 && licence[i - 1] == '\r')) << i;
  char className[20] = "";
  EXPECT_EQ(LoadStringA(self, IDS_CLASS_NAME, className, sizeof(className)), 5);
  EXPECT_STREQ(className, "SETUP");
}

TEST(ResourcePayload, GzipResourceIsLanguageNeutral)
{
  HRSRC found = FindResourceExA(nullptr, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(IDR_PAYLOAD),
                                MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL));  // RT_RCDATA
  ASSERT_NE(found, nullptr);
  const BYTE *data = static_cast<const BYTE *>(LockResource(LoadResource(nullptr, found)));
  ASSERT_GE(SizeofResource(nullptr, found), 18u);
  EXPECT_EQ(data[0], 0x1F);
  EXPECT_EQ(data[1], 0x8B);
  EXPECT_EQ(data[2], 8);  // deflate
  // The copy page looks it up with the plain call.
  EXPECT_EQ(FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_PAYLOAD), MAKEINTRESOURCEA(10)), found);
}
