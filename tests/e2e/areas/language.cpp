// Setup and the uninstaller with folder names outside the system's code
// page. This driver has no UTF-8 manifest, so every such name crosses to the
// setup through the wide calls, as the user's typing would.
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "common/product.h"

#include <string>

namespace {

// "Зорвейн 游戏": Cyrillic and Chinese, neither in Windows-1252.
const wchar_t FolderName[] = L"\x0417\x043E\x0440\x0432\x0435\x0439\x043D \x6E38\x620F";
const wchar_t InstallDir[] =
    L"C:\\Program files\\\x0417\x043E\x0440\x0432\x0435\x0439\x043D \x6E38\x620F";

std::wstring WideControlText(HWND dialog, int id)
{
  wchar_t text[512] = L"";
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(dialog, id), WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text),
                      SMTO_ABORTIFHUNG, 5000, &result);
  return text;
}

// The folder typed into the browser's name field; the rest of the wizard
// with its defaults.
void Install()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  if (!AcceptAgreement(&run))
    return;
  HWND page = WaitForPage(&run, IDC_DEST_EDIT);
  if (!Check(page != nullptr, "destination page appears"))
    return;
  Pause(200);
  Click(page, IDC_BROWSE);
  HWND browser = WaitForPage(&run, IDC_DIR_LIST);
  if (!Check(browser != nullptr, "folder browser opens"))
    return;
  Pause(300);
  DWORD_PTR result = 0;
  SendMessageTimeoutW(GetDlgItem(browser, IDC_NAME_EDIT), WM_SETTEXT, 0,
                      reinterpret_cast<LPARAM>(FolderName), SMTO_ABORTIFHUNG, 5000, &result);
  Pause(200);
  Click(browser, IDOK);
  Check(WaitForWindowGone(browser), "OK closes the browser");
  Pause(300);
  Check(WideControlText(page, IDC_DEST_EDIT) == InstallDir,
        "the destination shows the folder's name unchanged");
  std::string pages;
  HWND box = nullptr;
  WalkDefaults(&run, false, &pages, &box);
  ExpectSuccessEnd(&run, box);
  EndRun(&run);
  // Setup ends by opening the program group in a folder window, closed here
  // so that nothing of the install runs on.
  if (HWND folder = WaitForWindowTitled(ProductTitle))
    PostMessageA(folder, WM_CLOSE, 0, 0);
}

// The installed uninstaller, started by its wide path, removes it all.
void Uninstall()
{
  std::wstring exe = std::wstring(InstallDir) + L"\\uninstall.exe";
  std::wstring line = L"\"" + exe + L"\" /S";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!Check(CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, L"C:\\",
                            &startup, &process) != FALSE,
             "the uninstaller starts"))
    return;
  Check(WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0, "the uninstaller ends");
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  Check(code == 0, "uninstall.exe /S exits with 0 (got %lu)", code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // The removal goes on in the uninstaller's copy in the temporary folder.
  DWORD start = GetTickCount();
  while (GetFileAttributesW(InstallDir) != INVALID_FILE_ATTRIBUTES &&
         GetTickCount() - start < 30000)
    Pause(100);
  Check(GetFileAttributesW(InstallDir) == INVALID_FILE_ATTRIBUTES, "the program folder is gone");
}

}  // namespace

const Scenario Scenarios[] = {
    {"install", Install, StepOnly},
    {"utf8_paths", Uninstall},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
