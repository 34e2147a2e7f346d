// The registry routines against the test prefix's HKEY_LOCAL_MACHINE.
// Shell Folders values are staged under names of the tests' own, so the
// prefix's real folders stay as they are.
#include <windows.h>

#include "integration/registry.h"
#include "common/shell_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

const char ShellFolders[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char AppPathsProduct[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\The Zorvane";
const char UninstallProduct[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\The Zorvane";

// Stores data (length bytes, the terminator included or not) as REG_SZ
// under name in Shell Folders; removed again by the destructor.
struct StagedShellFolder {
  std::string name;
  StagedShellFolder(const char *valueName, const char *data, DWORD length) : name(valueName)
  {
    HKEY key;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(
        RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(data), length),
        ERROR_SUCCESS);
    RegCloseKey(key);
  }
  ~StagedShellFolder()
  {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ShellFolders, 0, KEY_ALL_ACCESS, &key) == 0) {
      RegDeleteValueA(key, name.c_str());
      RegCloseKey(key);
    }
  }
};

struct StoredString {
  LONG status;
  DWORD type;
  DWORD length;
  std::string text;
};

StoredString ReadValue(const char *keyPath, const char *name)
{
  StoredString value{-1, 0, 0, ""};
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return value;
  char data[1024] = "";
  value.length = sizeof(data);
  value.status = RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE *>(data),
                                  &value.length);
  value.text = data;
  RegCloseKey(key);
  return value;
}

// The value exists as REG_SZ holding text, its length counting the NUL.
void ExpectString(const char *keyPath, const char *name, const std::string &text)
{
  StoredString value = ReadValue(keyPath, name);
  ASSERT_EQ(value.status, ERROR_SUCCESS) << name;
  EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ)) << name;
  EXPECT_EQ(value.text, text) << name;
  EXPECT_EQ(value.length, text.size() + 1) << name;
}

DWORD CountValues(const char *keyPath)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return 0;
  DWORD values = 0;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return values;
}

TEST(ShortcutRegistry, ShellFolderFoundWithOneTrailingBackslashRemoved)
{
  const char plain[] = "C:\\Zv Test\\Programs";
  StagedShellFolder stagedPlain("ZvTest Plain", plain, sizeof(plain));
  const char slashed[] = "C:\\Zv Test\\Desktop\\";
  StagedShellFolder stagedSlashed("ZvTest Slashed", slashed, sizeof(slashed));

  char buffer[512] = "";
  ASSERT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest Plain"), 1);
  EXPECT_STREQ(buffer, plain);
  ASSERT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest Slashed"), 1);
  EXPECT_STREQ(buffer, "C:\\Zv Test\\Desktop");
}

TEST(ShortcutRegistry, MissingOrEmptyShellFolderIsNotFoundAndLeavesTheBuffer)
{
  const char empty[] = "";
  StagedShellFolder staged("ZvTest Empty", empty, sizeof(empty));
  char buffer[512] = "as it was";
  EXPECT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest Empty"), 0);
  EXPECT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest No Such Value"), 0);
  EXPECT_STREQ(buffer, "as it was");
}

TEST(ShortcutRegistry, ShellFolderLongerThanTheReadOrTheCallersBufferIsNotFound)
{
  std::string longest(511, 'p');  // 512 bytes with the terminator
  StagedShellFolder fits("ZvTest Longest", longest.c_str(), 512);
  std::string tooLong(512, 'p');
  StagedShellFolder over("ZvTest Too Long", tooLong.c_str(), 513);

  static char buffer[512];
  std::strcpy(buffer, "kept");
  ASSERT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest Longest"), 1);
  EXPECT_EQ(std::string(buffer), longest);
  std::strcpy(buffer, "kept");
  EXPECT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest Too Long"), 0);
  EXPECT_STREQ(buffer, "kept");

  // The desktop's 260-character buffer: 259 characters fit, 260 do not.
  std::string desktop(259, 'd');
  StagedShellFolder desktopFits("ZvTest Desktop 259", desktop.c_str(), 260);
  std::string desktopLong(260, 'd');
  StagedShellFolder desktopOver("ZvTest Desktop 260", desktopLong.c_str(), 261);
  char small[260 + 8];
  std::memset(small, '#', sizeof(small));
  ASSERT_EQ(GetShellFolder(small, 260, "ZvTest Desktop 259"), 1);
  EXPECT_EQ(std::string(small), desktop);
  std::memset(small, '#', sizeof(small));
  EXPECT_EQ(GetShellFolder(small, 260, "ZvTest Desktop 260"), 0);
  for (char c : small)
    ASSERT_EQ(c, '#');
}

TEST(ShortcutRegistry, ShellFolderStoredWithoutTerminatorEndsAtItsLength)
{
  const char text[] = "C:\\Zv Unterminated";
  StagedShellFolder staged("ZvTest Unterminated", text, sizeof(text) - 1);
  char buffer[512];
  ASSERT_EQ(GetShellFolder(buffer, sizeof(buffer), "ZvTest Unterminated"), 1);
  EXPECT_STREQ(buffer, text);
}

TEST(ShortcutRegistry, AppPathsAndUninstallValuesRewrittenInPlace)
{
  RegisterAppPath("C:\\Program files\\The Zorvane");
  RegisterUninstall("C:\\Program files\\The Zorvane\\uninstall.exe",
                    "C:\\Menu\\Programs\\The Zorvane", "C:\\Program files\\The Zorvane");

  ExpectString(AppPathsProduct, "", "The Zorvane");
  ExpectString(AppPathsProduct, "Path", "C:\\Program files\\The Zorvane");
  EXPECT_EQ(CountValues(AppPathsProduct), 2u);
  ExpectString(UninstallProduct, "DisplayName", "The Zorvane");
  ExpectString(UninstallProduct, "UninstallString",
               "C:\\Program files\\The Zorvane\\uninstall.exe");
  ExpectString(UninstallProduct, "Scdir", "C:\\Menu\\Programs\\The Zorvane");
  ExpectString(UninstallProduct, "Progdir", "C:\\Program files\\The Zorvane");
  EXPECT_EQ(CountValues(UninstallProduct), 4u);

  // A second registration overwrites the same values in the same subkeys.
  RegisterAppPath("D:\\Apps\\Zv");
  RegisterUninstall("D:\\Apps\\Zv\\uninstall.exe", "C:\\The Zorvane", "D:\\Apps\\Zv");
  ExpectString(AppPathsProduct, "Path", "D:\\Apps\\Zv");
  EXPECT_EQ(CountValues(AppPathsProduct), 2u);
  ExpectString(UninstallProduct, "UninstallString", "D:\\Apps\\Zv\\uninstall.exe");
  ExpectString(UninstallProduct, "Scdir", "C:\\The Zorvane");
  ExpectString(UninstallProduct, "Progdir", "D:\\Apps\\Zv");
  EXPECT_EQ(CountValues(UninstallProduct), 4u);
}

}  // namespace
