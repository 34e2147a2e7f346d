// The copy page seen from outside: what the user is told and how setup
// ends. The files on disk are checked by payload.sh.
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "common/product.h"

#include <aclapi.h>

#include <string>
#include <vector>

namespace {

const char InstallFolder[] = "C:\\Program files\\The Zorvane";

// The in-use box as it names the installed game.
std::string InUseText()
{
  char text[512];
  wsprintfA(text, FileInUseFormat, (std::string(InstallFolder) + "\\Zorvane.exe").c_str());
  return text;
}

// Accepts the licence and the default destination, leaving setup on its
// way to the copy page; false (checked) when a page does not appear.
bool PassLicenceAndDestination(SetupRun *run)
{
  if (!AcceptAgreement(run))
    return false;
  HWND destination = WaitForPage(run, IDC_DEST_EDIT);
  if (!Check(destination != nullptr, "destination page appears"))
    return false;
  Click(destination, IDOK);
  return true;
}

// Walks with the default choices; a Yes/No question on the way (the
// destination exists already) is answered Yes. Returns the first other box.
HWND WalkToFirstBox(SetupRun *run, MessageBoxInfo *info)
{
  std::string pages;
  HWND box = nullptr;
  *info = WalkDefaults(run, false, &pages, &box);
  while (box != nullptr && (info->buttons & 0xF) == MB_YESNO) {
    Log("answering Yes to: %s", info->text.c_str());
    AnswerMessageBox(box, IDYES);
    *info = WalkDefaults(run, false, &pages, &box);
  }
  Log("pages seen: %s", pages.c_str());
  return box;
}

typedef void (*FirstBoxSteps)(SetupRun *run, HWND box, const MessageBoxInfo &info);

// A scenario that walks with the default choices to the first box that is
// no Yes/No question, which Steps expect and answer to the end of setup.
template <FirstBoxSteps Steps> void ToFirstBox()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&run, &info);
  Steps(&run, box, info);
  EndRun(&run);
}

// After the gzip step's own message (no owner, default caption, OK only,
// no icon): "Can't decompress setup files", then the cancel message.
void ExpectGzipStepFailed(SetupRun *run, HWND box, const MessageBoxInfo &info)
{
  CheckText(info.caption, "Error", "the gzip message's default caption");
  Check(info.buttons == MB_OK && info.icon == 0,
        "the gzip message has just OK and no icon (buttons 0x%x, icon 0x%x)", info.buttons,
        info.icon);
  if (box)
    AnswerMessageBox(box, IDOK);
  box = WaitForMessageBox(run);
  CheckMessageBox(box, nullptr, DecompressFailedText, MB_OK | MB_ICONERROR);
  if (box)
    AnswerMessageBox(box, IDOK);
  ExpectCancelEnd(run, WaitForMessageBox(run));
}

void Installed(SetupRun *run, HWND box, const MessageBoxInfo &)
{
  ExpectSuccessEnd(run, box);
}

// Cancel pressed the moment the copy page shows: the click waits in the
// queue until the pump after the first file, so exactly one file lands.
void CancelAtOnce()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  if (!PassLicenceAndDestination(&run))
    return EndRun(&run);
  HWND copy = nullptr;
  DWORD start = GetTickCount();
  while (copy == nullptr && GetTickCount() - start < 15000 && !HasExited(&run)) {
    for (HWND window : ProcessWindows(&run))
      if (GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr)
        copy = window;
    if (copy == nullptr)
      Sleep(1);
  }
  if (!Check(copy != nullptr, "copy page appears"))
    return EndRun(&run);
  Click(copy, IDCANCEL);
  Log("Cancel clicked %lu ms after Next", GetTickCount() - start);
  CheckText(ControlText(copy, IDCANCEL), "Cancel", "the copy page's button");
  HWND box = WaitForMessageBox(&run);
  ExpectCancelEnd(&run, box);
  EndRun(&run);
}

// A payload that fails zlib's checks: zlib's message (no owner, default
// caption, OK only), then "Can't decompress setup files", then the cancel.
void GzipFailure(SetupRun *run, HWND box, const MessageBoxInfo &info, const char *zlibMessage)
{
  Check(box != nullptr && info.text.rfind("Setup: C:\\", 0) == 0 &&
            info.text.find("\\filesdata.gz: ") != std::string::npos &&
            info.text.find(zlibMessage) != std::string::npos,
        "the gzip step names the file and zlib's fault (got \"%s\")", info.text.c_str());
  ExpectGzipStepFailed(run, box, info);
}

void CorruptStream(SetupRun *run, HWND box, const MessageBoxInfo &info)
{
  GzipFailure(run, box, info, "invalid block type");
}

void CrcMismatch(SetupRun *run, HWND box, const MessageBoxInfo &info)
{
  GzipFailure(run, box, info, "incorrect data check");
}

// An entry that fails stops the copy without a message of its own.
void EntryFailure(SetupRun *run, HWND box, const MessageBoxInfo &)
{
  ExpectCancelEnd(run, box);
}

// A box of setup's own naming path in format (an error, OK only), answered;
// then the cancel message.
void ExpectRefusal(SetupRun *run, HWND box, const char *format, const std::string &path)
{
  char text[1024];
  wsprintfA(text, format, path.c_str());
  CheckMessageBox(box, SetupCaption, text, MB_OK | MB_ICONERROR);
  if (box)
    AnswerMessageBox(box, IDOK);
  ExpectCancelEnd(run, WaitForMessageBox(run));
}

// The last entry's path is one character over the limit below the default
// destination: a box names the folder, then the cancel message; nothing is
// written (payload.sh).
void LongName(SetupRun *run, HWND box, const MessageBoxInfo &)
{
  ExpectRefusal(run, box, NoRoomForFilesFormat, InstallFolder);
}

// An earlier installation whose Maps is a link to a folder elsewhere
// (payload.sh): setup names the link in a box of its own before writing
// anything, then ends with the cancel message.
void LinkInDestination(SetupRun *run, HWND box, const MessageBoxInfo &)
{
  SaveScreenshot("link-box");
  ExpectRefusal(run, box, LinkInsideFormat, std::string(InstallFolder) + "\\Maps");
}

// The files below folder (relative names with "\"), recursively.
void ListFiles(const std::string &folder, const std::string &prefix,
               std::vector<std::string> *names)
{
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..")
      continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      ListFiles(folder + "\\" + name, prefix + name + "\\", names);
    else
      names->push_back(prefix + name);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

std::string FileBytes(const std::string &path)
{
  std::string bytes;
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return "<unreadable>";
  char block[65536];
  DWORD read = 0;
  while (ReadFile(file, block, sizeof(block), &read, nullptr) && read > 0)
    bytes.append(block, read);
  CloseHandle(file);
  return bytes;
}

// Setup's work folders (zv and 16 hex digits) in the Windows folder's Temp,
// where an elevated setup makes them (under Wine every process is elevated).
std::vector<std::string> WorkFolders()
{
  char temp[MAX_PATH] = "";
  GetSystemWindowsDirectoryA(temp, MAX_PATH - 6);
  lstrcatA(temp, "\\Temp\\");
  std::vector<std::string> folders;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((std::string(temp) + "zv*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return folders;
  do {
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
      folders.push_back(std::string(temp) + found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return folders;
}

// While setup runs, its work folder: SYSTEM and Administrators (Wine shows
// the user for them) with full control, inherited by what is made inside,
// nothing inherited from the temporary directory; and it cannot be renamed.
void CheckHeldWorkFolder()
{
  std::vector<std::string> folders = WorkFolders();
  if (!Check(folders.size() == 1, "one work folder in the temporary directory (%zu)",
             folders.size()))
    return;
  const std::string &folder = folders[0];
  Check(folder.size() == folder.rfind('\\') + 1 + 2 + 16, "its name is zv and 16 hex digits: %s",
        folder.c_str());
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ACL *acl = nullptr;
  DWORD result = GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                       nullptr, nullptr, &acl, nullptr, &descriptor);
  if (Check(result == ERROR_SUCCESS && acl != nullptr, "its descriptor reads back (%lu)", result)) {
    DWORD system[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
    DWORD size = sizeof(system);
    CreateWellKnownSid(WinLocalSystemSid, nullptr, system, &size);
    Check(acl->AceCount == 2, "two entries, none inherited (%u)", acl->AceCount);
    bool systemSeen = false;
    for (WORD index = 0; index < acl->AceCount; ++index) {
      ACCESS_ALLOWED_ACE *ace = nullptr;
      GetAce(acl, index, reinterpret_cast<void **>(&ace));
      Check(ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ace->Mask == FILE_ALL_ACCESS &&
                ace->Header.AceFlags == (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE),
            "entry %u: full control, inherited inside (mask 0x%lx, flags 0x%x)", index, ace->Mask,
            ace->Header.AceFlags);
      systemSeen = systemSeen || EqualSid(&ace->SidStart, system);
    }
    Check(systemSeen, "SYSTEM has an entry");
  }
  if (descriptor)
    LocalFree(descriptor);
  BOOL moved = MoveFileA(folder.c_str(), (folder + "-moved").c_str());
  DWORD error = GetLastError();
  Check(!moved && error == ERROR_SHARING_VIOLATION,
        "the work folder cannot be renamed while setup holds it (error %lu)", error);
}

// The earlier installation's game, started from its folder.
PROCESS_INFORMATION StartGame()
{
  PROCESS_INFORMATION game = {};
  std::string exe = std::string(InstallFolder) + "\\Zorvane.exe";
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  char commandLine[MAX_PATH + 2];
  wsprintfA(commandLine, "\"%s\"", exe.c_str());
  Check(CreateProcessA(exe.c_str(), commandLine, nullptr, nullptr, FALSE, 0, nullptr, InstallFolder,
                       &startup, &game) != FALSE,
        "the earlier Zorvane.exe starts");
  WaitForInputIdle(game.hProcess, 10000);
  return game;
}

void EndGame(PROCESS_INFORMATION *game)
{
  if (HWND window = FindWindowA("ZorvaneMain", nullptr))
    PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(game->hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(game->hProcess, 1);
  CloseHandle(game->hProcess);
  CloseHandle(game->hThread);
}

// An earlier installation (payload.sh: each file holds "earlier " and its
// name, Zorvane.exe is the real one) whose Zorvane.exe runs. Setup names it
// before writing anything: Cancel leaves every earlier file as it was;
// Retry, once the game has ended, installs.
void FileInUse()
{
  std::vector<std::string> earlier;
  ListFiles(InstallFolder, "", &earlier);
  std::string earlierGame = FileBytes(std::string(InstallFolder) + "\\Zorvane.exe");
  PROCESS_INFORMATION game = StartGame();

  SetupRun run;
  if (!StartSetup(&run))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&run, &info);
  CheckMessageBox(box, SetupCaption, InUseText().c_str(), MB_RETRYCANCEL | MB_ICONEXCLAMATION);
  Check(box != nullptr && GetWindow(box, GW_OWNER) != nullptr &&
            GetDlgItem(GetWindow(box, GW_OWNER), IDC_PROGRESS_BAR) != nullptr,
        "the box is owned by the copy page");
  SaveScreenshot("in-use-box");
  CheckHeldWorkFolder();
  if (box)
    AnswerMessageBox(box, IDCANCEL);
  ExpectCancelEnd(&run, WaitForMessageBox(&run));
  EndRun(&run);

  std::vector<std::string> after;
  ListFiles(InstallFolder, "", &after);
  Check(after == earlier, "the same %zu files as before, no part file (%zu now)", earlier.size(),
        after.size());
  int unchanged = 0;
  for (const std::string &name : after) {
    std::string bytes = FileBytes(std::string(InstallFolder) + "\\" + name);
    if (name == "Zorvane.exe" ? bytes == earlierGame : bytes == "earlier " + name)
      ++unchanged;
    else
      Check(false, "%s was changed", name.c_str());
  }
  Check(unchanged == static_cast<int>(earlier.size()),
        "%d earlier files byte for byte as they were", unchanged);
  Check(WorkFolders().empty(), "no work folder left after Cancel");

  // Again, and Retry after the game has ended.
  SetupRun again;
  if (!StartSetup(&again))
    return EndGame(&game);
  box = WalkToFirstBox(&again, &info);
  CheckMessageBox(box, SetupCaption, InUseText().c_str(), MB_RETRYCANCEL | MB_ICONEXCLAMATION);
  EndGame(&game);
  if (box)
    AnswerMessageBox(box, IDRETRY);
  box = WalkToFirstBox(&again, &info);
  ExpectSuccessEnd(&again, box);
  EndRun(&again);
}

// Walks to the copy page until the part file of the 200 MB Textures.pak
// appears; by then every entry before it is written. Over an earlier
// installation the destination exists: Yes. The copy page, or null
// (checked).
HWND WriteUntilTexturesPart(SetupRun *run, bool overEarlier)
{
  if (!PassLicenceAndDestination(run))
    return nullptr;
  HWND question = overEarlier ? WaitForMessageBox(run) : nullptr;
  if (question != nullptr && (ReadMessageBox(question).buttons & 0xF) == MB_YESNO)
    AnswerMessageBox(question, IDYES);
  std::string pattern = std::string(InstallFolder) + "\\Textures.pak.*.zvpart";
  WIN32_FIND_DATAA found;
  HANDLE search = INVALID_HANDLE_VALUE;
  DWORD start = GetTickCount();
  while (search == INVALID_HANDLE_VALUE && GetTickCount() - start < 60000 && !HasExited(run)) {
    search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
      Sleep(1);
  }
  if (!Check(search != INVALID_HANDLE_VALUE, "the part file of Textures.pak appears"))
    return nullptr;
  FindClose(search);
  Log("part file %s seen %lu ms after Next", found.cFileName, GetTickCount() - start);
  for (HWND window : ProcessWindows(run))
    if (GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr)
      return window;
  Check(false, "the copy page is open");
  return nullptr;
}

// Setup killed from outside there; false when it never got there.
bool KillWhileWriting(bool overEarlier)
{
  SetupRun run;
  if (!StartSetup(&run))
    return false;
  bool reached = WriteUntilTexturesPart(&run, overEarlier) != nullptr;
  if (reached) {
    TerminateProcess(run.process.hProcess, 9);
    WaitForSingleObject(run.process.hProcess, 10000);
  }
  EndRun(&run);
  return reached;
}

// Setup killed from outside while it writes a 200 MB entry: its part file
// goes with the process, the temporary files too, and the next run
// installs (payload.sh checks the files, after the second run, which
// touches nothing the first left).
void KilledWhileWriting()
{
  if (!KillWhileWriting(false))
    return;
  Check(GetFileAttributesA((std::string(InstallFolder) + "\\Textures.pak").c_str()) ==
            INVALID_FILE_ATTRIBUTES,
        "killed before Textures.pak was complete");
  ToFirstBox<Installed>();
}

// Cancel pressed while Textures.pak is written over an earlier installation
// (payload.sh): taken after that entry, it puts the earlier installation
// back before the wizard's cancel message, which ends setup as ever. Run
// after a killed setup (KilledOverEarlier), so the same check covers both.
void CancelWhileWriting()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  if (HWND copy = WriteUntilTexturesPart(&run, true)) {
    Click(copy, IDCANCEL);
    ExpectCancelEnd(&run, WaitForMessageBox(&run, 120000));
  }
  EndRun(&run);
}

// Killed over an earlier installation: what it kept aside stays in its
// kept folder, whose name (earlier.*.zvkeep) comes back; empty when it is
// missing (checked).
std::string KillOverEarlier()
{
  bool reached = KillWhileWriting(true);
  WIN32_FIND_DATAA found;
  HANDLE kept = FindFirstFileA((std::string(InstallFolder) + "\\earlier.*.zvkeep").c_str(), &found);
  if (!Check(reached && kept != INVALID_HANDLE_VALUE, "the killed setup left its kept folder"))
    return "";
  FindClose(kept);
  return found.cFileName;
}

// The next setup puts the kept files back before anything else, and its
// own Cancel then leaves the earlier installation (payload.sh compares the
// folder).
void KilledOverEarlier()
{
  if (!KillOverEarlier().empty())
    CancelWhileWriting();
}

// Killed over an earlier installation, then a folder takes the name of the
// first entry, Fonts.dat, whose earlier file the killed setup had kept.
// The next setup names that kept file in a box before it writes (and again
// when its copy fails at that entry and rolls back), then ends with the
// cancel message; payload.sh finds the kept file where the box said.
void KeptFileNotPutBack()
{
  std::string kept = KillOverEarlier();
  if (kept.empty())
    return;
  std::string fonts = std::string(InstallFolder) + "\\Fonts.dat";
  Check(DeleteFileA(fonts.c_str()) && CreateDirectoryA(fonts.c_str(), nullptr),
        "a folder now stands at Fonts.dat");
  const std::string keptFile = std::string(InstallFolder) + "\\" + kept + "\\Fonts.dat";
  char text[1024];
  wsprintfA(text, NotPutBackFormat, keptFile.c_str());

  SetupRun again;
  if (!StartSetup(&again))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&again, &info);
  CheckMessageBox(box, SetupCaption, text, MB_OK | MB_ICONERROR);  // before the copy
  if (box)
    AnswerMessageBox(box, IDOK);
  ExpectRefusal(&again, WaitForMessageBox(&again), NotPutBackFormat, keptFile);  // after it
  EndRun(&again);
}

// The temporary directory has room for filesdata.gz but not for the
// archive: the gzip step's write fails.
void FullTempDisk(SetupRun *run, HWND box, const MessageBoxInfo &info)
{
  Check(box != nullptr && (info.text.rfind("Setup: failed fwrite", 0) == 0 ||
                           info.text.rfind("Setup: failed fclose", 0) == 0),
        "the gzip step reports the failed write (got \"%s\")", info.text.c_str());
  ExpectGzipStepFailed(run, box, info);
}

// The temporary directory cannot hold filesdata.gz: writing the payload
// out fails before the gzip step, so the one problem shown is "Can't
// decompress setup files", then the cancel message.
void NoRoomForGzip(SetupRun *run, HWND box, const MessageBoxInfo &)
{
  CheckMessageBox(box, nullptr, DecompressFailedText, MB_OK | MB_ICONERROR);
  if (box)
    AnswerMessageBox(box, IDOK);
  ExpectCancelEnd(run, WaitForMessageBox(run));
}

}  // namespace

const Scenario Scenarios[] = {
    {"default_install", ToFirstBox<Installed>},
    {"cancel_at_once", CancelAtOnce},
    {"corrupt_stream", ToFirstBox<CorruptStream>},
    {"crc_mismatch", ToFirstBox<CrcMismatch>},
    {"truncated_archive", ToFirstBox<EntryFailure>},
    {"truncated_large_entry", ToFirstBox<EntryFailure>},
    {"traversal_name", ToFirstBox<EntryFailure>},
    {"size_zero_entry", ToFirstBox<Installed>},
    {"readonly_destination", ToFirstBox<EntryFailure>},
    {"full_temp_disk", ToFirstBox<FullTempDisk>},
    {"no_room_for_gzip", ToFirstBox<NoRoomForGzip>},
    {"full_destination_disk", ToFirstBox<EntryFailure>},
    {"planted_temp_links", ToFirstBox<Installed>},
    {"full_disk_over_earlier", ToFirstBox<EntryFailure>},
    {"long_name", ToFirstBox<LongName>},
    {"file_in_use", FileInUse},
    {"killed_while_writing", KilledWhileWriting},
    {"sweep_earlier_parts", ToFirstBox<Installed>},
    {"link_in_destination", ToFirstBox<LinkInDestination>},
    {"killed_over_earlier", KilledOverEarlier},
    {"kept_file_not_put_back", KeptFileNotPutBack},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
