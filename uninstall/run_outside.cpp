#include "uninstall/run_outside.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

#include "uninstall/removal_report.h"
#include "common/held_file.h"
#include "common/install_facts.h"
#include "common/temp_dir.h"
#include "common/path_text.h"
#include "common/private_dir.h"
#include "common/product.h"

namespace {

// Folders of the copies: "ZvUninstall." and 16 hex digits of random bits.
const char CopyFolderPrefix[] = "ZvUninstall.";
const DWORD FirstProcessWaitMs = 30000;

bool OwnPath(char *path, DWORD size)
{
  DWORD length = GetModuleFileNameA(nullptr, path, size);
  return length > 0 && length < size;
}

bool TempDirectory(char *dir, DWORD size)
{
  DWORD length = GetTempPathA(size, dir);
  return SettleTempDir(dir, size, length, "") == TempDirFromSystem && dir[0] != '\0';
}

// The volume and index of the file at path; false when it cannot be opened.
bool FileIdentity(const char *path, BY_HANDLE_FILE_INFORMATION *info)
{
  HANDLE file = CreateFileA(path, FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  bool known = GetFileInformationByHandle(file, info) != FALSE;
  CloseHandle(file);
  return known;
}

// True when the program at path is uninstall.exe in programDir: the same
// file, however the path is spelt (case, short names).
bool IsInstalledUninstaller(const char *path, const char *programDir)
{
  char installed[ShortPathSize];
  if (!JoinPath(installed, sizeof(installed), programDir, UninstallerFileName))
    return false;
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  if (FileIdentity(path, &a) && FileIdentity(installed, &b))
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  return SamePath(path, installed);
}

}  // namespace

bool RunsFromProgramDir(const char *programDir)
{
  char self[ShortPathSize];
  return OwnPath(self, sizeof(self)) && IsInstalledUninstaller(self, programDir);
}

namespace {

// The id of the process that started this one; 0 when unknown.
DWORD ParentProcessId()
{
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return 0;
  DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32First(snapshot, &entry); more && parent == 0;
       more = Process32Next(snapshot, &entry))
    if (entry.th32ProcessID == self)
      parent = entry.th32ParentProcessID;
  CloseHandle(snapshot);
  return parent;
}

}  // namespace

bool IsHandOffFromParent(const UninstallOptions &options, const char *programDir)
{
  if (!options.isCopy || options.firstProcess == 0 || ParentProcessId() != options.firstProcess)
    return false;
  HANDLE parent = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, options.firstProcess);
  if (parent == nullptr)
    return false;
  char image[ShortPathSize];
  DWORD size = sizeof(image);
  bool named = QueryFullProcessImageNameA(parent, 0, image, &size) != FALSE;
  CloseHandle(parent);
  return named && IsInstalledUninstaller(image, programDir);
}

namespace {

// Makes the copy's private folder: for an elevated run in the Windows
// folder's Temp, where no standard user may rename or delete what another
// made; otherwise in the user's temporary directory. *held keeps it from
// being renamed or replaced while it is in use.
bool MakeCopyFolder(char *folder, size_t size, HANDLE *held)
{
  char parent[ShortPathSize];
  if (ProcessIsElevated()) {
    char windows[ShortPathSize];
    UINT length = GetSystemWindowsDirectoryA(windows, sizeof(windows));
    if (length == 0 || length >= sizeof(windows) ||
        !JoinPath(parent, sizeof(parent), windows, "Temp"))
      return false;
  } else if (!TempDirectory(parent, sizeof(parent))) {
    return false;
  }
  return MakePrivateDir(parent, CopyFolderPrefix, folder, size, held);
}

// Deletes the copy through a handle opened below the held folder, when it
// was written but could not be started: the folder then goes as well,
// instead of a stray uninstall.exe staying in the Windows folder's Temp.
void DeleteUnstartedCopy(HANDLE held)
{
  DeletePlainBelow(held, UninstallerFileName,
                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, false);
}

// Writes this program's bytes into a new file copy (CREATE_NEW: nothing
// that stands at the name is opened) through one handle.
bool WriteCopy(const char *self, const char *copy)
{
  // Without delete sharing: nobody renames or replaces it while it is read.
  HANDLE source =
      CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (source == INVALID_HANDLE_VALUE)
    return false;
  HANDLE target = CreateFileA(copy, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  bool written = target != INVALID_HANDLE_VALUE;
  static char block[64 * 1024];
  for (DWORD read = 1; written && read > 0;) {
    DWORD put = 0;
    written = ReadFile(source, block, sizeof(block), &read, nullptr) &&
              (read == 0 || (WriteFile(target, block, read, &put, nullptr) && put == read));
  }
  if (target != INVALID_HANDLE_VALUE)
    written = CloseHandle(target) && written;
  CloseHandle(source);
  return written;
}

// Opens the copy for reading, sharing nothing but reading, and checks that
// it is the plain file just written, with no other name: while this handle
// is held nobody can change or replace it, so what starts is what was
// checked.
HANDLE HoldCopy(const char *self, const char *copy)
{
  HANDLE file = CreateFileA(copy, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  BY_HANDLE_FILE_INFORMATION copied;
  BY_HANDLE_FILE_INFORMATION original;
  bool plain =
      GetFileInformationByHandle(file, &copied) && FileIdentity(self, &original) &&
      (copied.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0 &&
      copied.nNumberOfLinks == 1 && copied.nFileSizeHigh == original.nFileSizeHigh &&
      copied.nFileSizeLow == original.nFileSizeLow;
  if (!plain) {
    CloseHandle(file);
    return nullptr;
  }
  return file;
}

// Starts copy in folder with the inherited write end of the result pipe.
bool StartCopy(const char *copy, const char *folder, const char *arguments, HANDLE pipe,
               PROCESS_INFORMATION *process)
{
  char commandLine[2 * PathBufferSize];
  if (!FormatCopyCommandLine(commandLine, sizeof(commandLine), copy, arguments,
                             GetCurrentProcessId(),
                             static_cast<uint64_t>(reinterpret_cast<ULONG_PTR>(pipe))))
    return false;
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  // The copy's current folder is its own, so that no folder it removes is
  // held as current.
  return CreateProcessA(copy, commandLine, nullptr, nullptr, TRUE, 0, nullptr, folder, &startup,
                        process) != FALSE;
}

// The copy's result: the code it hands back, or, when it ended without
// handing one back, its exit code.
int AwaitResult(HANDLE readEnd, HANDLE copyProcess)
{
  int code = 0;
  DWORD read = 0;
  if (ReadFile(readEnd, &code, sizeof(code), &read, nullptr) && read == sizeof(code))
    return code;
  DWORD exitCode = ExitIncomplete;
  WaitForSingleObject(copyProcess, INFINITE);
  GetExitCodeProcess(copyProcess, &exitCode);
  return static_cast<int>(exitCode);
}

}  // namespace

bool RunCopyOutside(const char *arguments, int *exitCode)
{
  char self[ShortPathSize];
  char folder[ShortPathSize];
  char copy[ShortPathSize] = "";
  HANDLE held = INVALID_HANDLE_VALUE;
  if (!OwnPath(self, sizeof(self)) || !MakeCopyFolder(folder, sizeof(folder), &held))
    return false;
  SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  HANDLE copyFile = nullptr;
  PROCESS_INFORMATION process = {};
  bool started = JoinPath(copy, sizeof(copy), folder, UninstallerFileName) &&
                 WriteCopy(self, copy) && (copyFile = HoldCopy(self, copy)) != nullptr &&
                 CreatePipe(&readEnd, &writeEnd, &inherited, 0) &&
                 SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0) &&
                 StartCopy(copy, folder, arguments, writeEnd, &process);
  if (copyFile != nullptr)
    CloseHandle(copyFile);
  // Only the copy holds the write end now, so its end closes the pipe.
  if (writeEnd != nullptr)
    CloseHandle(writeEnd);
  if (!started) {
    if (readEnd != nullptr)
      CloseHandle(readEnd);
    DeleteUnstartedCopy(held);
    ClosePrivateDir(held, folder);
    return false;
  }
  // The copy cannot delete its own file while it runs: this process made
  // the file and the folder, and only these are removed when Windows
  // restarts. No standard user can rename or replace anything in the folder
  // or, for an elevated run, the folder itself in the Windows folder's Temp.
  MoveFileExA(copy, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  *exitCode = AwaitResult(readEnd, process.hProcess);
  CloseHandle(readEnd);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  CloseHandle(held);
  return true;
}

void HandResultBack(const UninstallOptions &options, int exitCode)
{
  // The first process waits on the pipe, so its id still names it here.
  HANDLE first = OpenProcess(SYNCHRONIZE, FALSE, options.firstProcess);
  HANDLE pipe = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(options.resultPipe));
  if (GetFileType(pipe) == FILE_TYPE_PIPE) {
    DWORD written = 0;
    WriteFile(pipe, &exitCode, sizeof(exitCode), &written, nullptr);
    CloseHandle(pipe);
  }
  if (first != nullptr) {
    WaitForSingleObject(first, FirstProcessWaitMs);
    CloseHandle(first);
  }
}
