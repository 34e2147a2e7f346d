#include "destination/drives_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/product.h"

namespace {

// Lays out drive strings as the system does: each root and its terminator,
// then the closing terminator; returns the length the system would report.
int LayOut(const std::vector<std::string> &roots, char *buffer, int size)
{
  std::memset(buffer, 'x', static_cast<size_t>(size));
  int n = 0;
  for (const std::string &r : roots) {
    std::memcpy(buffer + n, r.c_str(), r.size() + 1);
    n += static_cast<int>(r.size()) + 1;
  }
  buffer[n] = '\0';
  return n;
}

std::vector<std::string> AllLetters()
{
  std::vector<std::string> roots;
  for (char c = 'a'; c <= 'z'; ++c)
    roots.push_back(std::string(1, c) + ":\\");
  return roots;
}

struct Table {
  char roots[MaxDrives][DriveRootSize];
  int count;
  int start;
};

Table Parse(const std::vector<std::string> &drives, char startLetter, int capacity = MaxDrives)
{
  char buffer[DriveStringsSize + 16];
  int length = LayOut(drives, buffer, sizeof(buffer));
  Table t;
  std::memset(t.roots, '#', sizeof(t.roots));
  t.start = -1;
  t.count = ParseDriveStrings(buffer, length, t.roots, capacity, startLetter, &t.start);
  return t;
}

}  // namespace

TEST(DestDriveStrings, ParsesAndUpperCasesEachRoot)
{
  Table t = Parse({"a:\\", "c:\\", "D:\\"}, 'D');
  ASSERT_EQ(t.count, 3);
  EXPECT_STREQ(t.roots[0], "A:\\");
  EXPECT_STREQ(t.roots[1], "C:\\");
  EXPECT_STREQ(t.roots[2], "D:\\");
  EXPECT_EQ(t.start, 2);
}

TEST(DestDriveStrings, HoldsAllTwentySixDrivesInTheirBuffer)
{
  std::vector<std::string> all = AllLetters();
  char buffer[DriveStringsSize];
  int length = LayOut(all, buffer, sizeof(buffer));
  EXPECT_EQ(length + 1, DriveStringsSize);  // the whole report fits exactly
  Table t = Parse(all, 'z');
  ASSERT_EQ(t.count, MaxDrives);
  EXPECT_STREQ(t.roots[0], "A:\\");
  EXPECT_STREQ(t.roots[25], "Z:\\");
  EXPECT_EQ(t.start, 25);
}

TEST(DestDriveStrings, NeverWritesBeyondTheTableCapacity)
{
  Table t = Parse(AllLetters(), 'a', 20);
  EXPECT_EQ(t.count, 20);
  EXPECT_STREQ(t.roots[19], "T:\\");
  EXPECT_EQ(t.roots[20][0], '#');  // untouched
}

TEST(DestDriveStrings, ReadsOnlyTheFilledLength)
{
  // The system filled "c:\" and "d:\" but reported only the first root:
  // nothing past the reported length is taken.
  char buffer[DriveStringsSize];
  LayOut({"c:\\", "d:\\"}, buffer, sizeof(buffer));
  char roots[MaxDrives][DriveRootSize];
  int start = -1;
  EXPECT_EQ(ParseDriveStrings(buffer, 4, roots, MaxDrives, 'D', &start), 1);
  EXPECT_EQ(start, -1);
  // A report cut inside a root (no terminator inside the length) keeps
  // what was filled, terminated within the entry.
  std::memcpy(buffer, "e:\\xyz", 6);
  EXPECT_EQ(ParseDriveStrings(buffer, 6, roots, MaxDrives, 0, nullptr), 1);
  EXPECT_STREQ(roots[0], "E:\\X");
  // Nothing filled: no drives.
  EXPECT_EQ(ParseDriveStrings(buffer, 0, roots, MaxDrives, 0, nullptr), 0);
}

TEST(DestDriveStrings, StopsAtTheClosingEmptyString)
{
  char buffer[16] = {'c', ':', '\\', 0, 0, 'd', ':', '\\', 0, 0};
  char roots[MaxDrives][DriveRootSize];
  EXPECT_EQ(ParseDriveStrings(buffer, 10, roots, MaxDrives, 0, nullptr), 1);
}

TEST(DestDriveStrings, FilledLengthRefusesFailureAndTooSmallBuffer)
{
  EXPECT_EQ(FilledDriveStringsLength(0, DriveStringsSize), 0);
  EXPECT_EQ(FilledDriveStringsLength(104, DriveStringsSize), 104);
  // The system needs more room than given: it wrote nothing usable.
  EXPECT_EQ(FilledDriveStringsLength(DriveStringsSize, DriveStringsSize), 0);
  EXPECT_EQ(FilledDriveStringsLength(500, DriveStringsSize), 0);
}

TEST(DestCurrentDrive, DriveCTakesPrecedenceOverTheStartUpDrive)
{
  Table t = Parse({"A:\\", "C:\\", "D:\\", "E:\\"}, 'E');
  EXPECT_EQ(t.start, 3);
  EXPECT_EQ(FindDriveC(t.roots, t.count), 1);
  EXPECT_EQ(ChooseCurrentDrive(t.roots, t.count, t.start, 0), 1);
}

TEST(DestCurrentDrive, WithoutDriveCTheStartUpDriveIsChosen)
{
  Table t = Parse({"A:\\", "D:\\", "E:\\"}, 'E');
  EXPECT_EQ(FindDriveC(t.roots, t.count), -1);
  EXPECT_EQ(ChooseCurrentDrive(t.roots, t.count, t.start, 0), 2);
}

TEST(DestCurrentDrive, WithoutDriveCOrStartMatchTheEarlierValueStays)
{
  // Started from a network path: StartDir begins with a backslash.
  Table t = Parse({"A:\\", "D:\\"}, '\\');
  EXPECT_EQ(t.start, -1);
  EXPECT_EQ(ChooseCurrentDrive(t.roots, t.count, t.start, 0), 0);
  EXPECT_EQ(ChooseCurrentDrive(t.roots, t.count, t.start, 1), 1);
  // No drives at all.
  EXPECT_EQ(ChooseCurrentDrive(t.roots, 0, -1, 0), 0);
}

namespace {

struct Probe {
  std::vector<std::string> existing;
  std::vector<std::string> asked;
};

bool ProbeExists(const char *path, void *context)
{
  Probe *p = static_cast<Probe *>(context);
  p->asked.push_back(path);
  for (const std::string &e : p->existing)
    if (e == path)
      return true;
  return false;
}

}  // namespace

TEST(DestBaseDir, ProgramFilesOnTheWindowsDriveWhenItExists)
{
  Probe probe{{"C:\\Program files"}, {}};
  char base[PathBufferSize] = "";
  ChooseBaseDir(base, sizeof(base), "C:\\windows", "C:\\", ProbeExists, &probe);
  EXPECT_STREQ(base, "C:\\Program files");
  ASSERT_EQ(probe.asked.size(), 1u);
}

TEST(DestBaseDir, DriveCRootWhenProgramFilesIsMissing)
{
  Probe probe{{}, {}};
  char base[PathBufferSize] = "";
  ChooseBaseDir(base, sizeof(base), "C:\\WINDOWS", "C:\\", ProbeExists, &probe);
  EXPECT_STREQ(base, "C:\\");
  EXPECT_EQ(probe.asked.at(0), "C:\\Program files");
}

TEST(DestBaseDir, WindowsOnDriveDUsesDsProgramFilesOrFallsBackToC)
{
  Probe probe{{"D:\\Program files"}, {}};
  char base[PathBufferSize] = "";
  ChooseBaseDir(base, sizeof(base), "d:\\winnt", "C:\\", ProbeExists, &probe);
  EXPECT_STREQ(base, "D:\\Program files");

  Probe none{{"C:\\Program files"}, {}};
  ChooseBaseDir(base, sizeof(base), "D:\\WINNT", "C:\\", ProbeExists, &none);
  EXPECT_STREQ(base, "C:\\");
  EXPECT_EQ(none.asked.at(0), "D:\\Program files");
}

TEST(DestBaseDir, UnreadableWindowsDirectoryFallsBackWithoutProbing)
{
  Probe probe{{}, {}};
  char base[PathBufferSize] = "old";
  ChooseBaseDir(base, sizeof(base), "", "C:\\", ProbeExists, &probe);
  EXPECT_STREQ(base, "C:\\");
  EXPECT_TRUE(probe.asked.empty());
  // A tiny buffer is cut, never overrun.
  char small[3];
  ChooseBaseDir(small, sizeof(small), "", "C:\\", ProbeExists, &probe);
  EXPECT_STREQ(small, "C:");
}

TEST(DestFreeSpace, UnitsOfThousandBytesTruncated)
{
  // Arguments as the system reports them: sectors per cluster, bytes per
  // sector, free clusters.
  EXPECT_EQ(FreeSpaceUnits(1, 1, 1000, 5000), 5000u);
  EXPECT_EQ(FreeSpaceUnits(1, 1, 1, 4999999), 4999u);
  EXPECT_EQ(FreeSpaceUnits(1, 8, 512, 1220), 4997u);  // 4,997,120 bytes
  EXPECT_EQ(FreeSpaceUnits(1, 0, 512, 100), 0u);
}

TEST(DestFreeSpace, ProductIsFormedBeyondThirtyTwoBits)
{
  // 8 GiB free: 8 sectors of 512 bytes, 2,097,152 clusters.
  EXPECT_EQ(FreeSpaceUnits(1, 8, 512, 2097152), 8589934u);
  // 4 GiB exactly would wrap to 0 in 32 bits.
  EXPECT_EQ(FreeSpaceUnits(1, 8, 512, 1048576), 4294967u);
}

TEST(DestFreeSpace, FailedQueryCountsAsNoSpace)
{
  EXPECT_EQ(FreeSpaceUnits(0, 8, 512, 2097152), 0u);
  EXPECT_FALSE(FreeSpaceSuffices(FreeSpaceUnits(0, 8, 512, 2097152)));
}

TEST(DestFreeSpace, HugeDrivesAreHeldAtTheMaximumAndPass)
{
  // Clusters of 1,000,000 bytes: 4,294,968 of them are 4,294,968,000 units,
  // past the 32-bit maximum.
  EXPECT_EQ(FreeSpaceUnits(1, 1000, 1000, 4294968u), 4294967295u);
  EXPECT_EQ(FreeSpaceUnits(1, 1, 1000, 4294967295u), 4294967295u);
  // All three factors at their largest: 64 bits overflow too.
  EXPECT_EQ(FreeSpaceUnits(1, UINT32_MAX, UINT32_MAX, UINT32_MAX), 4294967295u);
  EXPECT_TRUE(FreeSpaceSuffices(4294967295u));
  // One below the maximum stays exact.
  EXPECT_EQ(FreeSpaceUnits(1, 1, 1000, 4294967294u), 4294967294u);
}

TEST(DestFreeSpace, ExactlyTheRequiredAmountPasses)
{
  EXPECT_TRUE(FreeSpaceSuffices(RequiredKB));
  EXPECT_FALSE(FreeSpaceSuffices(RequiredKB - 1));
  EXPECT_TRUE(FreeSpaceSuffices(RequiredKB + 1));
}
