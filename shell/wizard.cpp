// The wizard driver: runs the pages in their fixed order, tells the user
// the outcome and closes the main window. There is no Back button: the first
// page that does not return 0 ends the sequence with the cancel message.
#include "shell/wizard.h"

#include "destination/dir_page.h"
#include "integration/agreement_page.h"
#include "integration/shortcut_page.h"
#include "payload/copy_page.h"
#include "resources/setup_texts.h"
#include "shell/spine_rules.h"
#include "common/state.h"

typedef INT_PTR (*PageOperation)(HWND owner);

// The pages whose result decides whether setup goes on. The licence page
// comes first: it loads the banner every later page paints (LoadBanner).
static const PageOperation DecisivePages[] = {
    ShowAgreementPage,
    RunDirPage,
    RunCopyPage,
};

LRESULT SetupWizard(HWND window, UINT, UINT, LPARAM)
{
  for (PageOperation page : DecisivePages) {
    if (page(window) != 0) {
      MessageBoxA(window, CancelMessage, SetupCaption, MB_OK | MB_ICONEXCLAMATION);
      DestroyWindow(window);
      return 0;
    }
  }

  // Cancelling the shortcut page skips only the shortcuts: the files are in
  // place and registered, so setup still reports success.
  ShowShortcutPage(window);

  char text[PathBufferSize];
  wsprintfA(text, SuccessFormat, ProductTitle, ClosingWord(InstallMode));
  MessageBoxA(window, text, SetupCaption, MB_OK | MB_ICONINFORMATION);
  if (OpensGroupFolder(InstallMode))
    ShellExecuteA(nullptr, nullptr, FinishOpenPath, nullptr, nullptr, SW_SHOWNA);

  DestroyWindow(window);
  return 0;
}
