// The uninstaller seen from outside: its boxes, which may belong to the
// first process or to the copy it starts from the temporary folder, and its
// exit codes. Each scenario's prefix holds a default installation made by
// the "install" walk below (uninstall.sh runs it first); uninstall.sh
// compares the files and the registry before and after.
#include "tests/e2e/driver/driver.h"

#include "uninstall/uninstall_texts.h"
#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "common/install_facts.h"

#include <tlhelp32.h>

#include <cstring>
#include <string>

namespace {

const char Uninstaller[] = "C:\\Program files\\The Zorvane\\uninstall.exe";
const char UninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\The Zorvane";

// Setup with its defaults and the desktop link ticked.
void Install()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND handled = nullptr;
  HWND box = nullptr;
  DWORD start = GetTickCount();
  while (box == nullptr && GetTickCount() - start < 60000 && !HasExited(&run)) {
    box = WaitForMessageBox(&run, 0);
    for (HWND page : ProcessWindows(&run)) {
      bool wizardPage = GetDlgItem(page, IDC_LICENCE_TEXT) || GetDlgItem(page, IDC_DEST_EDIT);
      if (box != nullptr || page == handled || !wizardPage || GetDlgItem(page, IDC_PROGRESS_BAR))
        continue;
      Pause(200);
      if (GetDlgItem(page, IDC_DESKTOP_BOX))
        Click(page, IDC_DESKTOP_BOX);
      Click(page, IDOK);
      handled = page;
    }
    Pause(50);
  }
  ExpectSuccessEnd(&run, box);
  EndRun(&run);
  // Setup ends by opening the program group in a folder window; closed as
  // a user would, so that it covers no box of the uninstaller.
  HWND folder = WaitForWindowTitled(ProductTitle);
  if (Check(folder != nullptr, "the program group's folder window opens")) {
    PostMessageA(folder, WM_CLOSE, 0, 0);
    Check(WaitForWindowGone(folder), "the folder window closes");
  }
}

// Starts a program in C:\ without waiting for it to go idle: the
// uninstaller with /S and Wine's uninstaller never do.
bool Start(SetupRun *run, const char *exe, const char *arguments)
{
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  std::string line = std::string("\"") + exe + "\" " + arguments;
  run->started = CreateProcessA(exe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\",
                                &startup, &run->process) != FALSE;
  return Check(run->started, "%s started", exe);
}

// A box of the uninstaller, whichever of its processes shows it.
HWND WaitForUninstallBox(DWORD timeoutMs = 30000)
{
  DWORD start = GetTickCount();
  do {
    HWND box = FindWindowA("#32770", UninstallCaption);
    if (box != nullptr && IsWindowVisible(box)) {
      Pause(300);
      return box;
    }
    Pause(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

void ExpectUninstallBox(const char *text, UINT flags, int answer)
{
  HWND box = WaitForUninstallBox();
  CheckMessageBox(box, UninstallCaption, text, flags);
  if (box)
    AnswerMessageBox(box, answer);
}

// The copy goes on after the first process has ended: waits until no
// uninstall.exe runs any more.
void WaitForUninstallersGone()
{
  DWORD start = GetTickCount();
  bool running = true;
  while (running && GetTickCount() - start < 30000) {
    running = false;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
      running |= lstrcmpiA(entry.szExeFile, "uninstall.exe") == 0;
    CloseHandle(snapshot);
    if (running)
      Pause(100);
  }
  Check(!running, "every uninstall.exe has ended");
}

long RunUninstaller(const char *exe, const char *arguments, const char *text, UINT flags)
{
  SetupRun run;
  if (!Start(&run, exe, arguments))
    return -1;
  if (text != nullptr)
    ExpectUninstallBox(text, flags, IDOK);
  long code = WaitForExit(&run, 60000);
  EndRun(&run);
  return code;
}

void SetUninstallValue(const char *name, const char *data)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(data),
                   static_cast<DWORD>(std::strlen(data) + 1));
    RegCloseKey(key);
  }
}

// The part files a killed setup left go too (uninstall.sh plants them).
// The global name of the uninstaller's mark is taken first, as any user's
// program could: a mark no elevated uninstaller made keeps nothing out.
void SilentRestores()
{
  HANDLE squatter = CreateMutexA(nullptr, FALSE, "Global\\The Zorvane uninstaller");
  Check(squatter != nullptr && GetLastError() != ERROR_ALREADY_EXISTS,
        "the mark's global name is taken first");
  Check(RunUninstaller(Uninstaller, "/S", nullptr, 0) == 0, "uninstall.exe /S exits with 0");
  Check(FindWindowA("#32770", UninstallCaption) == nullptr, "no box with /S");
  WaitForUninstallersGone();
  if (squatter != nullptr)
    CloseHandle(squatter);
}

// Add/Remove Programs starts the registered UninstallString; Wine's
// uninstaller does the same.
void AddRemovePrograms()
{
  SetupRun panel;
  if (!Start(&panel, "C:\\windows\\system32\\uninstaller.exe", "--remove \"The Zorvane\""))
    return;
  ExpectUninstallBox(RemoveQuestionText, MB_YESNO | MB_ICONQUESTION, IDYES);
  ExpectUninstallBox(RemovedText, MB_OK | MB_ICONINFORMATION, IDOK);
  WaitForExit(&panel, 30000);
  EndRun(&panel);
  WaitForUninstallersGone();
  // A second run finds nothing (a copy kept outside the removed folder).
  Check(RunUninstaller("C:\\zvtest\\uninstall.exe", "", NotInstalledText,
                       MB_OK | MB_ICONEXCLAMATION) == 1,
        "a second run exits with 1");
}

// Runs the installed uninstaller, answers its question and expects the
// information box that ends a removal (none after No); its exit code.
long RemoveWithAnswer(int answer, const char *lastText)
{
  SetupRun run;
  if (!Start(&run, Uninstaller, ""))
    return -1;
  ExpectUninstallBox(RemoveQuestionText, MB_YESNO | MB_ICONQUESTION, answer);
  if (lastText != nullptr)
    ExpectUninstallBox(lastText, MB_OK | MB_ICONINFORMATION, IDOK);
  long code = WaitForExit(&run);
  EndRun(&run);
  WaitForUninstallersGone();
  Check(WaitForUninstallBox(1000) == nullptr, "no further box");
  return code;
}

void AnswerNo()
{
  Check(RemoveWithAnswer(IDNO, nullptr) == 1, "No ends the uninstaller with 1");
}

void UserFilesKept()
{
  std::string text =
      std::string(RemovedText) + FolderKeptLead + "C:\\Program files\\The Zorvane" + FolderKeptTail;
  Check(RemoveWithAnswer(IDYES, text.c_str()) == 0, "the uninstaller exits with 0");
}

// The game still runs: its file goes at restart, and the box says so.
void FilesInUse()
{
  SetupRun game;
  if (!Start(&game, "C:\\Program files\\The Zorvane\\Zorvane.exe", ""))
    return;
  WaitForInputIdle(game.process.hProcess, 10000);
  Check(RemoveWithAnswer(IDYES, (std::string(RemovedText) + RestartText).c_str()) == 0,
        "the uninstaller exits with 0");
  TerminateProcess(game.process.hProcess, 0);
  WaitForExit(&game);
  EndRun(&game);
}

// "Progdir" edited to the drive's root, then to the Windows folder: both
// hold an uninstall.exe (uninstall.sh puts one there), neither is touched.
void BadProgdir()
{
  for (const char *dir : {"C:\\", "C:\\windows"}) {
    SetUninstallValue("Progdir", dir);
    std::string text = std::string(RefusalLead) + dir + RefusalTail;
    Check(RunUninstaller(Uninstaller, "", text.c_str(), MB_OK | MB_ICONERROR) == 1,
          "refusing %s exits with 1", dir);
  }
}

// "Scdir" edited to the public desktop, which holds a foreign
// TheZorvane.lnk (uninstall.sh plants it): not the group, left alone, and
// that is no failure.
void PublicDesktopGroup()
{
  SetUninstallValue("Scdir", "C:\\users\\Public\\Desktop");
  Check(RunUninstaller(Uninstaller, "/S", nullptr, 0) == 0, "uninstall.exe /S exits with 0");
  WaitForUninstallersGone();
}

// The group's TheZorvane.lnk pointed elsewhere (uninstall.sh): it stays,
// and so does the group folder around it.
void GroupLinkRetargeted()
{
  std::string text = std::string(RemovedText) + FolderKeptLead +
                     "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\The Zorvane" +
                     FolderKeptTail;
  Check(RemoveWithAnswer(IDYES, text.c_str()) == 0, "the uninstaller exits with 0");
}

// A subkey of somebody else's under App Paths\The Zorvane (uninstall.sh),
// then a value of somebody else's under the Uninstall key: the key stays
// whole, the product stays registered with its uninstaller, and once the
// foreign entry is gone the next run removes the rest.
void ForeignSubkey()
{
  SetupRun run;
  if (!Start(&run, Uninstaller, ""))
    return;
  ExpectUninstallBox(RemoveQuestionText, MB_YESNO | MB_ICONQUESTION, IDYES);
  std::string text = std::string(NotRemovedLead) + FailedKeyPrefix + AppPathsKey + "\\" +
                     ProductTitle + NotRemovedTail + StaysRegisteredText;
  ExpectUninstallBox(text.c_str(), MB_OK | MB_ICONERROR, IDOK);
  Check(WaitForExit(&run) == 2, "the first run exits with 2");
  EndRun(&run);
  WaitForUninstallersGone();
  Check(GetFileAttributesA(Uninstaller) != INVALID_FILE_ATTRIBUTES, "uninstall.exe is still there");
  HKEY key;
  bool registered =
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS;
  if (registered)
    RegCloseKey(key);
  Check(registered, "the Uninstall key is still there");
  Check(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App "
                                          "Paths\\The Zorvane\\Foreign") == ERROR_SUCCESS,
        "the foreign subkey is removed");
  // A value of somebody else's keeps the Uninstall key whole in the same way.
  SetUninstallValue("Foreign", "mine");
  Check(RunUninstaller(Uninstaller, "/S", nullptr, 0) == 2,
        "with a foreign value a run exits with 2");
  WaitForUninstallersGone();
  Check(GetFileAttributesA(Uninstaller) != INVALID_FILE_ATTRIBUTES, "uninstall.exe is still there");
  bool valueRemoved = false;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    valueRemoved = RegDeleteValueA(key, "Foreign") == ERROR_SUCCESS;
    RegCloseKey(key);
  }
  Check(valueRemoved, "the foreign value is still there, and is removed");
  Check(RunUninstaller(Uninstaller, "/S", nullptr, 0) == 0, "a last run exits with 0");
  WaitForUninstallersGone();
}

struct BoxSearch {
  const char *text;
  HWND found;
};

BOOL CALLBACK MatchUninstallBox(HWND window, LPARAM context)
{
  auto *search = reinterpret_cast<BoxSearch *>(context);
  char className[16];
  GetClassNameA(window, className, sizeof(className));
  if (std::strcmp(className, "#32770") == 0 && IsWindowVisible(window)) {
    MessageBoxInfo info = ReadMessageBox(window);
    if (info.caption == UninstallCaption && info.text == search->text)
      search->found = window;
  }
  return search->found == nullptr;
}

// The uninstall box with this text, among those of every uninstaller.
HWND FindUninstallBox(const char *text, DWORD timeoutMs = 30000)
{
  BoxSearch search = {text, nullptr};
  DWORD start = GetTickCount();
  do {
    EnumWindows(MatchUninstallBox, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      Pause(300);
      return search.found;
    }
    Pause(100);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

// While one uninstaller asks its question, a second one says so and ends,
// and so does one that claims to be the first one's copy.
void TwoAtOnce()
{
  SetupRun first;
  if (!Start(&first, Uninstaller, ""))
    return;
  HWND question = FindUninstallBox(RemoveQuestionText);
  Check(question != nullptr, "the first uninstaller asks");
  SetupRun second;
  if (Start(&second, Uninstaller, "")) {
    HWND box = FindUninstallBox(AlreadyRunningText);
    CheckMessageBox(box, UninstallCaption, AlreadyRunningText, MB_OK | MB_ICONEXCLAMATION);
    if (box != nullptr)
      AnswerMessageBox(box, IDOK);
    Check(WaitForExit(&second) == 1, "a second uninstaller says so and exits with 1");
    EndRun(&second);
  }
  std::string fakeCopy = "/S /FROM=" + std::to_string(first.process.dwProcessId) + ":4";
  Check(RunUninstaller(Uninstaller, fakeCopy.c_str(), nullptr, 0) == 1,
        "a third claiming to be the first one's copy exits with 1");
  if (question != nullptr)
    AnswerMessageBox(question, IDNO);
  Check(WaitForExit(&first) == 1, "No ends the first uninstaller with 1");
  EndRun(&first);
}

bool Elevated()
{
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  DWORD elevated = 0;  // TOKEN_ELEVATION
  DWORD length = 0;
  bool answered = GetTokenInformation(token, TokenElevation, &elevated, sizeof(elevated), &length);
  CloseHandle(token);
  return answered && elevated != 0;
}

bool IsSid(PSID sid, WELL_KNOWN_SID_TYPE type)
{
  DWORD known[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD size = sizeof(known);
  return CreateWellKnownSid(type, nullptr, known, &size) && EqualSid(sid, known);
}

bool IsUser(PSID sid)
{
  HANDLE token;
  DWORD user[(sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE) / sizeof(DWORD) + 1];
  DWORD length = 0;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  bool same = GetTokenInformation(token, TokenUser, user, sizeof(user), &length) &&
              EqualSid(sid, reinterpret_cast<TOKEN_USER *>(user)->User.Sid);
  CloseHandle(token);
  return same;
}

// The folder of the uninstaller's copy, which stays until Windows
// restarts: a name of 64 random bits, in the Windows folder's Temp for an
// elevated run, and a descriptor of its own: full control for SYSTEM and
// Administrators (Wine stores the user for them), or the user alone when
// not elevated, nothing inherited.
void CopyFolderPrivate()
{
  Check(RunUninstaller(Uninstaller, "/S", nullptr, 0) == 0, "uninstall.exe /S exits with 0");
  WaitForUninstallersGone();
  char parent[MAX_PATH];
  bool elevated = Elevated();
  if (elevated) {
    GetSystemWindowsDirectoryA(parent, MAX_PATH);
    lstrcatA(parent, "\\Temp\\");
  } else {
    GetTempPathA(MAX_PATH, parent);
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(parent) + "ZvUninstall.*").c_str(), &found);
  if (!Check(search != INVALID_HANDLE_VALUE, "a copy folder in %s", parent))
    return;
  FindClose(search);
  std::string name = found.cFileName;
  Check(name.size() == 12 + 16 && name.find_first_not_of("0123456789abcdef", 12) == name.npos,
        "%s is named by 16 hex digits", name.c_str());
  std::string folder = std::string(parent) + name;
  DWORD buffer[512];
  DWORD needed = 0;
  if (!Check(GetFileSecurityA(folder.c_str(),
                              OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, buffer,
                              sizeof(buffer), &needed),
             "the descriptor of %s reads back", folder.c_str()))
    return;
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  ACL *acl = nullptr;
  GetSecurityDescriptorDacl(buffer, &present, &acl, &defaulted);
  if (!Check(present && acl != nullptr, "it has a list of entries"))
    return;
  Check(acl->AceCount == (elevated ? 2 : 1), "%u entries, nothing inherited", acl->AceCount);
  for (int index = 0; index < acl->AceCount; ++index) {
    ACCESS_ALLOWED_ACE *ace = nullptr;
    GetAce(acl, index, reinterpret_cast<void **>(&ace));
    PSID sid = &ace->SidStart;
    bool trustee = elevated ? IsSid(sid, WinLocalSystemSid) ||
                                  IsSid(sid, WinBuiltinAdministratorsSid) || IsUser(sid)
                            : IsUser(sid);
    Check(ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == FILE_ALL_ACCESS &&
              (ace->Header.AceFlags & INHERITED_ACE) == 0 && trustee,
          "entry %d: full control for %s, not inherited", index,
          elevated ? "SYSTEM or Administrators" : "the user");
  }
}

// Inventory tools and Add/Remove Programs uninstall with no question by the
// registered "QuietUninstallString", run as a command line: no box, and
// uninstall.sh then finds the prefix as it was.
void QuietUninstallString()
{
  char command[512] = "";
  DWORD length = sizeof(command) - 1;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    RegQueryValueExA(key, "QuietUninstallString", nullptr, nullptr,
                     reinterpret_cast<BYTE *>(command), &length);
    RegCloseKey(key);
  }
  if (!Check(command[0] != '\0', "QuietUninstallString is registered"))
    return;
  SetupRun run;
  std::string arguments = std::string("/c ") + command;
  if (!Start(&run, "C:\\windows\\system32\\cmd.exe", arguments.c_str()))
    return;
  bool boxSeen = false;
  while (!HasExited(&run) && !boxSeen) {
    boxSeen = FindWindowA("#32770", UninstallCaption) != nullptr;
    Pause(50);
  }
  Check(WaitForExit(&run, 60000) == 0, "cmd /c %s exits with 0", command);
  EndRun(&run);
  WaitForUninstallersGone();
  Check(!boxSeen && WaitForUninstallBox(1000) == nullptr, "no box of the uninstaller");
}

}  // namespace

const Scenario Scenarios[] = {
    {"install", Install, StepOnly},
    {"silent_restores", SilentRestores},
    {"add_remove_programs", AddRemovePrograms},
    {"answer_no", AnswerNo},
    {"user_files_kept", UserFilesKept},
    {"files_in_use", FilesInUse},
    {"bad_progdir", BadProgdir},
    {"public_desktop_group", PublicDesktopGroup},
    {"group_link_retargeted", GroupLinkRetargeted},
    {"foreign_subkey", ForeignSubkey},
    {"two_at_once", TwoAtOnce},
    {"copy_folder_private", CopyFolderPrivate},
    {"add_remove_entry", QuietUninstallString},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
