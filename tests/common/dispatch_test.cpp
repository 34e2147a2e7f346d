// The dispatchers against real windows: which row runs, what the handlers
// receive, and where unnamed messages go for each default kind.
#include "common/dispatch.h"

#include <gtest/gtest.h>

namespace {

struct Call {
  int handler;
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};
Call LastCall;

// Handlers that record their call under their number and return the
// number times 11: 1 and 2 for messages, 3 and 4 for commands.
template <int Number> LRESULT Recorded(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
  LastCall = {Number, w, m, wp, lp};
  return Number * 11;
}
template <int Number> LRESULT RecordedCommand(HWND w, UINT id, UINT code, LPARAM lp)
{
  LastCall = {Number, w, id, code, lp};
  return Number * 11;
}
constexpr MessageHandler First = Recorded<1>;
constexpr MessageHandler Second = Recorded<2>;
constexpr CommandHandler CommandA = RecordedCommand<3>;
constexpr CommandHandler CommandB = RecordedCommand<4>;

// A plain window whose text DefWindowProcA can report.
HWND MakeWindow()
{
  return CreateWindowExA(0, "STATIC", "abcdef", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

// A dialog whose procedure records what DefDlgProcA hands it.
INT_PTR CALLBACK RecordingDlgProc(HWND w, UINT m, WPARAM wp, LPARAM lp)
{
  if (m == WM_COMMAND)
    LastCall = {9, w, m, wp, lp};
  return m == WM_INITDIALOG;
}

HWND MakeDialog()
{
  alignas(4) static WORD templateWords[32];
  ZeroMemory(templateWords, sizeof(templateWords));
  DLGTEMPLATE *dialogTemplate = reinterpret_cast<DLGTEMPLATE *>(templateWords);
  dialogTemplate->style = WS_POPUP;
  dialogTemplate->cx = 50;
  dialogTemplate->cy = 50;
  // No menu, default class, empty title follow the header as three zero words.
  return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), dialogTemplate, nullptr,
                                    RecordingDlgProc, 0);
}

const MessageEntry TwoRowsSameMessage[] = {
    {WM_USER + 1, First},
    {WM_USER + 1, Second},
    {WM_USER + 2, Second},
};

}  // namespace

TEST(DispatchMessageTable, FirstMatchingRowWinsAndGetsAllArguments)
{
  HWND window = MakeWindow();
  const MessageTable table = MakeMessageTable(TwoRowsSameMessage, DefaultReturnZero);
  LastCall = {};
  EXPECT_EQ(11, DispatchMessageTable(&table, window, WM_USER + 1, 0x12345678, 0x0BADF00D));
  EXPECT_EQ(1, LastCall.handler);
  EXPECT_EQ(window, LastCall.window);
  EXPECT_EQ(static_cast<UINT>(WM_USER + 1), LastCall.message);
  EXPECT_EQ(static_cast<WPARAM>(0x12345678), LastCall.wParam);
  EXPECT_EQ(static_cast<LPARAM>(0x0BADF00D), LastCall.lParam);

  EXPECT_EQ(22, DispatchMessageTable(&table, window, WM_USER + 2, 0, 0));
  EXPECT_EQ(2, LastCall.handler);
  DestroyWindow(window);
}

TEST(DispatchMessageTable, MessageIdsCompareInFull32Bits)
{
  HWND window = MakeWindow();
  const MessageTable table = MakeMessageTable(TwoRowsSameMessage, DefaultReturnZero);
  LastCall = {};
  // Same low word as a row, different high word: no row matches.
  EXPECT_EQ(0, DispatchMessageTable(&table, window, 0x10000 | (WM_USER + 1), 0, 0));
  EXPECT_EQ(0, LastCall.handler);
  DestroyWindow(window);
}

TEST(DispatchMessageTable, DefaultKindsForUnnamedMessages)
{
  HWND window = MakeWindow();
  char text[32];

  const MessageTable zero = MakeMessageTable(TwoRowsSameMessage, DefaultReturnZero);
  lstrcpyA(text, "untouched");
  EXPECT_EQ(0, DispatchMessageTable(&zero, window, WM_GETTEXT, sizeof(text),
                                    reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ("untouched", text);

  const MessageTable windowProc = MakeMessageTable(TwoRowsSameMessage, DefaultWindowProc);
  EXPECT_EQ(6, DispatchMessageTable(&windowProc, window, WM_GETTEXT, sizeof(text),
                                    reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ("abcdef", text);

  HWND dialog = MakeDialog();
  ASSERT_NE(nullptr, dialog);
  SetWindowTextA(dialog, "dlg");
  const MessageTable dialogProc = MakeMessageTable(TwoRowsSameMessage, DefaultDialogProc);
  EXPECT_EQ(3, DispatchMessageTable(&dialogProc, dialog, WM_GETTEXT, sizeof(text),
                                    reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ("dlg", text);

  for (int32_t other : {3, 7, -1, 0x7FFFFFFF}) {
    const MessageTable table = {3, TwoRowsSameMessage, other};
    lstrcpyA(text, "untouched");
    EXPECT_EQ(0, DispatchMessageTable(&table, window, WM_GETTEXT, sizeof(text),
                                      reinterpret_cast<LPARAM>(text)))
        << "kind " << other;
    EXPECT_STREQ("untouched", text);
  }
  DestroyWindow(dialog);
  DestroyWindow(window);
}

TEST(DispatchMessageTable, CountOfZeroOrLessSendsEverythingToTheDefault)
{
  HWND window = MakeWindow();
  char text[32];
  for (int32_t count : {0, -1}) {
    const MessageTable table = {count, TwoRowsSameMessage, DefaultWindowProc};
    LastCall = {};
    EXPECT_EQ(0, DispatchMessageTable(&table, window, WM_USER + 1, 0, 0));
    EXPECT_EQ(0, LastCall.handler) << "count " << count;
    EXPECT_EQ(6, DispatchMessageTable(&table, window, WM_GETTEXT, sizeof(text),
                                      reinterpret_cast<LPARAM>(text)));
  }
  DestroyWindow(window);
}

namespace {
const CommandEntry CommandRows[] = {
    {100, CommandA},
    {100, CommandB},
    {0xFFFF, CommandB},
};
}

TEST(DispatchCommandTable, IdFromLowWordCodeFromHighWordFirstMatchWins)
{
  HWND window = MakeWindow();
  const CommandTable table = MakeCommandTable(CommandRows, DefaultReturnZero);
  LastCall = {};
  EXPECT_EQ(33, DispatchCommandTable(&table, window, MAKEWPARAM(100, EN_UPDATE), 0x4242));
  EXPECT_EQ(3, LastCall.handler);
  EXPECT_EQ(window, LastCall.window);
  EXPECT_EQ(100u, LastCall.message);
  EXPECT_EQ(static_cast<WPARAM>(EN_UPDATE), LastCall.wParam);
  EXPECT_EQ(static_cast<LPARAM>(0x4242), LastCall.lParam);

  // Another notification of the same control reaches the same handler.
  EXPECT_EQ(33, DispatchCommandTable(&table, window, MAKEWPARAM(100, EN_CHANGE), 0));
  EXPECT_EQ(static_cast<WPARAM>(EN_CHANGE), LastCall.wParam);

  // Ids and codes are widened without sign: 0xFFFF stays 65535.
  EXPECT_EQ(44, DispatchCommandTable(&table, window, MAKEWPARAM(0xFFFF, 0xFFFF), 0));
  EXPECT_EQ(0xFFFFu, LastCall.message);
  EXPECT_EQ(static_cast<WPARAM>(0xFFFF), LastCall.wParam);
  DestroyWindow(window);
}

TEST(DispatchCommandTable, UnnamedIdGoesToTheDefaultWithWParamUnsplit)
{
  HWND dialog = MakeDialog();
  ASSERT_NE(nullptr, dialog);
  const CommandTable table = MakeCommandTable(CommandRows, DefaultDialogProc);
  LastCall = {};
  WPARAM wParam = MAKEWPARAM(77, 0x1234);
  DispatchCommandTable(&table, dialog, wParam, 0x55);
  EXPECT_EQ(9, LastCall.handler);
  EXPECT_EQ(static_cast<UINT>(WM_COMMAND), LastCall.message);
  EXPECT_EQ(wParam, LastCall.wParam);
  EXPECT_EQ(static_cast<LPARAM>(0x55), LastCall.lParam);

  const CommandTable zero = MakeCommandTable(CommandRows, DefaultReturnZero);
  LastCall = {};
  EXPECT_EQ(0, DispatchCommandTable(&zero, dialog, wParam, 0x55));
  EXPECT_EQ(0, LastCall.handler);

  const CommandTable empty = {0, CommandRows, DefaultDialogProc};
  LastCall = {};
  DispatchCommandTable(&empty, dialog, MAKEWPARAM(100, 0), 0);
  EXPECT_EQ(9, LastCall.handler) << "a count of 0 ignores the rows";
  DestroyWindow(dialog);
}

namespace {
const CommandTable ForwardedCommands = MakeCommandTable(CommandRows, DefaultReturnZero);
ZV_MESSAGE_TABLE(ProcMessages, DefaultWindowProc, {WM_COMMAND, ForwardCommand<&ForwardedCommands>},
                 {WM_USER + 1, First});
}  // namespace

// A window whose procedure is made from its table: messages reach the rows,
// WM_COMMAND the command table, and the rest the table's default.
TEST(DispatchScaffolding, ProcedureAndForwarderComeFromTheTables)
{
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = TableWndProc<&ProcMessages>;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "ZvTableProc";
  ASSERT_NE(0, RegisterClassA(&windowClass));
  HWND window = CreateWindowExA(0, "ZvTableProc", "abcdef", WS_POPUP, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(nullptr, window);
  EXPECT_EQ(11, SendMessageA(window, WM_USER + 1, 5, 6));
  EXPECT_EQ(1, LastCall.handler);
  EXPECT_EQ(33, SendMessageA(window, WM_COMMAND, MAKEWPARAM(100, 7), 0x42));
  EXPECT_EQ(3, LastCall.handler);
  EXPECT_EQ(static_cast<WPARAM>(7), LastCall.wParam);
  char text[16] = "";
  EXPECT_EQ(6, SendMessageA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text)));
  EXPECT_STREQ("abcdef", text);
  DestroyWindow(window);
}
