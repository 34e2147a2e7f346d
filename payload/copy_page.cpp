// The copy page's dialog: it starts the extraction by posting itself
// IDM_EXTRACT once it is shown, and its Cancel only raises CopyStop; the
// pipeline notices the flag between two files and ends the page itself.
#include "payload/extract_payload.h"
#include "resources/resource.h"
#include "shell/banner.h"
#include "shell/dispatch.h"
#include "shell/pages.h"
#include "shell/state.h"

static LRESULT OnCopyInit(HWND page, UINT, WPARAM, LPARAM)
{
  PostMessageA(page, WM_COMMAND, IDM_EXTRACT, 0);
  return 1;
}

static LRESULT OnCopyCancel(HWND, UINT, UINT, LPARAM)
{
  CopyStop = 1;
  return 1;
}

static const CommandEntry CopyCommandRows[] = {
    {IDM_EXTRACT, ExtractPayload},
    {IDCANCEL, OnCopyCancel},
};
static const CommandTable CopyCommands = MakeCommandTable(CopyCommandRows, DefaultReturnZero);

static LRESULT OnCopyCommand(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
  return DispatchCommandTable(&CopyCommands, page, wParam, lParam);
}

static const MessageEntry CopyMessageRows[] = {
    {WM_COMMAND, OnCopyCommand},
    {WM_INITDIALOG, OnCopyInit},
    {WM_PAINT, PaintBanner},
};
static const MessageTable CopyMessages = MakeMessageTable(CopyMessageRows, DefaultReturnZero);

static INT_PTR CALLBACK CopyDlgProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DispatchMessageTable(&CopyMessages, page, message, wParam, lParam);
}

INT_PTR RunCopyPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_COPY", owner, CopyDlgProc, 0);
}
