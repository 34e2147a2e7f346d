// Table-driven dispatch shared by every window and dialog procedure. A
// procedure is one line that hands its arguments and its own constant
// MessageTable to DispatchMessageTable; a WM_COMMAND row forwards to
// DispatchCommandTable with the window's CommandTable. Behaviour is added by
// adding a handler and a row, never by a switch over message ids.
#pragma once

#include <windows.h>

#include <cstdint>
#include <iterator>

// What happens to a message (or command) that no row names.
enum DefaultProcKind : int32_t {
  DefaultReturnZero = 0,  // return 0; for a dialog: not handled
  DefaultWindowProc = 1,  // DefWindowProcA
  DefaultDialogProc = 2,  // DefDlgProcA
};

typedef LRESULT (*MessageHandler)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// id is LOWORD(wParam), code is HIWORD(wParam), both widened without sign.
typedef LRESULT (*CommandHandler)(HWND window, UINT id, UINT code, LPARAM lParam);

struct MessageEntry {
  UINT message;
  MessageHandler handler;
};

struct MessageTable {
  int32_t count;
  const MessageEntry *rows;
  int32_t defaultKind;  // a DefaultProcKind; any other value returns 0
};

struct CommandEntry {
  WORD id;
  CommandHandler handler;
};

struct CommandTable {
  int32_t count;
  const CommandEntry *rows;
  int32_t defaultKind;
};

// Builds a table over a constant array of rows, counting them.
template <size_t N>
constexpr MessageTable MakeMessageTable(const MessageEntry (&rows)[N], int32_t kind)
{
  return MessageTable{static_cast<int32_t>(N), rows, kind};
}
template <size_t N>
constexpr CommandTable MakeCommandTable(const CommandEntry (&rows)[N], int32_t kind)
{
  return CommandTable{static_cast<int32_t>(N), rows, kind};
}

// Declares a window's constant table Name and its rows in one line:
//   ZV_COMMAND_TABLE(PageCommands, DefaultReturnZero, {IDOK, OnOk}, {IDCANCEL, OnCancel});
// The rows are searched in the order written. Name##Rows holds them. Both
// are constexpr: built at compile time, and file-local wherever the line
// stands, as every const object at namespace scope is (no `static` needed).
#define ZV_COMMAND_TABLE(Name, kind, ...)                                                          \
  constexpr CommandEntry Name##Rows[] = {__VA_ARGS__};                                             \
  constexpr CommandTable Name = MakeCommandTable(Name##Rows, kind)
#define ZV_MESSAGE_TABLE(Name, kind, ...)                                                          \
  constexpr MessageEntry Name##Rows[] = {__VA_ARGS__};                                             \
  constexpr MessageTable Name = MakeMessageTable(Name##Rows, kind)

LRESULT DispatchMessageTable(const MessageTable *table, HWND window, UINT message, WPARAM wParam,
                             LPARAM lParam);
LRESULT DispatchCommandTable(const CommandTable *table, HWND window, WPARAM wParam, LPARAM lParam);
LRESULT CallDefaultProc(int32_t kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The scaffolding every window shares, made once for each table: the
// WM_COMMAND row that forwards to the window's command table, and the
// window or dialog procedure whose whole body dispatches over the window's
// message table. A window names them by its tables:
//   {WM_COMMAND, ForwardCommand<&PageCommands>}, ... TableDlgProc<&PageMessages>
template <const CommandTable *Commands>
LRESULT ForwardCommand(HWND window, UINT, WPARAM wParam, LPARAM lParam)
{
  return DispatchCommandTable(Commands, window, wParam, lParam);
}

template <const MessageTable *Messages>
LRESULT CALLBACK TableWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DispatchMessageTable(Messages, window, message, wParam, lParam);
}

// A dialog procedure returns INT_PTR, which 32-bit Windows declares apart
// from LRESULT.
template <const MessageTable *Messages>
INT_PTR CALLBACK TableDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DispatchMessageTable(Messages, dialog, message, wParam, lParam);
}
