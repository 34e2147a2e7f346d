#include "common/never_install.h"

#include <windows.h>

#include <cstring>

namespace {

struct FolderValueRow {
  HKEY root;
  const char *subKey;
  const char *value;
  ReservedReach reach;
};

constexpr char CurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char ProfileListKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr char UserShellFoldersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// Where Windows names the folders, read from the registry rather than
// through the shell's folder functions, which write what they find back
// into the Shell Folders keys that setup and the uninstaller read. The
// program folders (a 32-bit program's view alone is named elsewhere: the
// 64-bit Program files only here) and ProgramData are reserved at and above
// their roots, since setup installs inside Program files; the profiles,
// Public and the shell folders with all inside them. The values may hold
// %SystemDrive%, %PUBLIC%, %ProgramData% or %USERPROFILE%.
const FolderValueRow FolderValues[] = {
    {HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramFilesDir (x86)", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, CurrentVersionKey, "ProgramW6432Dir", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, CurrentVersionKey, "CommonFilesDir", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, CurrentVersionKey, "CommonFilesDir (x86)", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, CurrentVersionKey, "CommonW6432Dir", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, ProfileListKey, "ProfilesDirectory", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, ProfileListKey, "Public", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, ProfileListKey, "ProgramData", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common AppData", ReservedAtOrAbove},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Desktop", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Documents", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Programs", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Start Menu", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Startup", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Templates", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "Common Administrative Tools", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "CommonMusic", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "CommonPictures", ReservedWithInside},
    {HKEY_LOCAL_MACHINE, UserShellFoldersKey, "CommonVideo", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "Desktop", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "Personal", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "AppData", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "Local AppData", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "Start Menu", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "My Music", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "My Pictures", ReservedWithInside},
    {HKEY_CURRENT_USER, UserShellFoldersKey, "My Video", ReservedWithInside},
};

// Reads the string value name of key (which may hold environment
// variables) into out as a path; false when it is missing or does not fit.
bool ReadFolderValue(HKEY key, const char *name, char *out, DWORD size)
{
  char data[PathBufferSize] = {};
  DWORD length = sizeof(data) - 1;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(data), &length) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return false;
  data[length < sizeof(data) ? length : sizeof(data) - 1] = '\0';
  DWORD expanded = ExpandEnvironmentStringsA(data, out, size);
  return expanded > 1 && expanded <= size;
}

void AddValueFolder(NeverInstallFolders *list, const FolderValueRow &row)
{
  HKEY key;
  if (RegOpenKeyExA(row.root, row.subKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return;
  char folder[PathBufferSize];
  if (ReadFolderValue(key, row.value, folder, sizeof(folder)))
    AddReservedFolder(list, folder, row.reach);
  RegCloseKey(key);
}

}  // namespace

void ReadNeverInstallFolders(NeverInstallFolders *list)
{
  std::memset(list, 0, sizeof(*list));
  char folder[PathBufferSize];
  UINT length = GetSystemWindowsDirectoryA(folder, sizeof(folder));
  if (length > 0 && length < sizeof(folder))
    AddReservedFolder(list, folder, ReservedWithInside, true);
  for (const FolderValueRow &row : FolderValues)
    AddValueFolder(list, row);
  // Every user's profile, and Public, lie in the folder that holds the
  // current user's, should the profile list not name it.
  DWORD expanded = ExpandEnvironmentStringsA("%USERPROFILE%", folder, sizeof(folder));
  if (expanded > 1 && expanded <= sizeof(folder) && folder[0] != '%') {
    AddReservedFolder(list, folder, ReservedWithInside);
    AddReservedParent(list, folder, ReservedWithInside);
  }
}
