// Helpers of the end-to-end driver; see driver.h.
#include "tests/e2e/driver/driver.h"

#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "common/product.h"
#include "resources/resource.h"
#include "tests/shell/dib_header.h"
#include "resources/setup_texts.h"

const char *SetupPath;
const char *OutputDir;
int Failures;

namespace {

const DWORD PollMs = 50;

}  // namespace

void Log(const char *format, ...)
{
  va_list args;
  va_start(args, format);
  vprintf(format, args);
  va_end(args);
  printf("\n");
  fflush(stdout);
}

bool Check(bool condition, const char *format, ...)
{
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  printf("%s: %s\n", condition ? "ok  " : "FAIL", text);
  fflush(stdout);
  if (!condition)
    ++Failures;
  return condition;
}

bool CheckText(const std::string &actual, const char *expected, const char *what)
{
  return Check(actual == expected, "%s is \"%s\" (got \"%s\")", what, expected, actual.c_str());
}

void Pause(DWORD ms)
{
  Sleep(ms);
}

bool StartSetupIn(SetupRun *run, const char *exePath, const char *currentDir)
{
  return StartSetupWithArguments(run, exePath, currentDir, "");
}

bool StartSetupWithArguments(SetupRun *run, const char *exePath, const char *currentDir,
                             const char *arguments)
{
  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof(startup));
  startup.cb = sizeof(startup);
  ZeroMemory(&run->process, sizeof(run->process));
  char commandLine[2 * MAX_PATH];
  snprintf(commandLine, sizeof(commandLine), "\"%s\"%s%s", exePath, *arguments ? " " : "",
           arguments);
  run->started = CreateProcessA(exePath, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                currentDir, &startup, &run->process) != 0;
  Check(run->started, "setup started (%s)", exePath);
  if (run->started)
    WaitForInputIdle(run->process.hProcess, 10000);
  return run->started;
}

bool StartSetup(SetupRun *run)
{
  char folder[MAX_PATH];
  lstrcpynA(folder, SetupPath, MAX_PATH);
  char *slash = strrchr(folder, '\\');
  if (slash)
    *slash = '\0';
  return StartSetupIn(run, SetupPath, folder);
}

bool HasExited(SetupRun *run)
{
  return WaitForSingleObject(run->process.hProcess, 0) == WAIT_OBJECT_0;
}

long WaitForExit(SetupRun *run, DWORD timeoutMs)
{
  if (!run->started)
    return -1;
  if (WaitForSingleObject(run->process.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    Check(false, "setup ends within %lu ms", static_cast<unsigned long>(timeoutMs));
    TerminateProcess(run->process.hProcess, 99);
    WaitForSingleObject(run->process.hProcess, 5000);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(run->process.hProcess, &code);
  return static_cast<long>(code);
}

void EndRun(SetupRun *run)
{
  if (!run->started)
    return;
  if (!HasExited(run)) {
    Check(false, "setup was still running at the end of the scenario; terminated");
    TerminateProcess(run->process.hProcess, 99);
    WaitForSingleObject(run->process.hProcess, 5000);
  }
  CloseHandle(run->process.hThread);
  CloseHandle(run->process.hProcess);
  run->started = false;
}

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM lParam)
{
  WindowSearch *search = reinterpret_cast<WindowSearch *>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && IsWindowVisible(window))
    search->found.push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> ProcessWindows(SetupRun *run)
{
  WindowSearch search;
  search.processId = run->process.dwProcessId;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

namespace {

std::string ClassOf(HWND window)
{
  char name[64] = "";
  GetClassNameA(window, name, sizeof(name));
  return name;
}

}  // namespace

HWND FindMainWindow(SetupRun *run)
{
  for (HWND window : ProcessWindows(run))
    if (ClassOf(window) == "SETUP")
      return window;
  return nullptr;
}

namespace {

// A message box is a dialog with the text control 0xFFFF and the icon
// control 0x440 (stc1); no page or browser of the setup uses id 0x440.
bool IsMessageBox(HWND window)
{
  return ClassOf(window) == "#32770" && GetDlgItem(window, 0xFFFF) && GetDlgItem(window, 0x440);
}

// Polls the process's visible windows until one matches, the process ends
// or the time is up.
HWND WaitForWindow(SetupRun *run, bool (*matches)(HWND, int), int argument, DWORD timeoutMs)
{
  DWORD start = GetTickCount();
  do {
    for (HWND window : ProcessWindows(run))
      if (matches(window, argument))
        return window;
    if (HasExited(run))
      break;
    Sleep(PollMs);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool IsPageWith(HWND window, int controlId)
{
  return ClassOf(window) == "#32770" && !IsMessageBox(window) && GetDlgItem(window, controlId);
}

bool IsAnyMessageBox(HWND window, int)
{
  return IsMessageBox(window);
}

}  // namespace

HWND WaitForPage(SetupRun *run, int controlId, DWORD timeoutMs)
{
  return WaitForWindow(run, IsPageWith, controlId, timeoutMs);
}

HWND WaitForMessageBox(SetupRun *run, DWORD timeoutMs)
{
  return WaitForWindow(run, IsAnyMessageBox, 0, timeoutMs);
}

bool NoMessageBoxWithin(SetupRun *run, DWORD timeoutMs)
{
  return WaitForMessageBox(run, timeoutMs) == nullptr;
}

std::string WindowText(HWND window)
{
  char text[8192] = "";
  // WM_GETTEXT crosses processes with its buffer; a hung target must not
  // hang the driver.
  DWORD_PTR length = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &length);
  return text;
}

std::string ControlText(HWND dialog, int id)
{
  HWND control = GetDlgItem(dialog, id);
  return control ? WindowText(control) : std::string("<no control>");
}

bool IsControlVisible(HWND dialog, int id)
{
  HWND control = GetDlgItem(dialog, id);
  return control && IsWindowVisible(control);
}

namespace {

// The icon of a message box is told apart by its pixels: each standard icon
// is drawn on the box's own background and compared with the screen.
UINT ClassifyIconOnce(HWND box, long *bestDifferenceOut)
{
  HWND iconControl = GetDlgItem(box, 0x440);
  RECT rect;
  GetWindowRect(iconControl, &rect);
  int width = GetSystemMetrics(SM_CXICON), height = GetSystemMetrics(SM_CYICON);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP shot = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, shot);
  BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  std::vector<COLORREF> seen(width * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      seen[y * width + x] = GetPixel(memory, x, y);
  COLORREF background = GetPixel(screen, rect.left - 2 >= 0 ? rect.left - 2 : 0, rect.top);

  static const struct {
    LPCSTR resource;
    UINT flag;
  } Icons[] = {
      {IDI_HAND, MB_ICONERROR},
      {IDI_QUESTION, MB_ICONQUESTION},
      {IDI_EXCLAMATION, MB_ICONWARNING},
      {IDI_ASTERISK, MB_ICONINFORMATION},
  };
  UINT best = 0;
  long bestDifference = -1;
  HBRUSH brush = CreateSolidBrush(background);
  RECT all = {0, 0, width, height};
  for (const auto &icon : Icons) {
    FillRect(memory, &all, brush);
    DrawIcon(memory, 0, 0, LoadIconA(nullptr, icon.resource));
    long difference = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) {
        COLORREF a = GetPixel(memory, x, y), b = seen[y * width + x];
        difference += labs(GetRValue(a) - GetRValue(b)) + labs(GetGValue(a) - GetGValue(b)) +
                      labs(GetBValue(a) - GetBValue(b));
      }
    if (bestDifference < 0 || difference < bestDifference) {
      bestDifference = difference;
      best = icon.flag;
    }
  }
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteObject(shot);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  *bestDifferenceOut = bestDifference;
  return best;
}

// The icon appears with the box's first paint: until one standard icon
// matches closely, the box is not drawn yet and is looked at again.
UINT ClassifyIcon(HWND box)
{
  HWND iconControl = GetDlgItem(box, 0x440);
  if (!iconControl || !IsWindowVisible(iconControl))
    return 0;
  // A box without an icon keeps an empty icon control.
  DWORD_PTR shown = 0;
  if (!SendMessageTimeoutA(iconControl, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 5000, &shown) ||
      shown == 0)
    return 0;
  UINT icon = 0;
  long difference = 0;
  for (int tries = 0; tries < 40; ++tries) {
    icon = ClassifyIconOnce(box, &difference);
    if (difference < 3000)
      break;
    Sleep(PollMs);
  }
  return icon;
}

}  // namespace

MessageBoxInfo ReadMessageBox(HWND box)
{
  MessageBoxInfo info;
  info.caption = WindowText(box);
  info.text = ControlText(box, 0xFFFF);
  bool ok = IsControlVisible(box, IDOK), cancel = IsControlVisible(box, IDCANCEL);
  bool yes = IsControlVisible(box, IDYES), no = IsControlVisible(box, IDNO);
  bool retry = IsControlVisible(box, IDRETRY);
  if (yes && no && cancel)
    info.buttons = MB_YESNOCANCEL;
  else if (yes && no)
    info.buttons = MB_YESNO;
  else if (retry && cancel)
    info.buttons = MB_RETRYCANCEL;
  else if (ok && cancel)
    info.buttons = MB_OKCANCEL;
  else
    info.buttons = MB_OK;
  info.icon = ClassifyIcon(box);
  return info;
}

bool CheckMessageBox(HWND box, const char *caption, const char *text, UINT flags)
{
  if (!Check(box != nullptr, "message box \"%s\" appears", text))
    return false;
  MessageBoxInfo info = ReadMessageBox(box);
  bool good = CheckText(info.caption, caption ? caption : "Error", "message box caption");
  good &= CheckText(info.text, text, "message box text");
  UINT buttons = flags & MB_TYPEMASK, icon = flags & MB_ICONMASK;
  good &=
      Check(info.buttons == buttons, "message box buttons 0x%x (got 0x%x)", buttons, info.buttons);
  good &= Check(info.icon == icon, "message box icon 0x%x (got 0x%x)", icon, info.icon);
  return good;
}

bool AnswerMessageBox(HWND box, int buttonId)
{
  HWND button = GetDlgItem(box, buttonId);
  if (!Check(button != nullptr && IsWindowVisible(button), "message box has button %d", buttonId))
    return false;
  PostMessageA(button, BM_CLICK, 0, 0);
  return Check(WaitForWindowGone(box), "message box closes after button %d", buttonId);
}

bool ExpectMessageBox(SetupRun *run, const char *caption, const char *text, UINT flags, int answer)
{
  HWND box = WaitForMessageBox(run);
  bool good = CheckMessageBox(box, caption, text, flags);
  if (!box)
    return false;
  return AnswerMessageBox(box, answer) && good;
}

void Click(HWND dialog, int id)
{
  HWND control = GetDlgItem(dialog, id);
  Check(control != nullptr, "control %d exists to be clicked", id);
  PostMessageA(control, BM_CLICK, 0, 0);
}

void SetText(HWND dialog, int id, const char *text)
{
  DWORD_PTR result = 0;
  SendMessageTimeoutA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &result);
}

void TypeText(HWND dialog, int id, const char *text)
{
  HWND control = GetDlgItem(dialog, id);
  for (const char *c = text; *c; ++c)
    PostMessageA(control, WM_CHAR, static_cast<unsigned char>(*c), 1);
  Sleep(100);
}

HWND FocusWindow(SetupRun *run)
{
  GUITHREADINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(run->process.dwThreadId, &info);
  return info.hwndFocus;
}

bool WaitForFocus(SetupRun *run, HWND expected, DWORD timeoutMs)
{
  DWORD start = GetTickCount();
  while (FocusWindow(run) != expected) {
    if (GetTickCount() - start >= timeoutMs)
      return false;
    Sleep(PollMs);
  }
  return true;
}

void PressKeyOn(HWND window, UINT virtualKey)
{
  PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(window, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

void PressKey(SetupRun *run, UINT virtualKey)
{
  // After a message box closes the focus comes back a moment later.
  HWND focus = FocusWindow(run);
  for (int tries = 0; !focus && tries < 40; ++tries) {
    Sleep(PollMs);
    focus = FocusWindow(run);
  }
  Check(focus != nullptr, "setup has a focus window for key %u", virtualKey);
  PostMessageA(focus, WM_KEYDOWN, virtualKey, 1);
  PostMessageA(focus, WM_KEYUP, virtualKey, static_cast<LPARAM>(0xC0000001u));
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
  DWORD start = GetTickCount();
  while (IsWindow(window) && IsWindowVisible(window)) {
    if (GetTickCount() - start >= timeoutMs)
      return false;
    Sleep(PollMs);
  }
  return true;
}

// List-view messages carry pointers, which Wine passes to the other process
// as they are: the structures live in memory allocated inside the setup.
HWND WaitForWindowTitled(const char *title, DWORD timeoutMs)
{
  HWND window = FindWindowA(nullptr, title);
  for (DWORD start = GetTickCount(); window == nullptr && GetTickCount() - start < timeoutMs;
       window = FindWindowA(nullptr, title))
    Pause(100);
  return window;
}

std::vector<std::string> ListViewItems(SetupRun *run, HWND list)
{
  std::vector<std::string> items;
  HANDLE process = run->process.hProcess;
  const SIZE_T textSize = 512;
  char *remote = static_cast<char *>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + textSize, MEM_COMMIT, PAGE_READWRITE));
  if (!remote)
    return items;
  int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    LVITEMA item;
    ZeroMemory(&item, sizeof(item));
    item.mask = LVIF_TEXT;
    item.iItem = i;
    item.pszText = remote + sizeof(LVITEMA);
    item.cchTextMax = static_cast<int>(textSize);
    WriteProcessMemory(process, remote, &item, sizeof(item), nullptr);
    SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(remote));
    char text[512] = "";
    ReadProcessMemory(process, remote + sizeof(LVITEMA), text, sizeof(text) - 1, nullptr);
    items.push_back(text);
  }
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  return items;
}

bool DoubleClickListItem(SetupRun *run, HWND list, int index)
{
  HANDLE process = run->process.hProcess;
  RECT *remote = static_cast<RECT *>(
      VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE));
  if (!remote)
    return false;
  RECT rect = {LVIR_LABEL, 0, 0, 0};
  WriteProcessMemory(process, remote, &rect, sizeof(rect), nullptr);
  BOOL found = static_cast<BOOL>(
      SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(remote)));
  ReadProcessMemory(process, remote, &rect, sizeof(rect), nullptr);
  VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  if (!Check(found != 0, "list item %d has a rectangle", index))
    return false;
  LPARAM point = MAKELPARAM((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, point);
  PostMessageA(list, WM_LBUTTONUP, 0, point);
  Sleep(300);
  return true;
}

// The ANSI combo-box messages came back truncated across processes under
// Wine; the wide ones are marshalled whole.
std::vector<std::string> ComboItems(HWND combo)
{
  std::vector<std::string> items;
  int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t wide[512] = L"";
    SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
    char narrow[512] = "";
    WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof(narrow), nullptr, nullptr);
    items.push_back(narrow);
  }
  return items;
}

int ComboSelection(HWND combo)
{
  return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
}

void ChooseComboItem(HWND dialog, int id, int index)
{
  HWND combo = GetDlgItem(dialog, id);
  SendMessageW(combo, CB_SETCURSEL, index, 0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), reinterpret_cast<LPARAM>(combo));
  Sleep(300);
}

COLORREF ScreenPixel(int x, int y)
{
  HDC screen = GetDC(nullptr);
  COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool CaptureScreen(int *width, int *height, std::vector<uint8_t> *bits)
{
  *width = GetSystemMetrics(SM_CXSCREEN);
  *height = GetSystemMetrics(SM_CYSCREEN);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info = DibHeader(*width, *height, 24);
  void *pixels = nullptr;
  HBITMAP section = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
  if (section) {
    HGDIOBJ old = SelectObject(memory, section);
    BitBlt(memory, 0, 0, *width, *height, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const size_t row = (static_cast<size_t>(*width) * 3 + 3) & ~static_cast<size_t>(3);
    const uint8_t *from = static_cast<const uint8_t *>(pixels);
    bits->assign(from, from + row * static_cast<size_t>(*height));
    SelectObject(memory, old);
    DeleteObject(section);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return section != nullptr;
}

bool SaveScreenshot(const char *name)
{
  int width = 0, height = 0;
  std::vector<uint8_t> bits;
  char path[MAX_PATH];
  snprintf(path, sizeof(path), "%s\\%s.bmp", OutputDir, name);
  bool saved = false;
  FILE *file = CaptureScreen(&width, &height, &bits) ? fopen(path, "wb") : nullptr;
  if (file) {
    BITMAPINFO info = DibHeader(width, height, 24);
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bits.size());
    BITMAPFILEHEADER header;
    ZeroMemory(&header, sizeof(header));
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    header.bfSize = header.bfOffBits + info.bmiHeader.biSizeImage;
    saved = fwrite(&header, sizeof(header), 1, file) == 1 &&
            fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, file) == 1 &&
            fwrite(bits.data(), bits.size(), 1, file) == 1;
    saved = (fclose(file) == 0) && saved;
  }
  Check(saved, "screenshot %s saved", path);
  return saved;
}

namespace {

// The copy page may close a few dozen milliseconds after it shows, before
// its banner is painted: it is taken again and again while it stays up, and
// the last picture taken wholly while it was on screen is kept as 3-copy.
void SaveCopyPage(HWND page)
{
  char next[MAX_PATH], kept[MAX_PATH];
  snprintf(next, sizeof(next), "%s\\3-copy-next.bmp", OutputDir);
  snprintf(kept, sizeof(kept), "%s\\3-copy.bmp", OutputDir);
  while (IsWindowVisible(page) && SaveScreenshot("3-copy-next") && IsWindowVisible(page))
    MoveFileExA(next, kept, MOVEFILE_REPLACE_EXISTING);
  DeleteFileA(next);
}

}  // namespace

MessageBoxInfo WalkDefaults(SetupRun *run, bool screenshots, std::string *pagesSeen, HWND *finalBox)
{
  MessageBoxInfo none;
  none.buttons = 0;
  none.icon = 0;
  *finalBox = nullptr;
  HWND handled = nullptr;
  DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    if (HWND box = WaitForMessageBox(run, 0)) {
      Sleep(200);
      if (screenshots)
        SaveScreenshot("5-finished");
      *finalBox = box;
      return ReadMessageBox(box);
    }
    if (HasExited(run))
      return none;
    for (HWND window : ProcessWindows(run)) {
      if (window == handled || ClassOf(window) != "#32770" || IsMessageBox(window))
        continue;
      if (GetDlgItem(window, 151)) {
        pagesSeen->push_back('A');
        Sleep(300);
        if (screenshots)
          SaveScreenshot("1-agreement");
        Click(window, IDOK);
      } else if (GetDlgItem(window, 214)) {
        pagesSeen->push_back('C');
        if (screenshots)
          SaveCopyPage(window);
      } else if (GetDlgItem(window, 110)) {
        pagesSeen->push_back('S');
        Sleep(300);
        if (screenshots)
          SaveScreenshot("4-shortcuts");
        Click(window, IDOK);
      } else if (GetDlgItem(window, 101)) {
        pagesSeen->push_back('D');
        Sleep(300);
        if (screenshots)
          SaveScreenshot("2-destination");
        Click(window, IDOK);
      } else {
        continue;
      }
      handled = window;
      break;
    }
    // The copy page may be up for only a few dozen milliseconds: look more
    // often while it can come.
    Sleep(!pagesSeen->empty() && pagesSeen->back() == 'D' ? 1 : PollMs);
  }
  Check(false, "wizard reaches its end within 60 s");
  return none;
}

void PressAndStay(SetupRun *run, HWND window, int button, const ExpectedBox &box, int answer,
                  const char *what)
{
  Click(window, button);
  ExpectMessageBox(run, box.caption, box.text, box.flags, answer);
  StillOpen(window, what);
}

bool StillOpen(HWND window, const char *what)
{
  Pause(300);
  return Check(IsWindow(window) && IsWindowVisible(window), "%s stays open", what);
}

void AnswerOkAndExit(SetupRun *run, HWND box, DWORD timeoutMs)
{
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(run, timeoutMs) == 0, "setup exits with code 0");
}

void ExpectSuccessEnd(SetupRun *run, HWND box)
{
  CheckMessageBox(box, SetupCaption, SuccessMessage(InstalledWord).c_str(),
                  MB_OK | MB_ICONINFORMATION);
  AnswerOkAndExit(run, box);
}

void ExpectCancelEnd(SetupRun *run, HWND box)
{
  MessageBoxInfo info = box ? ReadMessageBox(box) : MessageBoxInfo();
  Check(box != nullptr && info.text.rfind(CancelMessage, 0) == 0,
        "the cancel message ends setup (got \"%s\")", info.text.c_str());
  CheckText(info.caption, SetupCaption, "cancel message caption");
  AnswerOkAndExit(run, box);
  Check(NoMessageBoxWithin(run, 0), "no further message box");
}

bool AcceptAgreement(SetupRun *run)
{
  HWND agreement = WaitForPage(run, IDC_LICENCE_TEXT);
  if (!Check(agreement != nullptr, "agreement page appears"))
    return false;
  Click(agreement, IDOK);
  return true;
}

std::string SuccessMessage(const char *closingWord)
{
  char text[256];
  snprintf(text, sizeof(text), SuccessFormat, ProductTitle, closingWord);
  return text;
}
