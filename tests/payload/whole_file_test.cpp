// Writing an installed file: only a file that is wholly on disk counts.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "payload/whole_file.h"
#include "tests/payload/file_by_path.h"
#include "tests/payload/temp_files.h"

namespace {

TEST(PayloadWholeFile, WritesNewFilesOnly)
{
  ScratchDir dir = MakeScratchDir();
  std::string path = dir.path + "/out.bin";
  std::string big(100000, 'b');
  ASSERT_EQ(WriteNewFile(path.c_str(), big.data(), static_cast<uint32_t>(big.size())),
            WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), big);
  std::string empty = dir.path + "/empty.bin";
  ASSERT_EQ(WriteNewFile(empty.c_str(), nullptr, 0), WholeFileWritten);
  EXPECT_TRUE(std::filesystem::exists(empty));
  EXPECT_EQ(std::filesystem::file_size(empty), 0u);
  RemoveScratchDir(dir);
}

// Whatever stands at the name, a file or a link planted there (to a file
// elsewhere or to nothing), is neither opened nor written through.
TEST(PayloadWholeFile, NewFileRefusesEveryNameThatExists)
{
  ScratchDir dir = MakeScratchDir();
  std::string existing = dir.path + "/existing";
  std::string victim = dir.path + "/victim";
  std::string link = dir.path + "/link";
  std::string dangling = dir.path + "/dangling";
  WriteFileBytes(existing, "old");
  WriteFileBytes(victim, "victim");
  std::filesystem::create_symlink(victim, link);
  std::filesystem::create_symlink(dir.path + "/nothing", dangling);
  for (const std::string &path : {existing, link, dangling}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(WriteNewFile(path.c_str(), "new", 3), WholeFileNotCreated);
    EXPECT_EQ(CreateNewFile(path.c_str()), nullptr);
  }
  EXPECT_EQ(ReadFileBytes(existing), "old");
  EXPECT_EQ(ReadFileBytes(victim), "victim");
  EXPECT_FALSE(std::filesystem::exists(dir.path + "/nothing"));
  EXPECT_EQ(WriteNewFile(dir.path.c_str(), "x", 1), WholeFileNotCreated);
  std::string missingParent = dir.path + "/no/such/dir/file";
  EXPECT_EQ(WriteNewFile(missingParent.c_str(), "x", 1), WholeFileNotCreated);
  EXPECT_FALSE(std::filesystem::exists(dir.path + "/no"));
  RemoveScratchDir(dir);
}

// Copying an entry through a block smaller than the entry: every byte
// arrives in order, an existing file is truncated, and a source that ends
// early or a full disk is told apart from success.
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
  if (std::filesystem::exists("/dev/full")) {
    memory = MemorySource{reinterpret_cast<const uint8_t *>(data.data()), data.size(), 0};
    EXPECT_EQ(CopyWholeFile("/dev/full", &source, 1000, block, sizeof(block)), WholeFileShort);
  }
  RemoveScratchDir(dir);
}

// An entry one byte longer than a whole number of blocks: the last byte,
// alone in its block, arrives too.
TEST(PayloadWholeFile, ByteAfterTheLastWholeBlockIsWritten)
{
  ScratchDir dir = MakeScratchDir();
  std::string path = dir.path + "/tail.bin";
  std::string data = std::string(3 * 7, 'x') + "Z";
  char block[7];
  MemorySource memory{reinterpret_cast<const uint8_t *>(data.data()), data.size(), 0};
  ByteSource source = MakeMemorySource(&memory);
  ASSERT_EQ(CopyWholeFile(path.c_str(), &source, 22, block, sizeof(block)), WholeFileWritten);
  EXPECT_EQ(ReadFileBytes(path), data);
  RemoveScratchDir(dir);
}

// A disk that takes only 1000 bytes (the file-size limit stands in for
// it): a small file fails only when stdio flushes it at the close, a large
// one already in the write; neither counts as written.
TEST(PayloadWholeFile, NewFileOnAFullDiskIsNotWritten)
{
  ScratchDir dir = MakeScratchDir();
  std::string small = dir.path + "/small.bin";
  std::string large = dir.path + "/large.bin";
  std::string data(100000, 'f');
  rlimit before;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &before), 0);
  rlimit full = before;
  full.rlim_cur = 1000;
  void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &full), 0);
  WholeFileResult smallResult = WriteNewFile(small.c_str(), data.data(), 2000);
  WholeFileResult largeResult =
      WriteNewFile(large.c_str(), data.data(), static_cast<uint32_t>(data.size()));
  setrlimit(RLIMIT_FSIZE, &before);
  std::signal(SIGXFSZ, previous);
  EXPECT_EQ(smallResult, WholeFileShort);
  EXPECT_EQ(largeResult, WholeFileShort);
  RemoveScratchDir(dir);
}

}  // namespace
