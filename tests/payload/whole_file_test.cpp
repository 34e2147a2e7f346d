// Writing an installed file: only a file that is wholly on disk counts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "payload/whole_file.h"
#include "tests/payload/temp_files.h"

namespace {

TEST(PayloadWholeFile, WritesTruncatesAndMakesEmptyFiles)
{
  ScratchDir dir = MakeScratchDir();
  std::string path = dir.path + "/out.bin";
  std::string big(100000, 'b');
  ASSERT_EQ(WriteWholeFile(path.c_str(), big.data(), static_cast<uint32_t>(big.size())),
            WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), big);
  ASSERT_EQ(WriteWholeFile(path.c_str(), "small", 5), WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), "small");
  ASSERT_EQ(WriteWholeFile(path.c_str(), nullptr, 0), WholeFileWritten);
  EXPECT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  RemoveScratchDir(dir);
}

TEST(PayloadWholeFile, UncreatableDestinationIsReported)
{
  ScratchDir dir = MakeScratchDir();
  EXPECT_EQ(WriteWholeFile(dir.path.c_str(), "x", 1), WholeFileNotCreated);
  std::string missingParent = dir.path + "/no/such/dir/file";
  EXPECT_EQ(WriteWholeFile(missingParent.c_str(), "x", 1), WholeFileNotCreated);
  EXPECT_FALSE(std::filesystem::exists(dir.path + "/no"));
  RemoveScratchDir(dir);
}

TEST(PayloadWholeFile, FullDiskIsAShortWriteWhetherInWriteOrInClose)
{
  if (!std::filesystem::exists("/dev/full")) {
    GTEST_SKIP() << "no /dev/full";
  }
  std::string big(100000, 'b');
  EXPECT_EQ(WriteWholeFile("/dev/full", big.data(), static_cast<uint32_t>(big.size())),
            WholeFileShort);
  // Small enough to sit in stdio's buffer: the close is where it fails.
  EXPECT_EQ(WriteWholeFile("/dev/full", "tiny", 4), WholeFileShort);
}

// Copying an entry through a block smaller than the entry: every byte
// arrives in order, an existing file is truncated, and a source that ends
// early or a full disk is told apart from success.
TEST(PayloadWholeFile, CopiesThroughASmallBlockAndReportsShortSourceAndFullDisk)
{
  ScratchDir dir = MakeScratchDir();
  std::string path = dir.path + "/copy.bin";
  std::string data;
  for (int i = 0; i < 1000; ++i) {
    data += static_cast<char>('a' + i % 26);
  }
  WriteFileBytes(path, std::string(5000, 'o'));
  char block[7];
  MemorySource memory{reinterpret_cast<const uint8_t *>(data.data()), data.size(), 0};
  ByteSource source = MakeMemorySource(&memory);
  ASSERT_EQ(CopyWholeFile(path.c_str(), &source, 1000, block, sizeof block), WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), data);

  memory = MemorySource{reinterpret_cast<const uint8_t *>(data.data()), 20, 0};
  EXPECT_EQ(CopyWholeFile(path.c_str(), &source, 1000, block, sizeof block), WholeFileSourceShort);
  memory.offset = 0;
  ASSERT_EQ(CopyWholeFile(path.c_str(), &source, 0, block, sizeof block), WholeFileWritten);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_EQ(CopyWholeFile(dir.path.c_str(), &source, 1, block, sizeof block), WholeFileNotCreated);
  if (std::filesystem::exists("/dev/full")) {
    memory = MemorySource{reinterpret_cast<const uint8_t *>(data.data()), data.size(), 0};
    EXPECT_EQ(CopyWholeFile("/dev/full", &source, 1000, block, sizeof block), WholeFileShort);
  }
  RemoveScratchDir(dir);
}

}  // namespace
