// Name rules of the installer and the packer, and the bounded path join.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "payload/entry_name.h"
#include "common/temp_dir.h"

namespace {

TEST(PayloadEntryName, InstallerAcceptsOrdinaryRelativeNames)
{
  for (const char *name : {"Zorvane.exe", "Maps\\Map01.map", "a\\b\\c.txt", "..x", "x..", "CONSOLE",
                           "a\\..b\\c", "name with spaces.txt", "a.\\b", "Maps/Map01.map"})
    EXPECT_EQ(CheckInstallName(name), NameAccepted) << name;
}

TEST(PayloadEntryName, InstallerRefusesNamesThatLeaveTheDirectory)
{
  struct Case {
    const char *name;
    EntryNameVerdict verdict;
  };
  const Case cases[] = {
      {"", NameEmpty},
      {"..", NameLeavesDirectory},
      {"..\\evil.exe", NameLeavesDirectory},
      {"../evil.exe", NameLeavesDirectory},
      {"a\\..\\..\\evil.exe", NameLeavesDirectory},
      {"a/../../evil.exe", NameLeavesDirectory},
      {"a\\..", NameLeavesDirectory},
      {"a\\...\\b", NameLeavesDirectory},
      {"a\\. .\\b", NameLeavesDirectory},
      {"a\\.. \\b", NameLeavesDirectory},
      {"\\Windows\\evil.exe", NameLeadingSeparator},
      {"/etc/evil", NameLeadingSeparator},
      {"\\\\server\\share\\x", NameLeadingSeparator},
      {"C:\\Windows\\evil.exe", NameHasColon},
      {"C:evil.exe", NameHasColon},
      {"readme.txt:stream", NameHasColon},
      {"CON", NameReservedDevice},
      {"Maps\\nul.txt", NameReservedDevice},
      {"aux .dat", NameReservedDevice},
      {"sub/COM1", NameReservedDevice},
  };
  for (const Case &c : cases)
    EXPECT_EQ(CheckInstallName(c.name), c.verdict) << c.name;
}

TEST(PayloadEntryName, PackerHoldsNamesToTheWriterRules)
{
  struct Case {
    std::string name;
    EntryNameVerdict verdict;
  };
  const Case cases[] = {
      {"Zorvane.exe", NameAccepted},
      {"Sounds\\Theme.wav", NameAccepted},
      {"", NameEmpty},
      {std::string(256, 'a'), NameTooLong},
      {std::string("a\0b", 3), NameHasNul},
      {"\\abs.txt", NameLeadingSeparator},
      {"C:abs.txt", NameHasColon},
      {"a\\..\\b", NameLeavesDirectory},
      {"a/b.txt", NameHasSlash},
      {"dir\\", NameTrailingSeparator},
      {"a\\\\b", NameEmptyComponent},
      {"a\\.\\b", NameDotComponent},
      {".", NameDotComponent},
      {"a?.txt", NameBadCharacter},
      {"tab\there", NameBadCharacter},
      {"unit\x1Fsep", NameBadCharacter},  // the last control character
      {"pipe|name", NameBadCharacter},
      {"trailing.", NameBadComponentEnd},
      {"dir \\x", NameBadComponentEnd},
      {"con", NameReservedDevice},
      {"Maps\\NUL.txt", NameReservedDevice},
      {"lpt1.dat", NameReservedDevice},
      {"COM9", NameReservedDevice},
      {"COM0", NameAccepted},
      {"CONSOLE.txt", NameAccepted},
  };
  for (const Case &c : cases) {
    EXPECT_EQ(CheckPackName(c.name.data(), c.name.size()), c.verdict) << c.name;
    EXPECT_NE(std::string(DescribeNameVerdict(c.verdict)), "");
  }
}

TEST(PayloadEntryName, PackerMeasuresNamesAgainstTheDefaultDestination)
{
  const size_t room = 259 - std::strlen(DefaultInstallDir) - 1;
  EXPECT_STREQ(DefaultInstallDir, "C:\\Program files\\The Zorvane");
  std::string fits(room, 'f');
  std::string over(room + 1, 'f');
  EXPECT_EQ(CheckPackName(fits.data(), fits.size()), NameAccepted);
  EXPECT_EQ(CheckPackName(over.data(), over.size()), NamePathTooLong);
  std::string message = DescribeNameVerdict(NamePathTooLong);
  EXPECT_NE(message.find("259"), std::string::npos);
  EXPECT_NE(message.find(DefaultInstallDir), std::string::npos);
}

TEST(PayloadTempDir, SystemPathLosesItsTrailingBackslash)
{
  char temp[260] = "C:\\TEMP\\";
  EXPECT_EQ(SettleTempDir(temp, sizeof(temp), 8, "D:\\start"), TempDirFromSystem);
  EXPECT_STREQ(temp, "C:\\TEMP");

  char root[260] = "C:\\";
  EXPECT_EQ(SettleTempDir(root, sizeof(root), 3, "D:\\start"), TempDirFromSystem);
  EXPECT_STREQ(root, "C:");

  char plain[260] = "C:\\users\\me\\Temp";
  EXPECT_EQ(SettleTempDir(plain, sizeof(plain), 16, ""), TempDirFromSystem);
  EXPECT_STREQ(plain, "C:\\users\\me\\Temp");
}

TEST(PayloadTempDir, FailedSystemPathFallsBackToTheStartDirectory)
{
  char temp[260] = "";
  EXPECT_EQ(SettleTempDir(temp, sizeof(temp), 0, "D:\\games"), TempDirFromStartDir);
  EXPECT_STREQ(temp, "D:\\games");

  // A root start directory is kept as "D:", so nothing to remove.
  char root[260] = "";
  EXPECT_EQ(SettleTempDir(root, sizeof(root), 0, "D:"), TempDirFromStartDir);
  EXPECT_STREQ(root, "D:");

  // An empty start directory stays empty.
  char empty[260] = "junk";
  EXPECT_EQ(SettleTempDir(empty, sizeof(empty), 0, ""), TempDirFromStartDir);
  EXPECT_STREQ(empty, "");

  // GetTempPathA asked for more room than the buffer has: nothing usable
  // was written, so the start directory is used.
  char small[260] = "garbage";
  EXPECT_EQ(SettleTempDir(small, sizeof(small), 300, "E:\\x\\"), TempDirFromStartDir);
  EXPECT_STREQ(small, "E:\\x");
}

TEST(PayloadTempDir, StartDirectoryThatDoesNotFitIsNotUsed)
{
  std::string longest(259, 's');
  std::string tooLong(260, 's');
  char temp[260];
  EXPECT_EQ(SettleTempDir(temp, sizeof(temp), 0, longest.c_str()), TempDirFromStartDir);
  EXPECT_EQ(std::strlen(temp), 259u);
  std::memset(temp, 'x', sizeof(temp));
  EXPECT_EQ(SettleTempDir(temp, sizeof(temp), 0, tooLong.c_str()), TempDirUnusable);
  EXPECT_STREQ(temp, "");
}

// Elevated, the work folder never goes into the user's temporary directory
// (any unelevated program of the user may re-point it), but below the
// system's Windows folder. A parent unknown or too long is none.
TEST(PayloadTempDir, ElevatedWorkFolderGoesUnderTheWindowsFolder)
{
  char parent[16] = "unchanged";
  EXPECT_FALSE(ChooseWorkParent(parent, sizeof(parent), true, "C:\\WINDOWS\\x", "D:\\T"));
  EXPECT_FALSE(ChooseWorkParent(parent, sizeof(parent), false, "C:\\WINDOWS", ""));
  EXPECT_STREQ(parent, "unchanged");
  EXPECT_TRUE(ChooseWorkParent(parent, sizeof(parent), true, "C:\\WINDOWS", "D:\\T"));
  EXPECT_STREQ(parent, "C:\\WINDOWS\\Temp");
  EXPECT_TRUE(ChooseWorkParent(parent, sizeof(parent), false, "C:\\WINDOWS", "D:\\T"));
  EXPECT_STREQ(parent, "D:\\T");
}

}  // namespace
