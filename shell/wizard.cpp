// The wizard driver: runs the pages in their fixed order, tells the user
// the outcome and closes the main window. There is no Back button: the first
// page that does not return 0 ends the sequence with the cancel message.
#include "shell/wizard.h"

#include <cstring>

#include "destination/dir_page.h"
#include "integration/agreement_page.h"
#include "integration/shortcut_page.h"
#include "payload/copy_page.h"
#include "resources/setup_texts.h"
#include "common/path_text.h"
#include "shell/wizard_rules.h"
#include "setup_common/state.h"

typedef INT_PTR (*PageOperation)(HWND owner);

namespace {

// Opens folder in a window of the system's explorer.exe, named by its full
// path in the Windows folder, without activating it. The shell's default
// verb is not used: an elevated process reads it from HKCU\Software\Classes
// too, so a command that the user's unelevated programs put there would run
// elevated.
void OpenFolderWindow(const char *folder)
{
  char windows[MAX_PATH];
  char explorer[MAX_PATH];
  UINT length = GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH || folder[0] == '\0' ||
      !JoinPath(explorer, sizeof(explorer), windows, "explorer.exe"))
    return;
  // "PROGRAM" "FOLDER": a backslash before the closing quote would escape
  // it, so a trailing one is doubled.
  char commandLine[MAX_PATH + PathBufferSize + 8];
  size_t folderLength = std::strlen(folder);
  wsprintfA(commandLine, "\"%s\" \"%s%s\"", explorer, folder,
            folder[folderLength - 1] == '\\' ? "\\" : "");
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNA;
  PROCESS_INFORMATION process;
  if (CreateProcessA(explorer, commandLine, nullptr, nullptr, FALSE, 0, nullptr, windows, &startup,
                     &process)) {
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
}

// The pages whose result decides whether setup goes on. The licence page
// comes first: it loads the banner every later page paints (LoadBanner).
const PageOperation DecisivePages[] = {
    ShowAgreementPage,
    RunDirPage,
    RunCopyPage,
};

}  // namespace

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
    OpenFolderWindow(FinishOpenPath);

  DestroyWindow(window);
  return 0;
}
