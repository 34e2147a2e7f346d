// The folder-making rules: levels outermost first without the root, only
// the missing ones below what the caller keeps, removed innermost first.
#include "common/parent_dirs.h"
#include "tests/common/fake_dirs.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Levels(const char *path)
{
  int ends[16];
  int n = ListParentLevels(path, ends, 16);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i)
    out.push_back(std::string(path, static_cast<size_t>(ends[i])));
  return out;
}

}  // namespace

TEST(ParentDirs, OutermostFirstWithoutTheRoot)
{
  EXPECT_EQ(Levels("C:\\Program files\\Apps\\The Zorvane"),
            (std::vector<std::string>{"C:\\Program files", "C:\\Program files\\Apps"}));
  EXPECT_TRUE(Levels("C:\\The Zorvane").empty());
  EXPECT_EQ(Levels("Apps\\The Zorvane"), (std::vector<std::string>{"Apps"}));
  EXPECT_EQ(Levels("\\\\server\\share\\Apps\\X"),
            (std::vector<std::string>{"\\\\server\\share\\Apps"}));
  EXPECT_EQ(Levels("\\Apps\\X"), (std::vector<std::string>{"\\Apps"}));
  // Doubled and trailing separators give no empty level.
  EXPECT_EQ(Levels("C:\\A\\\\B\\"), (std::vector<std::string>{"C:\\A", "C:\\A\\\\B"}));
  int one[1];
  EXPECT_EQ(ListParentLevels("C:\\A\\B\\C\\D", one, 1), 1);
}

TEST(ParentDirs, MakesOnlyMissingLevelsBelowWhatIsKeptAndTakesThemBack)
{
  FakeFs fs;
  fs.dirs.insert("C:\\Program files\\The Zorvane");
  fs.dirs.insert("C:\\Program files\\The Zorvane\\Maps");
  const char *path = "C:\\Program files\\The Zorvane\\Maps\\Deep\\Deeper\\x.map";
  MadeDirs made;
  // The first 16 characters ("C:\Program files") are kept: never created.
  ASSERT_TRUE(MakeParentDirs(path, 16, FakeOps(&fs), &made));
  EXPECT_EQ(fs.created,
            (std::vector<std::string>{"C:\\Program files\\The Zorvane\\Maps\\Deep",
                                      "C:\\Program files\\The Zorvane\\Maps\\Deep\\Deeper"}));
  EXPECT_EQ(fs.creates, 2);
  RemoveMadeDirs(path, made, FakeOps(&fs));
  EXPECT_EQ(fs.removed,
            (std::vector<std::string>{"C:\\Program files\\The Zorvane\\Maps\\Deep\\Deeper",
                                      "C:\\Program files\\The Zorvane\\Maps\\Deep"}));
  // A path too long for a path buffer makes nothing.
  std::string tooLong = "C:\\" + std::string(600, 'a') + "\\x";
  EXPECT_FALSE(MakeParentDirs(tooLong.c_str(), 0, FakeOps(&fs), &made));
  EXPECT_EQ(made.count, 0);
}
