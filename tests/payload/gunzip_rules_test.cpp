// The gzip step natively: every outcome is reported with its exact text and
// only a whole, verified stream counts as success.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "payload/gunzip_rules.h"
#include "resources/setup_texts.h"
#include "tests/payload/file_by_path.h"
#include "tests/payload/temp_files.h"
#include "tools/packer/pack.h"

namespace {

std::string Gzip(const std::string &data)
{
  FILE *file = std::tmpfile();
  GzipWriter writer;
  GzipBegin(&writer, file);
  GzipAppend(&writer, data.data(), data.size());
  GzipFinish(&writer);
  std::string bytes(static_cast<size_t>(std::ftell(file)), '\0');
  std::rewind(file);
  size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  bytes.resize(got);
  return bytes;
}

// Text that compresses but not to nothing, and is long enough that zlib's
// 16 KB blocks matter.
std::string Payload(size_t size)
{
  std::string data;
  uint32_t x = 12345;
  while (data.size() < size) {
    x = x * 1103515245u + 12345u;
    data += "line " + std::to_string(x % 977) + " of the payload\n";
  }
  data.resize(size);
  return data;
}

class PayloadGunzip : public ::testing::Test {
protected:
  void SetUp() override
  {
    dir_ = MakeScratchDir();
    ASSERT_FALSE(dir_.path.empty());
    input_ = dir_.path + "/filesdata.gz";
    output_ = dir_.path + "/filesdata.dat";
    reporter_ = GzipReporter{CollectDirect, CollectError, &messages_};
  }
  void TearDown() override
  {
    RemoveScratchDir(dir_);
  }

  bool Run()
  {
    return GunzipFileReporting(output_.c_str(), input_.c_str(), &reporter_);
  }

  ScratchDir dir_;
  std::string input_;
  std::string output_;
  Messages messages_;
  GzipReporter reporter_{};
};

TEST_F(PayloadGunzip, WholeStreamIsCopiedWithoutAMessage)
{
  std::string data = Payload(200000);
  WriteFileBytes(input_, Gzip(data));
  EXPECT_TRUE(Run());
  EXPECT_EQ(ReadFileBytes(output_), data);
  EXPECT_TRUE(messages_.direct.empty());
  EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(PayloadGunzip, InputThatIsNotGzipPassesThroughUnchanged)
{
  std::string data = "plain text, no gzip magic here\n" + Payload(40000);
  WriteFileBytes(input_, data);
  EXPECT_TRUE(Run());
  EXPECT_EQ(ReadFileBytes(output_), data);
  EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(PayloadGunzip, CorruptDeflateDataFails)
{
  std::string gz = Gzip(Payload(300000));
  for (size_t i = gz.size() / 2; i < gz.size() / 2 + 64; ++i)
    gz[i] = static_cast<char>(gz[i] ^ 0x5A);
  WriteFileBytes(input_, gz);
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages_.errors.size(), 1u);
  // zlib's text names the gzip file first.
  EXPECT_EQ(messages_.errors[0].rfind(input_ + ": ", 0), 0u) << messages_.errors[0];
  EXPECT_TRUE(messages_.direct.empty());
}

TEST_F(PayloadGunzip, TrailerCrcMismatchFails)
{
  std::string data = Payload(300000);
  std::string gz = Gzip(data);
  gz[gz.size() - 8] = static_cast<char>(gz[gz.size() - 8] ^ 1);
  WriteFileBytes(input_, gz);
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_EQ(messages_.errors[0], input_ + ": incorrect data check");
  // What was decoded before the check stays on disk, and is not all of it.
  EXPECT_LE(ReadFileBytes(output_).size(), data.size());
}

TEST_F(PayloadGunzip, TrailerLengthMismatchFails)
{
  std::string gz = Gzip(Payload(50000));
  gz[gz.size() - 4] = static_cast<char>(gz[gz.size() - 4] ^ 1);
  WriteFileBytes(input_, gz);
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_EQ(messages_.errors[0], input_ + ": incorrect length check");
}

TEST_F(PayloadGunzip, StreamCutShortFailsAtTheClose)
{
  std::string gz = Gzip(Payload(100000));
  for (size_t cut : {gz.size() - 3, gz.size() - 8, gz.size() / 2}) {
    SCOPED_TRACE(cut);
    messages_ = Messages();
    std::filesystem::remove(output_);  // the step makes a new file each time
    WriteFileBytes(input_, gz.substr(0, cut));
    EXPECT_FALSE(Run());
    ASSERT_FALSE(messages_.errors.empty());
    EXPECT_EQ(messages_.errors.back(), FailedGzcloseText);
  }
}

TEST_F(PayloadGunzip, MissingInputIsNamedAndCreatesNoOutput)
{
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages_.direct.size(), 1u);
  EXPECT_EQ(messages_.direct[0], FilledText(CantOpenFileFormat, input_));
  EXPECT_TRUE(messages_.errors.empty());
  EXPECT_FALSE(std::filesystem::exists(output_));
}

// The output is always a new file: a directory, a file or a link planted at
// its name is named in the message and left as it was.
TEST_F(PayloadGunzip, OutputThatCannotBeCreatedIsNamed)
{
  WriteFileBytes(input_, Gzip("data"));
  std::filesystem::create_directory(output_);  // a directory of that name
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages_.direct.size(), 1u);
  EXPECT_EQ(messages_.direct[0], FilledText(CantCreateFileFormat, output_));
  EXPECT_TRUE(std::filesystem::is_directory(output_));

  std::filesystem::remove(output_);
  std::string victim = dir_.path + "/victim";
  WriteFileBytes(victim, "victim");
  std::filesystem::create_symlink(victim, output_);
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages_.direct.size(), 2u);
  EXPECT_EQ(messages_.direct[1], FilledText(CantCreateFileFormat, output_));
  EXPECT_EQ(ReadFileBytes(victim), "victim");
}

TEST_F(PayloadGunzip, FullDiskIsAFailedWriteOrClose)
{
  if (!std::filesystem::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full";
  // The step makes its own output; a full disk is given to the stream copy.
  auto runIntoFullDisk = [this]() {
    gzFile input = gzopen(input_.c_str(), "rb");
    FILE *full = std::fopen("/dev/full", "wb");
    return input != nullptr && full != nullptr &&
           GunzipOpenedReporting(input, full, "/dev/full", input_.c_str(), &reporter_);
  };
  // A whole block goes past stdio's buffer: the write itself fails.
  WriteFileBytes(input_, Gzip(Payload(100000)));
  EXPECT_FALSE(runIntoFullDisk());
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_EQ(messages_.errors[0], FailedFwriteText);
  // A few bytes stay in stdio's buffer until the close, which fails.
  messages_ = Messages();
  WriteFileBytes(input_, Gzip("short"));
  EXPECT_FALSE(runIntoFullDisk());
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_EQ(messages_.errors[0], FailedFcloseText);
}

TEST(PayloadGzipError, PrefixColonTextAndLineEnd)
{
  char out[64];
  FormatGzipError(out, sizeof(out), FailedFwriteText);
  EXPECT_EQ(std::string(out), std::string(GzipErrorPrefix) + ": " + FailedFwriteText + "\n");
  char small[8];
  FormatGzipError(small, sizeof(small), "a long message that does not fit");
  EXPECT_EQ(std::string(small).size(), 7u);
}

}  // namespace
