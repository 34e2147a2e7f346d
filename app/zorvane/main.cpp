// Zorvane.exe: the application that setup installs. A plain window titled
// "The Zorvane" that greets the user and says where it runs from.
#include <windows.h>

#include "common/dispatch.h"
#include "common/dll_search.h"
#include "common/product.h"

namespace {

const char ClassName[] = "ZorvaneMain";

LRESULT PaintGreeting(HWND window, UINT, WPARAM, LPARAM)
{
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(window, &paint);
  RECT client;
  GetClientRect(window, &client);
  char folder[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, folder, sizeof folder);
  char text[MAX_PATH + 64];
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
  RestrictDllSearch();
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TableWndProc<&MainMessages>;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = ClassName;
  RegisterClassA(&windowClass);
  HWND window = CreateWindowA(ClassName, ProductTitle, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                              CW_USEDEFAULT, 480, 320, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) {
    return 1;
  }
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}
