// The shortcut page, the last wizard page: it proposes the Start-menu folder
// for the program group, lets the user pick another with the program-group
// browser, offers a desktop shortcut, registers the application and, on
// Finish, makes the shortcuts. The wizard ignores its result: a confirmed
// Cancel here skips only the shortcuts.
#include "integration/shortcut_page.h"

#include "integration/group_browser.h"
#include "integration/registry.h"
#include "integration/shell_link.h"
#include "integration/shortcut_page_rules.h"
#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "setup_common/dir_ops.h"
#include "common/install_facts.h"
#include "common/shell_folder.h"
#include "setup_common/banner.h"
#include "common/dispatch.h"
#include "common/path_text.h"
#include "setup_common/state.h"

#include <cstring>

#include "payload_size.h"

namespace {

// One shortcut: the link file's name, the target's name inside InstallDir,
// and the description.
struct ShortcutFile {
  const char *linkName;
  const char *targetName;
  const char *description;
};

const ShortcutFile DesktopShortcut = {ProgramLinkName, ProgramFileName, ZV_PRODUCT_TITLE};

// Made in the program-group folder, in this order.
const ShortcutFile GroupShortcuts[] = {
    {ProgramLinkName, ProgramFileName, ZV_PRODUCT_TITLE},
    {UninstallLinkName, UninstallerFileName, UninstallLinkDescription},
    {ReadmeLinkName, ReadmeFileName, ReadmeLinkDescription},
};

// Writes one shortcut in folder. A link or target path that does not fit
// its buffer is not written at all rather than cut into another path.
void MakeShortcut(const char *folder, const ShortcutFile &shortcut)
{
  char linkPath[PathBufferSize];
  char targetPath[PathBufferSize];
  if (!JoinPath(linkPath, sizeof(linkPath), folder, shortcut.linkName) ||
      !JoinPath(targetPath, sizeof(targetPath), InstallDir, shortcut.targetName))
    return;
  CreateShellLink(targetPath, linkPath, shortcut.description);
}

LRESULT OnShortcutInit(HWND page, UINT, WPARAM, LPARAM)
{
  // The folder must keep room for the listing pattern the browser adds, so
  // a value too long for that counts as not found.
  std::memset(ShortcutGroup, 0, sizeof(ShortcutGroup));
  if (!GetShellFolder(ShortcutGroup, sizeof(ShortcutGroup) - ListingPatternRoom,
                      CommonProgramsValue))
    std::strcpy(ShortcutGroup, "C:");
  SetDlgItemTextA(page, IDC_DEST_EDIT, ShortcutGroup);
  return TRUE;
}

// Browse: the browser may move ShortcutGroup; the edit then shows the
// program-group folder under it. The edit is never read back.
LRESULT ShowGroupBrowser(HWND page, UINT, UINT, LPARAM)
{
  RunGroupBrowser(page);
  char shown[PathBufferSize];
  if (JoinPath(shown, sizeof(shown), ShortcutGroup, ProgramGroupName))
    SetDlgItemTextA(page, IDC_DEST_EDIT, shown);
  else
    SetDlgItemTextA(page, IDC_DEST_EDIT, ShortcutGroup);
  return 0;
}

// Finish and Cancel both register the application first, at every press,
// so a Cancel answered No and a later Finish write the same values twice.
LRESULT OnShortcutButton(HWND page, UINT id, UINT, LPARAM)
{
  // A group folder too long for its buffer is left empty: it is registered
  // as such and no shortcut goes into a folder of another name.
  char groupFolder[PathBufferSize] = "";
  bool haveGroupFolder = FormGroupFolder(groupFolder, sizeof(groupFolder), ShortcutGroup);

  RegisterAppPath(InstallDir);
  char uninstallCommand[PathBufferSize] = "";
  FormUninstallCommand(uninstallCommand, sizeof(uninstallCommand), InstallDir);
  RegisterUninstall(uninstallCommand, groupFolder, InstallDir);
  RegisterUninstallDetails(InstallDir, PayloadInstalledKB);

  if (id == IDCANCEL) {
    if (MessageBoxA(page, CancelShortcutsText, CancelShortcutsCaption,
                    MB_YESNO | MB_ICONQUESTION) == IDYES)
      EndDialog(page, 1);
    return 0;
  }

  if (SendDlgItemMessageA(page, IDC_DESKTOP_BOX, BM_GETCHECK, 0, 0) == BST_CHECKED) {
    // A desktop path longer than this buffer counts as not found.
    char desktop[ShortPathSize];
    std::memset(desktop, 0, sizeof(desktop));
    if (GetShellFolder(desktop, sizeof(desktop), CommonDesktopValue))
      MakeShortcut(desktop, DesktopShortcut);
  }

  if (haveGroupFolder) {
    // Fails harmlessly when the folder is left from an earlier install.
    CreateDir(groupFolder);
    for (const ShortcutFile &shortcut : GroupShortcuts)
      MakeShortcut(groupFolder, shortcut);
    std::strcpy(FinishOpenPath, groupFolder);
  }
  EndDialog(page, 0);
  return 0;
}

}  // namespace

ZV_COMMAND_TABLE(ShortcutCommands, DefaultReturnZero, {IDOK, OnShortcutButton},
                 {IDCANCEL, OnShortcutButton}, {IDC_BROWSE, ShowGroupBrowser});

ZV_MESSAGE_TABLE(ShortcutMessages, DefaultReturnZero,
                 {WM_COMMAND, ForwardCommand<&ShortcutCommands>}, {WM_INITDIALOG, OnShortcutInit},
                 {WM_PAINT, PaintBanner});

INT_PTR ShowShortcutPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_SHORTCUT", owner, TableDlgProc<&ShortcutMessages>, 0);
}
