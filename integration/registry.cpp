// Registry routines; see registry.h. Values are REG_SZ with the terminator
// counted in the data length, so readers that expect the NUL find it.
#include "integration/registry.h"

#include <windows.h>

#include "product_version.h"

#include <cstring>

#include "common/install_facts.h"
#include "common/product.h"
#include "integration/shortcut_page_rules.h"

namespace {

void SetStringValue(HKEY key, const char *name, const char *text)
{
  // The result is not examined: one value failing does not stop the next.
  RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                 static_cast<DWORD>(std::strlen(text) + 1));
}

void SetNumberValue(HKEY key, const char *name, DWORD number)
{
  RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), sizeof(number));
}

// Opens parentPath and creates or opens its subkey "The Zorvane"; null when
// either step fails. The parent is closed in every case.
HKEY OpenProductKey(const char *parentPath)
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

}  // namespace

void RegisterAppPath(const char *installDir)
{
  HKEY key = OpenProductKey(AppPathsKey);
  if (key == nullptr)
    return;
  SetStringValue(key, DefaultValue, ProductTitle);
  SetStringValue(key, AppPathValue, installDir);
  RegCloseKey(key);
}

void RegisterUninstall(const char *uninstallCommand, const char *groupFolder,
                       const char *installDir)
{
  HKEY key = OpenProductKey(UninstallKey);
  if (key == nullptr)
    return;
  SetStringValue(key, DisplayNameValue, ProductTitle);
  SetStringValue(key, UninstallStringValue, uninstallCommand);
  SetStringValue(key, GroupDirValue, groupFolder);
  SetStringValue(key, ProgramDirValue, installDir);
  RegCloseKey(key);
}

void RegisterUninstallDetails(const char *installDir, uint32_t estimatedSizeKB)
{
  char icon[PathBufferSize];
  char quietCommand[PathBufferSize];
  bool haveIcon = FormProgramIcon(icon, sizeof(icon), installDir);
  bool haveQuietCommand = FormQuietUninstall(quietCommand, sizeof(quietCommand), installDir);
  HKEY key = OpenProductKey(UninstallKey);
  if (key == nullptr)
    return;
  if (haveIcon)
    SetStringValue(key, DisplayIconValue, icon);
  SetStringValue(key, DisplayVersionValue, ZV_VERSION_TEXT);
  SetStringValue(key, InstallLocationValue, installDir);
  SetNumberValue(key, EstimatedSizeValue, estimatedSizeKB);
  SetNumberValue(key, NoModifyValue, 1);
  SetNumberValue(key, NoRepairValue, 1);
  if (haveQuietCommand)
    SetStringValue(key, QuietUninstallStringValue, quietCommand);
  RegCloseKey(key);
}
