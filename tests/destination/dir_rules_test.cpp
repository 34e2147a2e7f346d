#include "destination/dir_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/product.h"

namespace {

std::string Pattern(const char *path, int mode)
{
  ListPlan plan = PlanDirList(static_cast<int>(std::strlen(path)), mode);
  char out[PathBufferSize + 8];
  if (!ComposeSearchPattern(out, sizeof(out), path, plan))
    return "<refused>";
  return out;
}

std::string Line(const char *path, int mode, const char *name)
{
  ListPlan plan = PlanDirList(static_cast<int>(std::strlen(path)), mode);
  char out[PathBufferSize];
  ComposePathLine(out, sizeof(out), path, plan, name);
  return out;
}

}  // namespace

TEST(DestListPlan, FolderBrowserAtADriveRoot)
{
  EXPECT_EQ(PlanDirList(3, 0).upEntry, 0);
  EXPECT_EQ(Pattern("C:\\", 0), "C:\\*.*");
  EXPECT_EQ(Line("C:\\", 0, "The Zorvane"), "C:\\The Zorvane");
}

TEST(DestListPlan, FolderBrowserBelowARoot)
{
  EXPECT_EQ(PlanDirList(8, 0).upEntry, 1);
  EXPECT_EQ(Pattern("C:\\Games", 0), "C:\\Games\\*.*");
  EXPECT_EQ(Line("C:\\Games", 0, "The Zorvane"), "C:\\Games\\The Zorvane");
}

TEST(DestListPlan, FolderBrowserWithAnEmptyPath)
{
  EXPECT_EQ(PlanDirList(0, 0).upEntry, 0);
  EXPECT_EQ(Pattern("", 0), "*.*");
  EXPECT_EQ(Line("", 0, "The Zorvane"), "The Zorvane");
}

TEST(DestListPlan, GroupBrowserTwentyOneCharacterRule)
{
  const char *at21 = "C:\\ProgramData\\Start1";  // 21 characters
  ASSERT_EQ(std::strlen(at21), 21u);
  EXPECT_EQ(PlanDirList(21, 1).upEntry, 0);
  EXPECT_EQ(Pattern(at21, 1), std::string(at21) + "\\*.*");
  EXPECT_EQ(Line(at21, 1, "The Zorvane"), std::string(at21) + "\\The Zorvane");
  const char *at22 = "C:\\ProgramData\\Start12";
  EXPECT_EQ(PlanDirList(22, 1).upEntry, 1);
  EXPECT_EQ(Pattern(at22, 1), std::string(at22) + "\\*.*");
  // A short path in mode 1 still gets the separated pattern.
  EXPECT_EQ(Pattern("C:\\", 1), "C:\\\\*.*");
  EXPECT_EQ(PlanDirList(3, 1).patternLength, 4);
}

TEST(DestListPlan, PatternThatDoesNotFitIsRefusedNotOverrun)
{
  std::string path(PathBufferSize - 1, 'p');
  ListPlan plan = PlanDirList(static_cast<int>(path.size()), 0);
  char out[PathBufferSize];
  out[0] = 'x';
  EXPECT_FALSE(ComposeSearchPattern(out, sizeof(out), path.c_str(), plan));
  EXPECT_EQ(out[0], '\0');
  std::string fits(PathBufferSize - 1 - 4, 'p');
  EXPECT_TRUE(ComposeSearchPattern(out, sizeof(out), fits.c_str(), plan));
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(PathBufferSize - 1));
}

TEST(DestListPlan, PathLineIsCutToItsBuffer)
{
  std::string path(PathBufferSize - 1, 'p');
  ListPlan plan = PlanDirList(static_cast<int>(path.size()), 0);
  char out[PathBufferSize];
  ComposePathLine(out, sizeof(out), path.c_str(), plan, "The Zorvane");
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(PathBufferSize - 1));
}

TEST(DestListFilter, DirectoriesWithoutALeadingDotOnly)
{
  const uint32_t hidden = 0x02, system = 0x04, archive = 0x20;
  EXPECT_TRUE(IsListedEntry(DirectoryAttribute, "Games"));
  EXPECT_TRUE(IsListedEntry(DirectoryAttribute | hidden | system, "Hidden"));
  EXPECT_FALSE(IsListedEntry(DirectoryAttribute, "."));
  EXPECT_FALSE(IsListedEntry(DirectoryAttribute, ".."));
  EXPECT_FALSE(IsListedEntry(DirectoryAttribute | hidden, ".config"));
  EXPECT_FALSE(IsListedEntry(archive, "readme.txt"));
  EXPECT_FALSE(IsListedEntry(0, "plain"));
}
