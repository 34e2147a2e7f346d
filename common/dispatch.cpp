// The two table dispatchers. They keep no state, so a handler may run a
// nested message loop and re-enter them for the same or another window.
#include "common/dispatch.h"

LRESULT CallDefaultProc(int32_t kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  if (kind == DefaultWindowProc)
    return DefWindowProcA(window, message, wParam, lParam);
  if (kind == DefaultDialogProc)
    return DefDlgProcA(window, message, wParam, lParam);
  return 0;
}

LRESULT DispatchMessageTable(const MessageTable *table, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam)
{
  for (int32_t row = 0; row < table->count; ++row)
    if (table->rows[row].message == message)
      return table->rows[row].handler(window, message, wParam, lParam);
  return CallDefaultProc(table->defaultKind, window, message, wParam, lParam);
}

LRESULT DispatchCommandTable(const CommandTable *table, HWND window, WPARAM wParam, LPARAM lParam)
{
  // Only the id takes part in the match: every notification of a listed
  // control reaches its handler, which tells the codes apart itself.
  WORD id = LOWORD(wParam);
  for (int32_t row = 0; row < table->count; ++row)
    if (table->rows[row].id == id)
      return table->rows[row].handler(window, id, HIWORD(wParam), lParam);
  return CallDefaultProc(table->defaultKind, window, WM_COMMAND, wParam, lParam);
}
