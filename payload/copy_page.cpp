// The copy page's dialog: it starts the extraction by posting itself
// IDM_EXTRACT once it is shown, and its Cancel only raises CopyStop; the
// pipeline notices the flag between two files and ends the page itself.
#include "payload/copy_page.h"

#include "resources/resource.h"
#include "shell/dispatch.h"
#include "shell/pages.h"
#include "shell/state.h"

namespace {

LRESULT OnCopyCommand(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

LRESULT StartExtraction(HWND page, UINT, WPARAM, LPARAM)
{
  PostMessageA(page, WM_COMMAND, IDM_EXTRACT, 0);
  return 1;
}

LRESULT RequestCopyStop(HWND, UINT, UINT, LPARAM)
{
  CopyStop = 1;
  return 1;
}

const MessageEntry CopyMessageRows[] = {
    {WM_COMMAND, OnCopyCommand},
    {WM_INITDIALOG, StartExtraction},
    {WM_PAINT, PaintBanner},
};
const MessageTable CopyMessages = MakeMessageTable(CopyMessageRows, DefaultReturnZero);

const CommandEntry CopyCommandRows[] = {
    {IDM_EXTRACT, ExtractPayload},
    {IDCANCEL, RequestCopyStop},
};
const CommandTable CopyCommands = MakeCommandTable(CopyCommandRows, DefaultReturnZero);

LRESULT OnCopyCommand(HWND page, UINT, WPARAM wParam, LPARAM lParam)
{
  return DispatchCommandTable(&CopyCommands, page, wParam, lParam);
}

INT_PTR CALLBACK CopyPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
  return DispatchMessageTable(&CopyMessages, page, message, wParam, lParam);
}

}  // namespace

INT_PTR RunCopyPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_COPY", owner, CopyPageProc, 0);
}
