// Zorvane.exe: the application that setup installs. A plain window titled
// "The Zorvane" that greets the user and says where it runs from.
#include <windows.h>

#include "common/dispatch.h"
#include "common/dll_search.h"
#include "common/product.h"

namespace {

const char ClassName[] = "ZorvaneMain";
// Shown, and the program ends, on a Windows that cannot restrict where DLLs
// are loaded from.
const char LacksDllUpdateText[] =
    "This Windows lacks the update that protects " ZV_PRODUCT_TITLE " from DLLs in its folder. "
    "Install the Windows updates, then start " ZV_PRODUCT_TITLE " again.";

LRESULT PaintGreeting(HWND window, UINT, WPARAM, LPARAM)
{
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  // MAX_PATH characters take up to three bytes each in UTF-8, the ANSI code
  // page of the manifest. A path that still does not fit (it would come
  // back cut, and before Vista unterminated) is not shown.
  char folder[3 * MAX_PATH] = "";
  DWORD length = GetModuleFileNameA(nullptr, folder, sizeof(folder));
  if (length == 0 || length >= sizeof(folder))
    folder[0] = '\0';
  // wsprintfA writes at most 1024 bytes.
  char text[1024];
  wsprintfA(text, "Welcome to %s.\r\n\r\nRunning from %s", ProductTitle, folder);
  SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text, -1, &client, DT_CENTER | DT_WORDBREAK);
  EndPaint(window, &paint);
  return 0;
}

LRESULT QuitOnDestroy(HWND, UINT, WPARAM, LPARAM)
{
  PostQuitMessage(0);
  return 0;
}

ZV_MESSAGE_TABLE(MainMessages, DefaultWindowProc, {WM_PAINT, PaintGreeting},
                 {WM_DESTROY, QuitOnDestroy});

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
  if (!RestrictDllSearch(LacksDllUpdateText, ProductTitle))
    return 1;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TableWndProc<&MainMessages>;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = ClassName;
  RegisterClassA(&windowClass);
  // 480 x 320 at 96 dpi: the program is aware of the display's scale, so
  // its window is sized for it, as its text is.
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  HWND window = CreateWindowA(ClassName, ProductTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, MulDiv(480, dpi, 96), MulDiv(320, dpi, 96), nullptr,
                              nullptr, instance, nullptr);
  if (window == nullptr)
    return 1;
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
