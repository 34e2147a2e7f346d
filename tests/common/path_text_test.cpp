// The bounded path builders: whole joins that fit exactly or change
// nothing, and cut copies that never pass their buffer.
#include "common/path_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// A buffer with guard bytes after the size handed to the routine.
struct Guarded {
  char bytes[600];
  Guarded()
  {
    std::memset(bytes, '#', sizeof(bytes));
  }
  bool GuardIntact(size_t from) const
  {
    for (size_t i = from; i < sizeof(bytes); ++i)
      if (bytes[i] != '#')
        return false;
    return true;
  }
};

}  // namespace

TEST(PathJoin, SeparatorUnlessTheFolderEndsInOne)
{
  char out[512];
  ASSERT_TRUE(JoinPath(out, sizeof(out), "C:\\Program files\\The Zorvane", "uninstall.exe"));
  EXPECT_STREQ(out, "C:\\Program files\\The Zorvane\\uninstall.exe");
  ASSERT_TRUE(JoinPath(out, sizeof(out), "C:\\", "The Zorvane"));
  EXPECT_STREQ(out, "C:\\The Zorvane");
  ASSERT_TRUE(JoinPath(out, sizeof(out), "C:", "The Zorvane"));
  EXPECT_STREQ(out, "C:\\The Zorvane");
  ASSERT_TRUE(JoinPath(out, sizeof(out), "", "Readme.rtf"));
  EXPECT_STREQ(out, "\\Readme.rtf");
  // A prefix of the name: the folder of an archive entry.
  ASSERT_TRUE(JoinPath(out, sizeof(out), "D:", "Maps\\x.map", 4));
  EXPECT_STREQ(out, "D:\\Maps");
}

TEST(PathJoin, FitsExactlyOrChangesNothing)
{
  std::string folder(500, 'f');
  std::string fits(512 - 1 - 1 - folder.size(), 'n');  // 511 characters in all
  Guarded out;
  ASSERT_TRUE(JoinPath(out.bytes, 512, folder.c_str(), fits.c_str()));
  EXPECT_EQ(std::string(out.bytes), folder + "\\" + fits);
  EXPECT_TRUE(out.GuardIntact(512));

  Guarded refused;
  EXPECT_FALSE(JoinPath(refused.bytes, 512, folder.c_str(), (fits + "n").c_str()));
  EXPECT_FALSE(JoinPath(refused.bytes, 512, std::string(511, 'f').c_str(), ""));
  EXPECT_FALSE(JoinPath(refused.bytes, 0, "C:", "n"));
  EXPECT_TRUE(refused.GuardIntact(0));
}

TEST(PathJoin, ExtendsAPathInPlaceOrLeavesIt)
{
  char path[17] = "C:\\Games";
  ASSERT_TRUE(JoinPath(path, sizeof(path), path, "Zorvane"));
  EXPECT_STREQ(path, "C:\\Games\\Zorvane");
  EXPECT_FALSE(JoinPath(path, sizeof(path), path, "x"));
  EXPECT_STREQ(path, "C:\\Games\\Zorvane");
}

TEST(PathCut, CopiesWhatFitsAndCountsTheRest)
{
  Guarded out;
  EXPECT_EQ(CopyCut(out.bytes, 8, "C:\\Program files"), 16u);
  EXPECT_STREQ(out.bytes, "C:\\Prog");
  EXPECT_TRUE(out.GuardIntact(8));

  size_t length = 0;
  AppendCut(out.bytes, 8, &length, "C:\\");
  AppendCut(out.bytes, 8, &length, "Games");
  EXPECT_EQ(length, 8u);  // one more than fits: the result was cut
  EXPECT_STREQ(out.bytes, "C:\\Game");
  EXPECT_EQ(CopyCut(out.bytes, 0, "x"), 1u);
  EXPECT_TRUE(out.GuardIntact(8));
}

// With the ANSI code page UTF-8 a cut falls between characters, never inside
// one; bytes of another code page are cut as they come.
TEST(PathCut, NeverSplitsAUtf8Character)
{
  const char *cyrillic = "C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B";  // C:\Игры
  const char *cjk = "D:\\\xE6\xB8\xB8\xE6\x88\x8F";               // D:\游戏
  Guarded out;
  // A size of 7 holds 6 bytes: C:\, И and the first half of г, which then
  // goes whole.
  EXPECT_EQ(CopyCut(out.bytes, 7, cyrillic), 11u);
  EXPECT_STREQ(out.bytes, "C:\\\xD0\x98");
  EXPECT_EQ(CopyCut(out.bytes, 6, cjk), 9u);
  EXPECT_STREQ(out.bytes, "D:\\");
  EXPECT_EQ(CopyCut(out.bytes, 7, cjk), 9u);
  EXPECT_STREQ(out.bytes, "D:\\\xE6\xB8\xB8");

  // The cut inside the second of two appended texts.
  size_t length = 0;
  AppendCut(out.bytes, 9, &length, "C:\\");
  AppendCut(out.bytes, 9, &length, "\xF0\x9F\x8E\xAE\xE6\xB8\xB8");  // a 4-byte one, then 游
  EXPECT_EQ(length, 10u);
  EXPECT_STREQ(out.bytes, "C:\\\xF0\x9F\x8E\xAE");
  EXPECT_TRUE(out.GuardIntact(9));

  // Windows-1252 "Café©s" is no UTF-8 (E9 A9 73); its bytes are cut where
  // they fall.
  EXPECT_EQ(CopyCut(out.bytes, 5, "Caf\xE9\xA9s"), 6u);
  EXPECT_STREQ(out.bytes, "Caf\xE9");
}

// "." or ".." may resolve the destination to its base folder or above it;
// "..\\Games" leads beside it.
TEST(PathPlace, InsideAndAtOrAboveCompareWholeLevels)
{
  EXPECT_TRUE(LiesInside("c:\\PROGRAM FILES\\Apps\\The Zorvane", "C:\\Program files"));
  EXPECT_TRUE(LiesInside("D:\\The Zorvane", "D:\\"));
  EXPECT_FALSE(LiesInside("C:\\Program files\\", "C:\\Program files"));
  EXPECT_FALSE(LiesInside("D:\\", "D:\\"));
  EXPECT_FALSE(LiesInside("C:\\Program filesX\\The Zorvane", "C:\\Program files"));

  EXPECT_TRUE(IsSameOrAbove("C:\\", "C:\\Program files"));
  EXPECT_TRUE(IsSameOrAbove("c:\\program FILES\\", "C:\\Program files"));
  EXPECT_TRUE(IsSameOrAbove("D:\\", "D:\\"));
  EXPECT_FALSE(IsSameOrAbove("C:\\Program", "C:\\Program files"));
  EXPECT_FALSE(IsSameOrAbove("C:\\Games", "C:\\Program files"));
  EXPECT_FALSE(IsSameOrAbove("C:\\Program files\\The Zorvane", "C:\\Program files"));
  EXPECT_FALSE(IsSameOrAbove("", "C:\\"));
}
