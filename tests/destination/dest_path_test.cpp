#include "destination/dest_path.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/product.h"

TEST(DestCompose, DriveRootGetsNoExtraSeparator)
{
  char dir[PathBufferSize] = "";
  ASSERT_TRUE(ComposeInstallDir(dir, sizeof(dir), "C:\\Program files", "The Zorvane"));
  EXPECT_STREQ(dir, "C:\\Program files\\The Zorvane");
  ASSERT_TRUE(ComposeInstallDir(dir, sizeof(dir), "D:\\", "The Zorvane"));
  EXPECT_STREQ(dir, "D:\\The Zorvane");
  ASSERT_TRUE(ComposeInstallDir(dir, sizeof(dir), "D:\\Games", "The Zorvane"));
  EXPECT_STREQ(dir, "D:\\Games\\The Zorvane");
}

TEST(DestCompose, EmptyBaseOrNameGivesTheBareOtherPart)
{
  char dir[PathBufferSize] = "";
  // No drive C: the destination is the bare folder name.
  ASSERT_TRUE(ComposeInstallDir(dir, sizeof(dir), "", "The Zorvane"));
  EXPECT_STREQ(dir, "The Zorvane");
  // Name emptied in the browser: the base and a separator.
  ASSERT_TRUE(ComposeInstallDir(dir, sizeof(dir), "C:\\Program files", ""));
  EXPECT_STREQ(dir, "C:\\Program files\\");
}

TEST(DestCompose, RefusesWhatDoesNotFitAWindowsPathAndChangesNothing)
{
  char dir[PathBufferSize] = "unchanged";
  std::string base = "C:\\" + std::string(250, 'a');  // 253 characters
  // 253 + 1 + 5 = 259: the longest Windows path.
  ASSERT_TRUE(ComposeInstallDir(dir, sizeof(dir), base.c_str(), "12345"));
  EXPECT_EQ(std::strlen(dir), static_cast<size_t>(MaxWindowsPath));
  std::strcpy(dir, "unchanged");
  EXPECT_FALSE(ComposeInstallDir(dir, sizeof(dir), base.c_str(), "123456"));
  EXPECT_STREQ(dir, "unchanged");
  // The largest inputs the buffers allow: 511 + 1 + 99 characters.
  std::string longest(511, 'b');
  std::string name(99, 'n');
  EXPECT_FALSE(ComposeInstallDir(dir, sizeof(dir), longest.c_str(), name.c_str()));
  EXPECT_STREQ(dir, "unchanged");
  // A buffer smaller than the composition refuses too.
  char small[8] = "keep";
  EXPECT_FALSE(ComposeInstallDir(small, sizeof(small), "C:\\", "The Zorvane"));
  EXPECT_STREQ(small, "keep");
}

TEST(DestCompose, ComposePathCutsSafelyAndReportsTheFullLength)
{
  char out[10];
  std::memset(out, '#', sizeof(out));
  int length = ComposePath(out, sizeof(out), "C:\\Games", "The Zorvane");
  EXPECT_EQ(length, 20);
  EXPECT_STREQ(out, "C:\\Games\\");
  std::string longest(511, 'b');
  char line[PathBufferSize * 2];
  EXPECT_EQ(ComposePath(line, sizeof(line), longest.c_str(), std::string(99, 'n').c_str()), 611);
  EXPECT_EQ(std::strlen(line), 611u);
}

TEST(DestNameField, NinetyNineCharactersAtMost)
{
  EXPECT_EQ(JudgeFolderName(0), FolderNameCleared);
  EXPECT_EQ(JudgeFolderName(1), FolderNameAccepted);
  EXPECT_EQ(JudgeFolderName(MaxFolderNameLength), FolderNameAccepted);
  EXPECT_EQ(JudgeFolderName(MaxFolderNameLength + 1), FolderNameRefused);
  EXPECT_EQ(JudgeFolderName(511), FolderNameRefused);
}
