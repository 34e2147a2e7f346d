// The levels of a path: outermost first, without the root.
#include "common/parent_dirs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
