// Writing an installed file through blocks: only a file that is wholly on
// disk counts.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "payload/whole_file.h"
#include "tests/payload/file_by_path.h"
#include "tests/payload/temp_files.h"

namespace {

// Copying an entry through a block smaller than the entry: every byte
// arrives in order, the last one too when it is alone in its block, an
// existing file is truncated, and a source that ends early or a full disk
// is told apart from success.
TEST(PayloadWholeFile, CopiesThroughASmallBlockAndReportsShortSourceAndFullDisk)
{
  ScratchDir dir = MakeScratchDir();
  std::string path = dir.path + "/copy.bin";
  std::string data;
  for (int i = 0; i < 1000; ++i)
    data += static_cast<char>('a' + i % 26);
  WriteFileBytes(path, std::string(5000, 'o'));
  char block[7];
  MemorySource memory{reinterpret_cast<const uint8_t *>(data.data()), data.size(), 0};
  ByteSource source = MakeMemorySource(&memory);
  ASSERT_EQ(CopyWholeFile(path.c_str(), &source, 1000, block, sizeof(block)), WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), data);

  memory = MemorySource{reinterpret_cast<const uint8_t *>(data.data()), 20, 0};
  EXPECT_EQ(CopyWholeFile(path.c_str(), &source, 1000, block, sizeof(block)), WholeFileSourceShort);
  memory.offset = 0;
  ASSERT_EQ(CopyWholeFile(path.c_str(), &source, 0, block, sizeof(block)), WholeFileWritten);
  EXPECT_EQ(std::filesystem::file_size(path), 0u);
  EXPECT_EQ(CopyWholeFile(dir.path.c_str(), &source, 1, block, sizeof(block)), WholeFileNotCreated);
  // An entry one byte longer than a whole number of blocks: the last byte,
  // alone in its block, arrives too.
  const std::string tail = std::string(3 * sizeof(block), 'x') + "Z";
  memory = MemorySource{reinterpret_cast<const uint8_t *>(tail.data()), tail.size(), 0};
  ASSERT_EQ(CopyWholeFile(path.c_str(), &source, 22, block, sizeof(block)), WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), tail);
  if (std::filesystem::exists("/dev/full")) {
    memory = MemorySource{reinterpret_cast<const uint8_t *>(data.data()), data.size(), 0};
    EXPECT_EQ(CopyWholeFile("/dev/full", &source, 1000, block, sizeof(block)), WholeFileShort);
  }
  RemoveScratchDir(dir);
}

}  // namespace
