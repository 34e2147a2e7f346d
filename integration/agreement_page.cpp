// The licence agreement, the first wizard page. It also loads the banner
// bitmap that every later page paints as its background, so it must run
// before any of them.
#include "integration/agreement_page.h"

#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "setup_common/banner.h"
#include "common/dispatch.h"
#include "setup_common/state.h"

namespace {

// The licence text is loaded into a buffer of this size; a longer text
// would be cut, so the licence resource is kept well below it.
const int LicenceBufferSize = 7000;

LRESULT OnAgreementInit(HWND dialog, UINT, WPARAM, LPARAM)
{
  // The first page: the banner it loads is what every later page paints.
  LoadBanner();

  static char licence[LicenceBufferSize];
  licence[0] = '\0';
  LoadStringA(AppInstance, IDS_LICENCE, licence, LicenceBufferSize);
  SetDlgItemTextA(dialog, IDC_LICENCE_TEXT, licence);

  SetFocus(GetDlgItem(dialog, IDOK));
  return TRUE;
}

// "I Agree" (also Enter) goes on; "Cancel" (also Esc) ends setup only when
// the user confirms.
LRESULT OnAgreementButton(HWND dialog, UINT id, UINT, LPARAM)
{
  if (id == IDOK)
    EndDialog(dialog, 0);
  else if (MessageBoxA(dialog, CancelQuestionText, SetupCaption, MB_YESNO | MB_ICONQUESTION) ==
           IDYES)
    EndDialog(dialog, 1);
  return 0;
}

}  // namespace

ZV_COMMAND_TABLE(AgreementCommands, DefaultReturnZero, {IDOK, OnAgreementButton},
                 {IDCANCEL, OnAgreementButton});

ZV_MESSAGE_TABLE(AgreementMessages, DefaultReturnZero,
                 {WM_COMMAND, ForwardCommand<&AgreementCommands>}, {WM_INITDIALOG, OnAgreementInit},
                 {WM_PAINT, PaintBanner});

INT_PTR ShowAgreementPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_AGREEMENT", owner, TableDlgProc<&AgreementMessages>, 0);
}
