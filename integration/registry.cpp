// Registry routines; see registry.h. Values are REG_SZ with the terminator
// counted in the data length, so readers that expect the NUL find it.
#include "integration/registry.h"

#include "integration/shortcut_paths.h"
#include "shell/state.h"

#include "product_version.h"

#include <cstring>

static const char ShellFoldersKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool GetShellFolder(char *buffer, size_t bufferSize, const char *valueName)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;

  // A value longer than the buffer fails the query with ERROR_MORE_DATA and
  // counts as not found; a value stored without its terminator is bounded
  // by the length the query reports.
  char data[PathBufferSize];
  std::memset(data, 0, sizeof(data));
  DWORD dataLength = sizeof(data);
  bool found = false;
  if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE *>(data),
                       &dataLength) == ERROR_SUCCESS) {
    found = TakeShellFolderValue(buffer, bufferSize, data, dataLength);
  }
  RegCloseKey(key);
  return found;
}

static void SetStringValue(HKEY key, const char *name, const char *text)
{
  // The result is not examined: one value failing does not stop the next.
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
}

static void SetNumberValue(HKEY key, const char *name, DWORD number)
{
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof(number));
}

// Opens parentPath and creates or opens its subkey "The Zorvane"; null when
// either step fails. The parent is closed in every case.
static HKEY OpenProductKey(const char *parentPath)
{
  HKEY parent;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_READ | KEY_WRITE, &parent) !=
      ERROR_SUCCESS)
    return nullptr;

  char emptyClass[] = "";
  HKEY product = nullptr;
  DWORD disposition;
  if (RegCreateKeyExA(parent, ProductTitle, 0, emptyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &product, &disposition) != ERROR_SUCCESS)
    product = nullptr;
  RegCloseKey(parent);
  return product;
}

void RegisterAppPath()
{
  HKEY key = OpenProductKey(AppPathsKey);
  if (key == nullptr)
    return;
  SetStringValue(key, "", ProductTitle);
  SetStringValue(key, "Path", InstallDir);
  RegCloseKey(key);
}

void RegisterUninstall(const char *uninstallCommand, const char *groupFolder)
{
  HKEY key = OpenProductKey(UninstallKey);
  if (key == nullptr)
    return;
  SetStringValue(key, "DisplayName", ProductTitle);
  SetStringValue(key, "UninstallString", uninstallCommand);
  SetStringValue(key, "Scdir", groupFolder);
  SetStringValue(key, "Progdir", InstallDir);
  RegCloseKey(key);
}

void RegisterUninstallDetails(uint32_t estimatedSizeKB)
{
  char icon[PathBufferSize];
  char quietCommand[PathBufferSize];
  bool haveIcon = FormProgramIcon(icon, sizeof(icon), InstallDir);
  bool haveQuietCommand = FormQuietUninstall(quietCommand, sizeof(quietCommand), InstallDir);
  HKEY key = OpenProductKey(UninstallKey);
  if (key == nullptr)
    return;
  if (haveIcon)
    SetStringValue(key, "DisplayIcon", icon);
  SetStringValue(key, "DisplayVersion", ZV_VERSION_TEXT);
  SetStringValue(key, "InstallLocation", InstallDir);
  SetNumberValue(key, "EstimatedSize", estimatedSizeKB);
  SetNumberValue(key, "NoModify", 1);
  SetNumberValue(key, "NoRepair", 1);
  if (haveQuietCommand)
    SetStringValue(key, "QuietUninstallString", quietCommand);
  RegCloseKey(key);
}
