// Entry point, the full-screen main window and the message loop.
//
// The window is created as a visible 0 x 0 popup and grows to the screen in
// WM_CREATE, after the desktop snapshot has been taken: the picture then
// shows the desktop as it was, without setup on it. The wizard itself runs
// from a posted command, so the background is painted before the first page
// appears.
#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "shell/background.h"
#include "setup_common/common_controls.h"
#include "common/dispatch.h"
#include "common/dll_search.h"
#include "setup_common/screen.h"
#include "shell/wizard_rules.h"
#include "setup_common/state.h"
#include "shell/startup_marks.h"
#include "shell/wizard.h"

namespace {

// String 301: the class name, and the window's title, menu and accelerator name.
char ClassName[20];
HWND MainWindow;

LRESULT OnCreate(HWND window, UINT, WPARAM, LPARAM)
{
  MarkStartup(MarkCreate);
  MeasureScreen(window);

  // 72 pixels high at 96 dpi, and as much larger as the display's scale.
  TitleFont = MakeFont(400, 0, ScaleToScreen(72), DEFAULT_CHARSET, "Arial Black");
  BackgroundBitmap = BuildBackground(window);

  SetWindowPos(window, nullptr, 0, 0, ScreenWidth, ScreenHeight, SWP_NOZORDER | SWP_NOACTIVATE);

  // The buffer is zero-filled first, so a failed query leaves it empty. A
  // drive root keeps only its letter and colon ("D:"), which is how later
  // code joins a file name to it.
  ZeroMemory(StartDir, sizeof(StartDir));
  GetCurrentDirectoryA(500, StartDir);
  TrimDriveRoot(StartDir);

  PostMessageA(window, WM_COMMAND, IDM_RUN_WIZARD, 0);
  return 0;
}

LRESULT OnDestroy(HWND, UINT, WPARAM, LPARAM)
{
  PostQuitMessage(0);
  return 0;
}

LRESULT OnPaint(HWND window, UINT, WPARAM, LPARAM)
{
  PAINTSTRUCT paint;
  HDC paintDc = BeginPaint(window, &paint);
  if (BackgroundBitmap)
    PaintBackground(paintDc);
  EndPaint(window, &paint);
  MarkStartup(MarkFirstPaint);
  return 0;
}

// The picture covers the whole window at every paint, so erasing it first
// with the class brush would only fill the whole screen once more before
// the first picture (a full-screen pass on a 4K screen). Without a picture
// the class brush is all there is, and the system erases as usual.
LRESULT OnEraseBackground(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (BackgroundBitmap)
    return 1;
  return DefWindowProcA(window, message, wParam, lParam);
}

// Start-up work that nothing on the screen waits for, done once the first
// page is up: the rest of the background's 24-bit copy, and comctl32, whose
// loading took 30 to 60 ms before the backdrop under Wine. The first page
// has only buttons and an edit box; the list views of the browsers and the
// shortcut page need comctl32's classes registered before their dialogs are
// made. Both calls do nothing once done.
void FinishStartup()
{
  CompleteCanvas();
  LoadCommonControls();
}

// A page's modal loop tells its owner when it has nothing left to do, the
// page painted included: the first such moment is the first page on the
// screen.
LRESULT OnEnterIdle(HWND, UINT, WPARAM, LPARAM)
{
  FinishStartup();
  return 0;
}

// The main window is enabled again when a page ends, before the next page
// is made: should keys typed ahead have ended the first page before its
// loop was ever idle, this is the last moment for what the next pages need.
LRESULT OnEnable(HWND, UINT, WPARAM enabled, LPARAM)
{
  if (enabled)
    FinishStartup();
  return 0;
}

LRESULT OnClose(HWND window, UINT, UINT, LPARAM)
{
  DestroyWindow(window);
  return 0;
}

}  // namespace

ZV_COMMAND_TABLE(MainCommands, DefaultWindowProc, {IDM_RUN_WIZARD, SetupWizard},
                 {IDM_CLOSE, OnClose});

ZV_MESSAGE_TABLE(MainMessages, DefaultWindowProc, {WM_CREATE, OnCreate},
                 {WM_COMMAND, ForwardCommand<&MainCommands>}, {WM_DESTROY, OnDestroy},
                 {WM_PAINT, OnPaint}, {WM_ERASEBKGND, OnEraseBackground},
                 {WM_ENTERIDLE, OnEnterIdle}, {WM_ENABLE, OnEnable});

namespace {

constexpr WNDPROC MainWndProc = TableWndProc<&MainMessages>;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
  MarkStartup(MarkEntry);
  if (!RestrictDllSearch(LacksDllUpdateText, SetupCaption))
    return 0;
  // comctl32, which registers the browsers' list view, is loaded once the
  // first page is up (FinishStartup); nothing initialises the common
  // controls otherwise.
  LoadStringA(instance, IDS_CLASS_NAME, ClassName, sizeof(ClassName));
  AppInstance = instance;

  WNDCLASSA windowClass;
  windowClass.style = CS_HREDRAW | CS_VREDRAW;
  windowClass.lpfnWndProc = MainWndProc;
  windowClass.cbClsExtra = 0;
  windowClass.cbWndExtra = 0;
  windowClass.hInstance = instance;
  windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
  windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENUTEXT + 1));
  windowClass.lpszMenuName = ClassName;
  windowClass.lpszClassName = ClassName;
  // One retry: a registration that fails once is tried again before giving up.
  if (!RegisterClassA(&windowClass) && !RegisterClassA(&windowClass))
    return 0;

  MainWindow = CreateWindowExA(0, ClassName, ClassName, WS_POPUP | WS_VISIBLE, 0, 0, 0, 0, nullptr,
                               nullptr, AppInstance, nullptr);
  if (!MainWindow)
    return 0;
  // No ShowWindow: the window is created visible. UpdateWindow paints the
  // background before the posted wizard command is read.
  UpdateWindow(MainWindow);

  HACCEL accelerators = LoadAcceleratorsA(AppInstance, ClassName);
  MSG message;
  message.wParam = 0;
  while (GetMessageA(&message, nullptr, 0, 0)) {
    if (!TranslateAcceleratorA(message.hwnd, accelerators, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return static_cast<int>(message.wParam);
}
