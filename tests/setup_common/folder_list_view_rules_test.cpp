// The folder-list rules under both browsers' listings: the folder browser
// (up entry below a drive root, roots keep their separator) and the
// program-group browser (up entry above 21 characters, "\" always).
#include "setup_common/folder_list_view_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "destination/dest_path.h"
#include "integration/shortcut_page_rules.h"
#include "common/product.h"

namespace {

std::string Pattern(const FolderListing &listing, const char *path)
{
  char out[PathBufferSize + 8];
  if (!ComposeListingPattern(listing, out, sizeof(out), path))
    return "<refused>";
  return out;
}

std::string Line(const FolderListing &listing, const char *path)
{
  char out[PathBufferSize];
  ComposeListingLine(listing, out, sizeof(out), path, "The Zorvane");
  return out;
}

}  // namespace

TEST(FolderListing, FolderBrowserAtARootBelowItAndEmpty)
{
  const FolderListing &folder = FolderBrowserListing;
  EXPECT_FALSE(ListsUpEntry(folder, 3));
  EXPECT_EQ(Pattern(folder, "C:\\"), "C:\\*.*");
  EXPECT_EQ(Line(folder, "C:\\"), "C:\\The Zorvane");
  EXPECT_TRUE(ListsUpEntry(folder, 8));
  EXPECT_EQ(Pattern(folder, "C:\\Games"), "C:\\Games\\*.*");
  EXPECT_EQ(Line(folder, "C:\\Games"), "C:\\Games\\The Zorvane");
  // An empty path lists the current directory and shows the name alone.
  EXPECT_EQ(Pattern(folder, ""), "*.*");
  EXPECT_EQ(Line(folder, ""), "The Zorvane");
}

TEST(FolderListing, GroupBrowserTwentyOneCharacterTopAndAlwaysASeparator)
{
  const FolderListing &group = GroupBrowserListing;
  const char *at21 = "C:\\ProgramData\\Start1";
  ASSERT_EQ(std::strlen(at21), 21u);
  EXPECT_FALSE(ListsUpEntry(group, 21));
  EXPECT_TRUE(ListsUpEntry(group, 22));
  EXPECT_EQ(Pattern(group, at21), std::string(at21) + "\\*.*");
  EXPECT_EQ(Line(group, at21), std::string(at21) + "\\The Zorvane");
  EXPECT_EQ(Pattern(group, "C:"), "C:\\*.*");
  EXPECT_EQ(Pattern(group, "C:\\"), "C:\\\\*.*");
}

TEST(FolderListing, PatternAndLineNeverPassTheirBuffers)
{
  std::string full(PathBufferSize - 1, 'p');
  char out[PathBufferSize];
  out[0] = 'x';
  EXPECT_FALSE(ComposeListingPattern(FolderBrowserListing, out, sizeof(out), full.c_str()));
  EXPECT_EQ(out[0], '\0');
  std::string fits(PathBufferSize - 1 - 4, 'p');
  EXPECT_TRUE(ComposeListingPattern(FolderBrowserListing, out, sizeof(out), fits.c_str()));
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(PathBufferSize - 1));
  ComposeListingLine(GroupBrowserListing, out, sizeof(out), full.c_str(), "The Zorvane");
  EXPECT_EQ(std::strlen(out), static_cast<size_t>(PathBufferSize - 1));
}

TEST(FolderListing, DoubleClickGoesByPosition)
{
  // No selection, or beyond the final entry: list the same folder again.
  EXPECT_EQ(ChooseListingMove(FolderBrowserListing, -1, 4, 10), ListingStay);
  EXPECT_EQ(ChooseListingMove(GroupBrowserListing, 4, 3, 30), ListingStay);
  // Position 0 below the top goes up, whatever its text; the final entry
  // and the others go down.
  EXPECT_EQ(ChooseListingMove(FolderBrowserListing, 0, 4, 10), ListingGoUp);
  EXPECT_EQ(ChooseListingMove(GroupBrowserListing, 0, 3, 22), ListingGoUp);
  EXPECT_EQ(ChooseListingMove(FolderBrowserListing, 4, 4, 10), ListingDescend);
  // At the top position 0 is an ordinary folder.
  EXPECT_EQ(ChooseListingMove(FolderBrowserListing, 0, 2, 3), ListingDescend);
  EXPECT_EQ(ChooseListingMove(GroupBrowserListing, 0, 2, 21), ListingDescend);
}

TEST(FolderListing, UpAndDownDifferOnlyAtTheRoot)
{
  char path[PathBufferSize] = "C:\\";
  ASSERT_TRUE(DescendFolder(FolderBrowserListing, path, sizeof(path), "Games"));
  EXPECT_STREQ(path, "C:\\Games");
  ASSERT_TRUE(GoUpFolder(FolderBrowserListing, path));
  EXPECT_STREQ(path, "C:\\");
  EXPECT_FALSE(GoUpFolder(FolderBrowserListing, path));
  EXPECT_STREQ(path, "C:\\");

  char group[PathBufferSize] = "C:";
  ASSERT_TRUE(DescendFolder(GroupBrowserListing, group, sizeof(group), "Documents and Settings"));
  EXPECT_STREQ(group, "C:\\Documents and Settings");
  ASSERT_TRUE(GoUpFolder(GroupBrowserListing, group));
  EXPECT_STREQ(group, "C:");
  EXPECT_FALSE(GoUpFolder(GroupBrowserListing, group));
  char trailing[PathBufferSize] = "C:\\Programs\\Long Folder Name\\";
  ASSERT_TRUE(GoUpFolder(GroupBrowserListing, trailing));
  EXPECT_STREQ(trailing, "C:\\Programs\\Long Folder Name");
}

TEST(FolderListing, DescentKeepsRoomForThePatternAndChangesNothingWhenRefused)
{
  char path[600];
  std::memset(path, '#', sizeof(path));
  std::string start(500, 'p');
  std::memcpy(path, start.c_str(), start.size() + 1);
  // 500 + 1 + 6 = 507: 4 for the pattern and the terminator fill 512.
  ASSERT_TRUE(DescendFolder(GroupBrowserListing, path, 512, "123456"));
  EXPECT_EQ(std::string(path), start + "\\123456");
  EXPECT_FALSE(DescendFolder(GroupBrowserListing, path, 512, ""));
  EXPECT_FALSE(DescendFolder(FolderBrowserListing, path, 512, "x"));
  EXPECT_EQ(std::string(path), start + "\\123456");
  for (size_t i = 508; i < sizeof(path); ++i)
    ASSERT_EQ(path[i], '#') << "written at " << i;
}

TEST(FolderListing, DirectoriesWithoutALeadingDotOnly)
{
  const uint32_t hidden = 0x02, system = 0x04, archive = 0x20;
  EXPECT_TRUE(IsListedEntry(DirectoryAttribute, "Games"));
  EXPECT_TRUE(IsListedEntry(DirectoryAttribute | hidden | system, "Hidden"));
  EXPECT_FALSE(IsListedEntry(DirectoryAttribute, "."));
  EXPECT_FALSE(IsListedEntry(DirectoryAttribute, ".."));
  EXPECT_FALSE(IsListedEntry(DirectoryAttribute | hidden, ".config"));
  EXPECT_FALSE(IsListedEntry(archive, "readme.txt"));
}
