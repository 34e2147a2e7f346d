#include "common/never_install.h"

#include <windows.h>
#include <shlobj.h>

#include <cstring>

namespace {

struct ShellFolderRow {
  int csidl;
  ReservedReach reach;
};

// The shell folders, by their CSIDL: the program folders at and above
// their roots only (setup installs inside Program files), the others with
// everything inside them.
constexpr ShellFolderRow ShellFolders[] = {
    {CSIDL_PROGRAM_FILES, ReservedAtOrAbove},
    {CSIDL_PROGRAM_FILES_COMMON, ReservedAtOrAbove},
    {CSIDL_PROGRAM_FILESX86, ReservedAtOrAbove},
    {CSIDL_PROGRAM_FILES_COMMONX86, ReservedAtOrAbove},
    {CSIDL_COMMON_APPDATA, ReservedAtOrAbove},
    {CSIDL_COMMON_STARTMENU, ReservedWithInside},
    {CSIDL_COMMON_PROGRAMS, ReservedWithInside},
    {CSIDL_COMMON_STARTUP, ReservedWithInside},
    {CSIDL_COMMON_DESKTOPDIRECTORY, ReservedWithInside},
    {CSIDL_COMMON_DOCUMENTS, ReservedWithInside},
    {CSIDL_COMMON_TEMPLATES, ReservedWithInside},
    {CSIDL_COMMON_MUSIC, ReservedWithInside},
    {CSIDL_COMMON_PICTURES, ReservedWithInside},
    {CSIDL_COMMON_VIDEO, ReservedWithInside},
    {CSIDL_COMMON_ADMINTOOLS, ReservedWithInside},
    {CSIDL_SYSTEM, ReservedWithInside},
    {CSIDL_SYSTEMX86, ReservedWithInside},
    {CSIDL_FONTS, ReservedWithInside},
    {CSIDL_RESOURCES, ReservedWithInside},
    {CSIDL_PROFILE, ReservedWithInside},
    {CSIDL_APPDATA, ReservedWithInside},
    {CSIDL_LOCAL_APPDATA, ReservedWithInside},
    {CSIDL_DESKTOPDIRECTORY, ReservedWithInside},
    {CSIDL_PERSONAL, ReservedWithInside},
    {CSIDL_STARTMENU, ReservedWithInside},
};

struct FolderValueRow {
  const char *subKey;
  const char *value;
  ReservedReach reach;
};

constexpr char CurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
constexpr char ProfileListKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// The values that name the program folders (a 32-bit program's shell
// folders give the 32-bit view alone: the 64-bit Program files is only
// named here), the profiles' folder, Public and ProgramData; the profile
// list's values may hold %SystemDrive%.
constexpr FolderValueRow FolderValues[] = {
    {CurrentVersionKey, "ProgramFilesDir", ReservedAtOrAbove},
    {CurrentVersionKey, "ProgramFilesDir (x86)", ReservedAtOrAbove},
    {CurrentVersionKey, "ProgramW6432Dir", ReservedAtOrAbove},
    {CurrentVersionKey, "CommonFilesDir", ReservedAtOrAbove},
    {CurrentVersionKey, "CommonFilesDir (x86)", ReservedAtOrAbove},
    {CurrentVersionKey, "CommonW6432Dir", ReservedAtOrAbove},
    {ProfileListKey, "ProfilesDirectory", ReservedWithInside},
    {ProfileListKey, "Public", ReservedWithInside},
    {ProfileListKey, "ProgramData", ReservedAtOrAbove},
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
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, row.subKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
      ERROR_SUCCESS)
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
  for (const ShellFolderRow &row : ShellFolders)
    if (SHGetFolderPathA(nullptr, row.csidl, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK)
      AddReservedFolder(list, folder, row.reach);
  // Every user's profile, and Public, lie in the folder that holds the
  // current user's.
  if (SHGetFolderPathA(nullptr, CSIDL_PROFILE, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK)
    AddReservedParent(list, folder, ReservedWithInside);
  for (const FolderValueRow &row : FolderValues)
    AddValueFolder(list, row);
}
