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

// The part file of the longest destination must stay within 259
// characters: one character more refuses it, whatever the folder's end.
TEST(PayloadDestinationFit, PartFileNameMustStayWithinThePathLimit)
{
  std::string name = "Sounds\\Music.dat";  // 16 characters
  for (const char *ending : {"", "\\"}) {
    SCOPED_TRACE(ending);
    // folder + "\" (its own or the one added) + name + 24 = 259
    std::string dir = "C:\\" + std::string(259 - 24 - 16 - 1 - 3, 'd') + ending;
    EXPECT_TRUE(DestinationFits(dir.c_str(), name.c_str(), 512));
    EXPECT_FALSE(DestinationFits((dir + "x").c_str(), name.c_str(), 512));
    // The destination buffer counts too: the part path and its terminator.
    EXPECT_FALSE(DestinationFits(dir.c_str(), name.c_str(), 259));
    EXPECT_TRUE(DestinationFits(dir.c_str(), name.c_str(), 260));
  }
  // An empty folder still gets its separator, as JoinPath writes it.
  EXPECT_TRUE(DestinationFits("", std::string(259 - 24 - 1, 'n').c_str(), 512));
  EXPECT_FALSE(DestinationFits("", std::string(259 - 24, 'n').c_str(), 512));
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
  std::string dir = "C:\\" + std::string(259 - 24 - 10 - 1 - 3, 'd');
  Seen cut;
  EXPECT_EQ(Walk(archive, 14, dir.c_str(), &cut), WalkDestinationTooLong);
  EXPECT_EQ(cut.destinations.size(), 12u);
  EXPECT_EQ(Walk(archive, 14, dir.c_str(), nullptr), WalkDestinationTooLong);

  seen = Seen();
  seen.stopAt = 3;
  EXPECT_EQ(Walk(archive, 14, "C:\\Z", &seen), WalkStopped);
  EXPECT_EQ(seen.destinations.size(), 3u);
}
