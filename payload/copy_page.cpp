// The copy page's dialog: it starts the extraction by posting itself
// IDM_EXTRACT once it is shown, and its Cancel only raises CopyStop; the
// pipeline notices the flag between two files and ends the page itself.
#include "payload/copy_page.h"

#include "payload/extract_payload.h"
#include "resources/resource.h"
#include "setup_common/banner.h"
#include "common/dispatch.h"
#include "setup_common/state.h"

namespace {

LRESULT OnCopyInit(HWND page, UINT, WPARAM, LPARAM)
{
  PostMessageA(page, WM_COMMAND, IDM_EXTRACT, 0);
  return 1;
}

LRESULT OnCopyCancel(HWND, UINT, UINT, LPARAM)
{
  CopyStop = 1;
  return 1;
}

}  // namespace

ZV_COMMAND_TABLE(CopyCommands, DefaultReturnZero, {IDM_EXTRACT, ExtractPayload},
                 {IDCANCEL, OnCopyCancel});

ZV_MESSAGE_TABLE(CopyMessages, DefaultReturnZero, {WM_COMMAND, ForwardCommand<&CopyCommands>},
                 {WM_INITDIALOG, OnCopyInit}, {WM_PAINT, PaintBanner});

INT_PTR RunCopyPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_COPY", owner, TableDlgProc<&CopyMessages>, 0);
}
