// Double-click rules of the program-group browser.
#include "integration/group_navigation.h"
#include "destination/dir_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(GroupBrowserUpEntry, ListedAboveTwentyOneCharacters)
{
  const char at21[] = "C:\\WINDOWS\\Start Menu";   // 21
  const char at22[] = "C:\\WINDOWS\\Start Menu2";  // 22
  ASSERT_EQ(std::strlen(at21), 21u);
  ASSERT_EQ(std::strlen(at22), 22u);
  EXPECT_FALSE(GroupListHasUpEntry(std::strlen(at21)));
  EXPECT_TRUE(GroupListHasUpEntry(std::strlen(at22)));
  EXPECT_FALSE(GroupListHasUpEntry(std::strlen("C:")));
  EXPECT_FALSE(GroupListHasUpEntry(0));
}

TEST(GroupBrowserUpEntry, AgreesWithTheListingsModeOnePlan)
{
  // The browser treats position 0 as the up entry exactly when the listing
  // put one there, and the listing keeps four characters for its pattern.
  for (int length = 0; length <= 507; ++length) {
    ListPlan plan = PlanDirList(length, 1);
    EXPECT_EQ(plan.upEntry == 1, GroupListHasUpEntry(static_cast<size_t>(length))) << length;
    EXPECT_EQ(static_cast<size_t>(plan.patternLength), ListingPatternLength) << length;
  }
}

TEST(GroupBrowserMove, PositionZeroIsTheUpEntryOnlyAboveTwentyOneCharacters)
{
  // Listing of a 30-character folder: up entry, two folders, final entry.
  EXPECT_EQ(ChooseGroupMove(0, 3, 30), GroupGoUp);
  EXPECT_EQ(ChooseGroupMove(1, 3, 30), GroupDescend);
  EXPECT_EQ(ChooseGroupMove(3, 3, 30), GroupDescend);  // the final entry
  EXPECT_EQ(ChooseGroupMove(0, 3, 22), GroupGoUp);
  // At 21 characters or less position 0 is an ordinary subfolder.
  EXPECT_EQ(ChooseGroupMove(0, 2, 21), GroupDescend);
  EXPECT_EQ(ChooseGroupMove(0, 0, 2), GroupDescend);  // only the final entry
}

TEST(GroupBrowserMove, NoSelectionOrBeyondTheFinalEntryStays)
{
  EXPECT_EQ(ChooseGroupMove(-1, 3, 30), GroupStay);
  EXPECT_EQ(ChooseGroupMove(-1, 0, 2), GroupStay);
  EXPECT_EQ(ChooseGroupMove(4, 3, 30), GroupStay);
  EXPECT_EQ(ChooseGroupMove(1, 0, 2), GroupStay);
}

TEST(GroupBrowserUp, CutsAtTheLastBackslashWithoutKeepingARootSeparator)
{
  char group[512] = "C:\\WINDOWS\\Start Menu\\Programs\\Games";
  ASSERT_TRUE(GroupGoUpLevel(group));
  EXPECT_STREQ(group, "C:\\WINDOWS\\Start Menu\\Programs");
  ASSERT_TRUE(GroupGoUpLevel(group));
  EXPECT_STREQ(group, "C:\\WINDOWS\\Start Menu");
  EXPECT_FALSE(GroupListHasUpEntry(std::strlen(group)));

  char rooted[512] = "C:\\Documents and Settings";
  ASSERT_TRUE(GroupGoUpLevel(rooted));
  EXPECT_STREQ(rooted, "C:");
  // Nothing further to cut: left as it is.
  EXPECT_FALSE(GroupGoUpLevel(rooted));
  EXPECT_STREQ(rooted, "C:");
}

TEST(GroupBrowserUp, ATrailingBackslashIsCutFirst)
{
  char group[512] = "C:\\Programs\\Long Folder Name\\";
  ASSERT_TRUE(GroupGoUpLevel(group));
  EXPECT_STREQ(group, "C:\\Programs\\Long Folder Name");
}

TEST(GroupBrowserDescend, AppendsSeparatorAndName)
{
  char group[512] = "C:";
  ASSERT_TRUE(GroupDescendInto(group, sizeof(group), "ProgramData"));
  EXPECT_STREQ(group, "C:\\ProgramData");
  ASSERT_TRUE(GroupDescendInto(group, sizeof(group), "The Zorvane"));
  EXPECT_STREQ(group, "C:\\ProgramData\\The Zorvane");
  // Going up again returns to where the descent started.
  ASSERT_TRUE(GroupGoUpLevel(group));
  EXPECT_STREQ(group, "C:\\ProgramData");
}

TEST(GroupBrowserDescend, RefusedUnchangedWhenNoRoomIsLeftForTheListingPattern)
{
  // 512 bytes: the folder may grow to 507 characters, keeping 4 for the
  // pattern and one for the terminator.
  char group[600];
  std::memset(group, '#', sizeof(group));
  std::string start(500, 'p');
  std::memcpy(group, start.c_str(), start.size() + 1);

  ASSERT_TRUE(GroupDescendInto(group, 512, "123456"));  // 500 + 1 + 6 = 507
  EXPECT_EQ(std::strlen(group), 507u);
  EXPECT_EQ(std::string(group), start + "\\123456");

  std::string before(group);
  EXPECT_FALSE(GroupDescendInto(group, 512, ""));  // 508
  EXPECT_EQ(std::string(group), before);
  for (size_t i = 508; i < sizeof(group); ++i)
    ASSERT_EQ(group[i], '#') << "written at " << i;

  // Repeated descent into the same name stops at the limit and never
  // writes beyond it.
  char deep[512] = "C:\\Menu";
  int accepted = 0;
  while (GroupDescendInto(deep, sizeof(deep), "The Zorvane"))
    ++accepted;
  EXPECT_LE(std::strlen(deep) + ListingPatternLength, sizeof(deep) - 1);
  EXPECT_GT(std::strlen(deep) + 12 + ListingPatternLength, sizeof(deep) - 1);
  EXPECT_EQ(accepted, static_cast<int>((507 - 7) / 12));
}

}  // namespace
