// The look at every destination before the first write: the fit of each
// destination with its part-file name, and the walk over the headers.
#include "payload/destination_walk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/payload/archive_builder.h"

namespace {

bool SkipInMemory(void *context, uint32_t size)
{
  MemorySource *memory = static_cast<MemorySource *>(context);
  memory->offset += size;
  return memory->offset <= memory->size;
}

struct Seen {
  std::vector<std::string> destinations;
  size_t stopAt = 1000;
};

bool Record(void *context, const char *destination)
{
  Seen *seen = static_cast<Seen *>(context);
  seen->destinations.push_back(destination);
  return seen->destinations.size() < seen->stopAt;
}

DestinationWalkResult Walk(const std::vector<uint8_t> &archive, int count, const char *dir,
                           Seen *seen)
{
  MemorySource memory{archive.data(), archive.size(), 0};
  ByteSource source = MakeMemorySource(&memory);
  DataSkipper skipper = {SkipInMemory, &memory};
  DestinationVisitor visitor = {Record, seen};
  return WalkDestinations(&source, &skipper, count, dir, seen ? &visitor : nullptr);
}

}  // namespace

// Only the destination itself must stay within 259 characters: its part
// file is made relative to its folder, so a 230-character install folder
// takes the longest name, and only the part file's own one-level name must
// fit (255 characters, the file systems' limit for one name).
TEST(PayloadDestinationFit, DestinationWithinThePathLimitAndPartNameWithinOneLevel)
{
  std::string name = "Sounds\\Music.dat";  // 16 characters
  for (const char *ending : {"", "\\"}) {
    SCOPED_TRACE(ending);
    // folder + "\" (its own or the one added) + name = 259
    std::string dir = "C:\\" + std::string(259 - 16 - 1 - 3, 'd') + ending;
    EXPECT_TRUE(DestinationFits(dir.c_str(), name.c_str(), 512));
    EXPECT_FALSE(DestinationFits((dir + "x").c_str(), name.c_str(), 512));
    // The destination buffer counts too: the path and its terminator.
    EXPECT_FALSE(DestinationFits(dir.c_str(), name.c_str(), 259));
    EXPECT_TRUE(DestinationFits(dir.c_str(), name.c_str(), 260));
  }
  std::string folder230 = "C:\\" + std::string(227, 'd');
  EXPECT_TRUE(DestinationFits(folder230.c_str(), "Sounds\\Theme.wav", 512));
  // An empty folder still gets its separator, as JoinPath writes it.
  EXPECT_TRUE(DestinationFits("", ("a\\" + std::string(231, 'n')).c_str(), 512));
  EXPECT_FALSE(DestinationFits("", ("a\\" + std::string(232, 'n')).c_str(), 512));
  EXPECT_FALSE(DestinationFits("", std::string(259, 'n').c_str(), 512));
}

// Only names of the form FormatPartPath gives count as setup's part files:
// the sweeps of setup and of the uninstaller must never take a file of the
// game or of the user.
TEST(PayloadPartFileName, OnlySetupsOwnFormIsAPartFile)
{
  char part[PartNameSize];
  ASSERT_TRUE(FormatPartPath(part, sizeof(part), "Readme.rtf", 0xbdebc121432d3278ull));
  EXPECT_STREQ(part, "Readme.rtf.bdebc121432d3278.zvpart");
  EXPECT_TRUE(IsPartFileName(part));
  for (const char *name : {"a.0000000000000000.zvpart", "levels.pak.6623371d82133607.zvpart",
                           "uninstall.exe.0000000000000000.zvpart"})
    EXPECT_TRUE(IsPartFileName(name)) << name;
  for (const char *other :
       {".0123456789abcdef.zvpart", "a.0123456789abcdeF.zvpart", "a.0123456789abcde.zvpart",
        "a.0123456789abcdef0.zvpart", "a_0123456789abcdef.zvpart", "a.0123456789abcdef.zvpar",
        "a.0123456789abcdef.zvpart.txt", "a.01234567-9abcdef.zvpart", "a.0123456789abcdeg.zvpart",
        "a.0123456789abcdef.ZVPART", "x\\a.0123456789abcdef.zvpart", "Readme.rtf", "", ".zvpart",
        "mine.zvpart"})
    EXPECT_FALSE(IsPartFileName(other)) << other;
  // The kept folder has a form of its own, which no part file and no name
  // of the payload has.
  char kept[KeptFolderNameSize];
  EXPECT_FALSE(FormatKeptFolderName(kept, sizeof(kept) - 1, 1));
  ASSERT_TRUE(FormatKeptFolderName(kept, sizeof(kept), 0x0123456789abcdefull));
  EXPECT_STREQ(kept, "earlier.0123456789abcdef.zvkeep");
  EXPECT_TRUE(IsKeptFolderName(kept));
  EXPECT_FALSE(IsPartFileName(kept));
  for (const char *other :
       {"earlier.0123456789ABCDEF.zvkeep", "earlier.0123456789abcde.zvkeep",
        "earlier.0123456789abcdef.zvkeep.txt", "x.0123456789abcdef.zvkeep", "earlier.zvkeep",
        "Earlier.0123456789abcdef.zvkeep", "a.0123456789abcdef.zvpart", ""})
    EXPECT_FALSE(IsKeptFolderName(other)) << other;
  // A name too long for one level gets no part file at all.
  std::string longest(PartNameSize - 1 - PartNameExtraLength, 'n');
  EXPECT_TRUE(FormatPartPath(part, sizeof(part), longest.c_str(), 1));
  EXPECT_FALSE(FormatPartPath(part, sizeof(part), (longest + "n").c_str(), 1));
}

// Every destination is visited in archive order without the data being
// read; one that does not fit ends the walk before the visitor hears of it,
// wherever it stands in the archive.
TEST(PayloadDestinationWalk, VisitsEachDestinationAndStopsAtTheFirstThatDoesNotFit)
{
  std::vector<uint8_t> archive;
  for (int i = 0; i < 14; ++i)
    AppendEntry(&archive, SampleName(i), SampleData(i));
  Seen seen;
  ASSERT_EQ(Walk(archive, 14, "C:\\Z", &seen), WalkAllFit);
  ASSERT_EQ(seen.destinations.size(), 14u);
  EXPECT_EQ(seen.destinations[0], "C:\\Z\\file0.txt");
  EXPECT_EQ(seen.destinations[13], "C:\\Z\\dir1\\file13.txt");

  // file<i>.txt fits a folder that dir<i%2>\file<i>.txt does not.
  std::string dir = "C:\\" + std::string(259 - 10 - 1 - 3, 'd');
  Seen cut;
  EXPECT_EQ(Walk(archive, 14, dir.c_str(), &cut), WalkDestinationTooLong);
  EXPECT_EQ(cut.destinations.size(), 12u);
  EXPECT_EQ(Walk(archive, 14, dir.c_str(), nullptr), WalkDestinationTooLong);

  seen = Seen();
  seen.stopAt = 3;
  EXPECT_EQ(Walk(archive, 14, "C:\\Z", &seen), WalkStopped);
  EXPECT_EQ(seen.destinations.size(), 3u);
}
