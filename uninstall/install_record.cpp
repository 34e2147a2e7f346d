#include "uninstall/install_record.h"

#include <windows.h>

#include <cstring>

#include "uninstall/removal_plan.h"
#include "common/install_facts.h"
#include "common/shell_folder.h"
#include "common/path_text.h"

namespace {

// Reads a string value into out (size bytes, terminated). False when it is
// missing; *tooLong when it is there but does not fit.
bool ReadText(HKEY key, const char *name, char *out, DWORD size, bool *tooLong)
{
  DWORD type = 0;
  DWORD length = size - 1;
  out[0] = '\0';
  *tooLong = false;
  LONG status = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(out), &length);
  if (status == ERROR_MORE_DATA) {
    out[0] = '\0';
    *tooLong = true;
    return true;
  }
  if (status != ERROR_SUCCESS)
    return false;
  // Data that is not text names no folder; stored text need not end in NUL.
  if (type != REG_SZ && type != REG_EXPAND_SZ)
    length = 0;
  out[length < size ? length : size - 1] = '\0';
  return true;
}

}  // namespace

void ReadInstallRecord(InstallRecord *record)
{
  std::memset(record, 0, sizeof(*record));
  char keyPath[PathBufferSize];
  HKEY key;
  if (!JoinPath(keyPath, sizeof(keyPath), UninstallKey, ProductTitle) ||
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return;
  record->found = ReadText(key, ProgramDirValue, record->programDir, sizeof(record->programDir),
                           &record->programDirTooLong);
  bool groupTooLong = false;
  if (!ReadText(key, GroupDirValue, record->groupDir, sizeof(record->groupDir), &groupTooLong))
    record->groupDir[0] = '\0';
  RegCloseKey(key);

  if (!GetShellFolder(record->desktopDir, sizeof(record->desktopDir), CommonDesktopValue))
    record->desktopDir[0] = '\0';
  // The system's own Windows folder: on a Remote Desktop session host
  // GetWindowsDirectoryA gives the user's private copy of it instead.
  UINT length = GetSystemWindowsDirectoryA(record->windowsDir, sizeof(record->windowsDir));
  if (length == 0 || length >= sizeof(record->windowsDir))
    record->windowsDir[0] = '\0';
}

namespace {

// True when key holds no subkey and no value but those setup writes under
// keyPath. Anything that cannot be read counts as foreign: a key is never
// deleted on a guess.
bool HoldsOnlySetupsOwn(HKEY key, const char *keyPath)
{
  DWORD subkeys = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
      subkeys != 0)
    return false;
  for (DWORD index = 0;; ++index) {
    // Longer than any name setup writes: a name that does not fit is not
    // setup's.
    char name[64];
    DWORD length = sizeof(name);
    LONG status = RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS)
      return true;
    if (status != ERROR_SUCCESS || !SetupWroteValue(keyPath, name))
      return false;
  }
}

}  // namespace

StepResult RemoveMachineKey(const char *keyPath)
{
  // A subkey or a value setup did not write keeps the key whole: it is
  // somebody's, and the removal is not complete while it is there.
  HKEY key;
  LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key);
  if (status == ERROR_FILE_NOT_FOUND)
    return ResultGone;
  if (status != ERROR_SUCCESS)
    return ResultFailed;
  bool onlyOwn = HoldsOnlySetupsOwn(key, keyPath);
  RegCloseKey(key);
  if (!onlyOwn)
    return ResultFailed;
  status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, keyPath);
  if (status == ERROR_SUCCESS)
    return ResultDone;
  return status == ERROR_FILE_NOT_FOUND ? ResultGone : ResultFailed;
}
