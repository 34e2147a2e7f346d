// Program-group folder, link and target paths, and Shell Folders values.
#include "integration/shortcut_page_rules.h"
#include "common/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A buffer with guard bytes after the size handed to the routine, so a
// write beyond it is seen.
struct GuardedBuffer {
  char bytes[600];
  GuardedBuffer()
  {
    std::memset(bytes, '#', sizeof(bytes));
  }
  bool GuardIntact(size_t size) const
  {
    for (size_t i = size; i < sizeof(bytes); ++i)
      if (bytes[i] != '#')
        return false;
    return true;
  }
};

TEST(ShortcutGroupFolder, AddsSeparatorAndGroupName)
{
  char out[512];
  ASSERT_TRUE(FormGroupFolder(out, sizeof(out), "C:\\ProgramData\\Start Menu\\Programs"));
  EXPECT_STREQ(out, "C:\\ProgramData\\Start Menu\\Programs\\The Zorvane");
  // The fallback folder: a bare drive gets the separator too.
  ASSERT_TRUE(FormGroupFolder(out, sizeof(out), "C:"));
  EXPECT_STREQ(out, "C:\\The Zorvane");
  // A folder already ending with a backslash gets no second one.
  ASSERT_TRUE(FormGroupFolder(out, sizeof(out), "C:\\"));
  EXPECT_STREQ(out, "C:\\The Zorvane");
  ASSERT_TRUE(FormGroupFolder(out, sizeof(out), "D:\\Menu\\"));
  EXPECT_STREQ(out, "D:\\Menu\\The Zorvane");
}

TEST(ShortcutGroupFolder, LeavesTheGroupUnchangedSoRepeatingGivesTheSameFolder)
{
  char group[512] = "C:\\Menu\\Programs";
  char first[512];
  char second[512];
  ASSERT_TRUE(FormGroupFolder(first, sizeof(first), group));
  EXPECT_STREQ(group, "C:\\Menu\\Programs");
  ASSERT_TRUE(FormGroupFolder(second, sizeof(second), group));
  EXPECT_STREQ(first, second);
}

TEST(ShortcutGroupFolder, FitsExactlyOrIsRefusedUntouched)
{
  const size_t suffix = std::strlen("\\The Zorvane");
  // A result of 511 characters fills a 512 buffer with its terminator.
  std::string group(511 - suffix, 'g');
  GuardedBuffer out;
  ASSERT_TRUE(FormGroupFolder(out.bytes, 512, group.c_str()));
  EXPECT_EQ(std::strlen(out.bytes), 511u);
  EXPECT_EQ(std::string(out.bytes), group + "\\The Zorvane");
  EXPECT_TRUE(out.GuardIntact(512));

  // One more character does not fit: nothing is written.
  group.push_back('g');
  GuardedBuffer refused;
  EXPECT_FALSE(FormGroupFolder(refused.bytes, 512, group.c_str()));
  EXPECT_TRUE(refused.GuardIntact(0));

  // With a trailing backslash the separator is not added, so one more fits.
  std::string slashed(511 - suffix, 'g');
  slashed.push_back('\\');
  GuardedBuffer withSlash;
  ASSERT_TRUE(FormGroupFolder(withSlash.bytes, 512, slashed.c_str()));
  EXPECT_EQ(std::strlen(withSlash.bytes), 511u);
  EXPECT_TRUE(withSlash.GuardIntact(512));
  EXPECT_FALSE(FormGroupFolder(withSlash.bytes, 0, "C:"));
}

TEST(ShortcutShellFolderValue, TakesTheTextAndRemovesOneTrailingBackslash)
{
  char out[512] = "unchanged";
  const char plain[] = "C:\\ProgramData\\Start Menu\\Programs";
  ASSERT_EQ(TakeShellFolderValue(out, sizeof(out), plain, sizeof(plain)), 1);
  EXPECT_STREQ(out, plain);

  const char slashed[] = "C:\\users\\Public\\Desktop\\";
  ASSERT_EQ(TakeShellFolderValue(out, sizeof(out), slashed, sizeof(slashed)), 1);
  EXPECT_STREQ(out, "C:\\users\\Public\\Desktop");

  // Only one backslash goes.
  const char doubled[] = "C:\\Menu\\\\";
  ASSERT_EQ(TakeShellFolderValue(out, sizeof(out), doubled, sizeof(doubled)), 1);
  EXPECT_STREQ(out, "C:\\Menu\\");

  // A drive root loses its separator too.
  const char root[] = "D:\\";
  ASSERT_EQ(TakeShellFolderValue(out, sizeof(out), root, sizeof(root)), 1);
  EXPECT_STREQ(out, "D:");
}

TEST(ShortcutShellFolderValue, EmptyValuesCountAsNotFound)
{
  char out[260] = "kept";
  const char empty[] = "";
  EXPECT_EQ(TakeShellFolderValue(out, sizeof(out), empty, sizeof(empty)), 0);
  EXPECT_EQ(TakeShellFolderValue(out, sizeof(out), empty, 0), 0);
  const char lone[] = "\\";
  EXPECT_EQ(TakeShellFolderValue(out, sizeof(out), lone, sizeof(lone)), 0);
  EXPECT_STREQ(out, "kept");
}

TEST(ShortcutShellFolderValue, StopsAtTheFirstTerminatorOrTheDataLength)
{
  char out[512];
  const char twoStrings[] = "C:\\First\0C:\\Second";
  ASSERT_EQ(TakeShellFolderValue(out, sizeof(out), twoStrings, sizeof(twoStrings)), 1);
  EXPECT_STREQ(out, "C:\\First");

  // Data stored without a terminator ends at its length.
  const char unterminated[] = {'C', ':', '\\', 'U', 'n', 'x', '\\'};
  ASSERT_EQ(TakeShellFolderValue(out, sizeof(out), unterminated, sizeof(unterminated)), 1);
  EXPECT_STREQ(out, "C:\\Unx");
}

TEST(ShortcutShellFolderValue, AValueLongerThanTheCallersBufferCountsAsNotFound)
{
  // The desktop caller's buffer holds 259 characters and the terminator.
  std::string fits(259, 'd');
  std::string tooLong(260, 'd');
  GuardedBuffer out;
  ASSERT_EQ(TakeShellFolderValue(out.bytes, 260, fits.c_str(), fits.size() + 1), 1);
  EXPECT_EQ(std::string(out.bytes), fits);
  EXPECT_TRUE(out.GuardIntact(260));

  GuardedBuffer refused;
  EXPECT_EQ(TakeShellFolderValue(refused.bytes, 260, tooLong.c_str(), tooLong.size() + 1), 0);
  EXPECT_TRUE(refused.GuardIntact(0));

  // What is judged is the path without its trailing backslash.
  std::string slashed = fits + "\\";
  GuardedBuffer trimmed;
  ASSERT_EQ(TakeShellFolderValue(trimmed.bytes, 260, slashed.c_str(), slashed.size() + 1), 1);
  EXPECT_EQ(std::string(trimmed.bytes), fits);
  EXPECT_TRUE(trimmed.GuardIntact(260));
}

}  // namespace

// Add/Remove Programs' icon and quiet command name the installed files; a
// folder too long for them gives neither rather than a cut path.
TEST(ShortcutUninstallValues, NameTheInstalledFilesWholeOrNothing)
{
  GuardedBuffer icon;
  GuardedBuffer quiet;
  ASSERT_TRUE(FormProgramIcon(icon.bytes, 512, "C:\\Program files\\The Zorvane"));
  EXPECT_STREQ(icon.bytes, "C:\\Program files\\The Zorvane\\Zorvane.exe,0");
  ASSERT_TRUE(FormQuietUninstall(quiet.bytes, 512, "D:\\"));
  EXPECT_STREQ(quiet.bytes, "\"D:\\uninstall.exe\" /S");

  // "\"" + dir + "\\uninstall.exe\" /S" fills 60 bytes with the terminator.
  std::string dir(60 - 1 - std::strlen("\"\\uninstall.exe\" /S"), 'd');
  GuardedBuffer exact;
  ASSERT_TRUE(FormQuietUninstall(exact.bytes, 60, dir.c_str()));
  EXPECT_EQ(std::strlen(exact.bytes), 59u);
  EXPECT_TRUE(exact.GuardIntact(60));
  GuardedBuffer refused;
  EXPECT_FALSE(FormQuietUninstall(refused.bytes, 59, dir.c_str()));
  EXPECT_FALSE(FormProgramIcon(refused.bytes, 512, std::string(600, 'd').c_str()));
  EXPECT_TRUE(refused.GuardIntact(0));
}
