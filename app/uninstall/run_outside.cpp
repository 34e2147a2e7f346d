#include "app/uninstall/run_outside.h"

// QueryFullProcessImageNameA came with Windows Vista, the oldest system the
// programs' manifests declare.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include <windows.h>
#include <tlhelp32.h>

#include <cstring>

#include "app/uninstall/removal_report.h"
#include "payload/temp_dir.h"
#include "shell/dir_ops.h"
#include "shell/path_text.h"
#include "shell/product.h"

// Folders of the copies: "ZvUninstall.PID.N" in the temporary directory.
static const char CopyFolderPrefix[] = "ZvUninstall.";
static const int CopyFolderTries = 100;
static const DWORD FirstProcessWaitMs = 30000;

static bool OwnPath(char *path, DWORD size)
{
  DWORD length = GetModuleFileNameA(nullptr, path, size);
  return length > 0 && length < size;
}

static bool TempDirectory(char *dir, DWORD size)
{
  DWORD length = GetTempPathA(size, dir);
  return SettleTempDir(dir, size, length, "") == TempDirFromSystem && dir[0] != '\0';
}

// The volume and index of the file at path; false when it cannot be opened.
static bool FileIdentity(const char *path, BY_HANDLE_FILE_INFORMATION *info)
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
static bool IsInstalledUninstaller(const char *path, const char *programDir)
{
  char installed[ShortPathSize];
  if (!JoinPath(installed, sizeof installed, programDir, UninstallerFileName))
    return false;
  BY_HANDLE_FILE_INFORMATION a;
  BY_HANDLE_FILE_INFORMATION b;
  if (FileIdentity(path, &a) && FileIdentity(installed, &b))
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber &&
           a.nFileIndexHigh == b.nFileIndexHigh && a.nFileIndexLow == b.nFileIndexLow;
  return SamePath(path, installed);
}

bool RunsFromProgramDir(const char *programDir)
{
  char self[ShortPathSize];
  return OwnPath(self, sizeof self) && IsInstalledUninstaller(self, programDir);
}

// The id of the process that started this one; 0 when unknown.
static DWORD ParentProcessId()
{
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE)
    return 0;
  DWORD self = GetCurrentProcessId();
  DWORD parent = 0;
  PROCESSENTRY32 entry;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more && parent == 0;
       more = Process32Next(snapshot, &entry)) {
    if (entry.th32ProcessID == self)
      parent = entry.th32ParentProcessID;
  }
  CloseHandle(snapshot);
  return parent;
}

bool IsHandOffFromParent(const UninstallOptions &options, const char *programDir)
{
  if (!options.isCopy || options.firstProcess == 0 || ParentProcessId() != options.firstProcess)
    return false;
  HANDLE parent = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, options.firstProcess);
  if (parent == nullptr)
    return false;
  char image[ShortPathSize];
  DWORD size = sizeof image;
  bool named = QueryFullProcessImageNameA(parent, 0, image, &size) != FALSE;
  CloseHandle(parent);
  return named && IsInstalledUninstaller(image, programDir);
}

// Makes a new folder of the uninstaller's own in the temporary directory.
static bool MakeCopyFolder(char *folder, size_t size)
{
  char temp[ShortPathSize];
  if (!TempDirectory(temp, sizeof temp))
    return false;
  for (int i = 0; i < CopyFolderTries; ++i) {
    char name[64];
    wsprintfA(name, "%s%lu.%d", CopyFolderPrefix, GetCurrentProcessId(), i);
    if (!JoinPath(folder, size, temp, name))
      return false;
    if (CreateDir(folder))
      return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS)
      return false;
  }
  return false;
}

// Starts copy in folder with the inherited write end of the result pipe.
static bool StartCopy(const char *copy, const char *folder, const char *arguments, HANDLE pipe,
                      PROCESS_INFORMATION *process)
{
  char commandLine[2 * PathBufferSize];
  if (!FormatCopyCommandLine(commandLine, sizeof commandLine, copy, arguments,
                             GetCurrentProcessId(),
                             static_cast<uint64_t>(reinterpret_cast<ULONG_PTR>(pipe))))
    return false;
  STARTUPINFOA startup;
  std::memset(&startup, 0, sizeof startup);
  startup.cb = sizeof startup;
  // The copy's current folder is its own, so that no folder it removes is
  // held as current.
  return CreateProcessA(copy, commandLine, nullptr, nullptr, TRUE, 0, nullptr, folder, &startup,
                        process) != FALSE;
}

// The copy's result: the code it hands back, or, when it ended without
// handing one back, its exit code.
static int AwaitResult(HANDLE readEnd, HANDLE copyProcess)
{
  int code = 0;
  DWORD read = 0;
  if (ReadFile(readEnd, &code, sizeof code, &read, nullptr) && read == sizeof code)
    return code;
  DWORD exitCode = ExitIncomplete;
  WaitForSingleObject(copyProcess, INFINITE);
  GetExitCodeProcess(copyProcess, &exitCode);
  return static_cast<int>(exitCode);
}

bool RunCopyOutside(const char *arguments, int *exitCode)
{
  char self[ShortPathSize];
  char folder[ShortPathSize];
  char copy[ShortPathSize] = "";
  if (!OwnPath(self, sizeof self) || !MakeCopyFolder(folder, sizeof folder))
    return false;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  PROCESS_INFORMATION process = {};
  bool started = JoinPath(copy, sizeof copy, folder, UninstallerFileName) &&
                 CopyFileA(self, copy, TRUE) && CreatePipe(&readEnd, &writeEnd, &inherited, 0) &&
                 SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0) &&
                 StartCopy(copy, folder, arguments, writeEnd, &process);
  // Only the copy holds the write end now, so its end closes the pipe.
  if (writeEnd != nullptr)
    CloseHandle(writeEnd);
  if (!started) {
    if (readEnd != nullptr)
      CloseHandle(readEnd);
    DeleteFileA(copy);
    RemoveDirectoryA(folder);
    return false;
  }
  *exitCode = AwaitResult(readEnd, process.hProcess);
  CloseHandle(readEnd);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

void HandResultBack(const UninstallOptions &options, int exitCode)
{
  // The first process waits on the pipe, so its id still names it here.
  HANDLE first = OpenProcess(SYNCHRONIZE, FALSE, options.firstProcess);
  HANDLE pipe = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(options.resultPipe));
  if (GetFileType(pipe) == FILE_TYPE_PIPE) {
    DWORD written = 0;
    WriteFile(pipe, &exitCode, sizeof exitCode, &written, nullptr);
    CloseHandle(pipe);
  }
  if (first != nullptr) {
    WaitForSingleObject(first, FirstProcessWaitMs);
    CloseHandle(first);
  }
}

void ScheduleOwnRemoval()
{
  char self[ShortPathSize];
  char temp[ShortPathSize];
  if (!OwnPath(self, sizeof self) || !TempDirectory(temp, sizeof temp))
    return;
  char *name = std::strrchr(self, '\\');
  if (name == nullptr)
    return;
  *name = '\0';
  char *folderName = std::strrchr(self, '\\');
  bool ownFolder = folderName != nullptr &&
                   std::strncmp(folderName + 1, CopyFolderPrefix, sizeof CopyFolderPrefix - 1) == 0;
  if (ownFolder) {
    *folderName = '\0';
    ownFolder = SamePath(self, temp);
    *folderName = '\\';
  }
  if (!ownFolder)
    return;
  *name = '\\';
  MoveFileExA(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  *name = '\0';
  MoveFileExA(self, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}
