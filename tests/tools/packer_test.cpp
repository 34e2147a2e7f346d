// The packer: its refusals name the file and the rule; its output is the
// exact gzip member the installer expects, the same every time.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "payload/archive_entry.h"
#include "common/product.h"
#include "tests/payload/temp_files.h"
#include "tools/packer/pack.h"

namespace {

class PackerTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    dir_ = MakeScratchDir();
    ASSERT_FALSE(dir_.path.empty());
    root_ = dir_.path + "/app";
  }
  void TearDown() override
  {
    RemoveScratchDir(dir_);
  }

  // A tree of count files: 12 at the top, the rest in Maps and Sounds.
  void MakeTree(int count)
  {
    for (int i = 0; i < count; ++i) {
      std::string sub = i < 12 ? "" : (i % 2 == 0 ? "Maps/" : "Sounds/");
      std::string data(static_cast<size_t>(100 + i * 37), static_cast<char>('a' + i % 26));
      data += std::to_string(i);
      WriteFileBytes(root_ + "/" + sub + "file" + std::to_string(i) + ".dat", data);
    }
  }

  std::string Refusal(std::vector<PackInput> inputs, int count)
  {
    std::string error;
    EXPECT_FALSE(CheckPackInputs(&inputs, count, &error));
    return error;
  }

  // Inputs for explicitly named entries, each backed by a 5-byte file.
  std::vector<PackInput> Named(const std::vector<std::string> &names)
  {
    std::vector<PackInput> inputs;
    for (size_t i = 0; i < names.size(); ++i) {
      std::string path = dir_.path + "/src" + std::to_string(i);
      WriteFileBytes(path, "bytes");
      inputs.push_back(PackInput{names[i], path, 0});
    }
    return inputs;
  }

  ScratchDir dir_;
  std::string root_;
};

std::vector<std::string> Names(int count)
{
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i)
    names.push_back("n" + std::to_string(i));
  return names;
}

TEST_F(PackerTest, RefusesACountOtherThanTheOneAskedFor)
{
  MakeTree(18);
  std::vector<PackInput> inputs;
  std::string error;
  ASSERT_TRUE(CollectTree(root_, &inputs, &error)) << error;
  EXPECT_NE(Refusal(inputs, PayloadEntryCount).find("18 files given, exactly 19 asked for"),
            std::string::npos);
  MakeTree(20);
  inputs.clear();
  ASSERT_TRUE(CollectTree(root_, &inputs, &error));
  EXPECT_NE(Refusal(inputs, PayloadEntryCount).find("20 files given"), std::string::npos);
}

TEST_F(PackerTest, RefusesEveryBrokenNameNamingTheFileAndTheRule)
{
  struct Case {
    std::string name;
    std::string rule;
  };
  const Case cases[] = {
      {"", "empty"},
      {std::string(256, 'x'), "longer than 255"},
      {"..\\up.txt", "\"..\""},
      {"Maps\\..\\..\\up.txt", "\"..\""},
      {"C:\\abs.txt", "colon"},
      {"D:rel.txt", "colon"},
      {"\\abs.txt", "separator"},
      {std::string(231, 'p'), "259"},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> names = Names(1);
    names.push_back(c.name);
    std::vector<PackInput> inputs = Named(names);
    std::string error = Refusal(inputs, 2);
    EXPECT_NE(error.find(c.rule), std::string::npos) << error;
    EXPECT_NE(error.find(inputs[1].sourcePath), std::string::npos) << error;
  }
  // The longest name that keeps the default path within 259 is accepted.
  std::vector<PackInput> fits = Named({std::string(230, 'p')});
  std::string error;
  EXPECT_TRUE(CheckPackInputs(&fits, 1, &error)) << error;
}

TEST_F(PackerTest, RefusesEmptyFilesAndNamesThatDifferOnlyInCase)
{
  std::vector<PackInput> inputs = Named({"a.txt", "b.txt"});
  WriteFileBytes(inputs[1].sourcePath, "");
  std::string error = Refusal(inputs, 2);
  EXPECT_NE(error.find("0 bytes"), std::string::npos) << error;
  EXPECT_NE(error.find(inputs[1].sourcePath), std::string::npos);

  std::vector<PackInput> twins = Named({"Readme.rtf", "README.RTF"});
  EXPECT_NE(Refusal(twins, 2).find("ignores case"), std::string::npos);
}

TEST_F(PackerTest, MemberHasTheFixedHeaderAndAnExactTrailer)
{
  MakeTree(PayloadEntryCount);
  std::vector<PackInput> inputs;
  std::string error;
  ASSERT_TRUE(CollectTree(root_, &inputs, &error));
  ASSERT_TRUE(CheckPackInputs(&inputs, PayloadEntryCount, &error)) << error;
  std::string gzPath = dir_.path + "/payload.gz";
  std::string datPath = dir_.path + "/payload.dat";
  ASSERT_TRUE(WritePayload(inputs, gzPath, datPath, &error)) << error;
  std::string gz = ReadFileBytes(gzPath);
  std::string archive = ReadFileBytes(datPath);

  const std::string header("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\x0b", 10);
  ASSERT_GT(gz.size(), 18u);
  EXPECT_EQ(gz.substr(0, 10), header);

  // Raw inflate from byte 10: the deflate data must end exactly 8 bytes
  // before the end of the file, and inflate to the archive.
  z_stream stream = {};
  ASSERT_EQ(inflateInit2(&stream, -15), Z_OK);
  std::string inflated(archive.size() + 16, '\0');
  stream.next_in = reinterpret_cast<Bytef *>(gz.data() + 10);
  stream.avail_in = static_cast<uInt>(gz.size() - 10);
  stream.next_out = reinterpret_cast<Bytef *>(inflated.data());
  stream.avail_out = static_cast<uInt>(inflated.size());
  EXPECT_EQ(inflate(&stream, Z_FINISH), Z_STREAM_END);
  EXPECT_EQ(stream.avail_in, 8u);
  inflated.resize(stream.total_out);
  inflateEnd(&stream);
  EXPECT_EQ(inflated, archive);

  uint32_t crc = static_cast<uint32_t>(
      crc32(0, reinterpret_cast<const Bytef *>(archive.data()), static_cast<uInt>(archive.size())));
  const unsigned char *trailer = reinterpret_cast<const unsigned char *>(gz.data() + gz.size() - 8);
  uint32_t storedCrc = trailer[0] | trailer[1] << 8 | trailer[2] << 16 | uint32_t(trailer[3]) << 24;
  uint32_t storedLength =
      trailer[4] | trailer[5] << 8 | trailer[6] << 16 | uint32_t(trailer[7]) << 24;
  EXPECT_EQ(storedCrc, crc);
  EXPECT_EQ(storedLength, archive.size());

  // Level 9 with the default window: deflate of the archive at level 9
  // gives the same bytes.
  std::string reference(compressBound(static_cast<uLong>(archive.size())), '\0');
  z_stream again = {};
  ASSERT_EQ(deflateInit2(&again, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
  again.next_in = reinterpret_cast<Bytef *>(archive.data());
  again.avail_in = static_cast<uInt>(archive.size());
  again.next_out = reinterpret_cast<Bytef *>(reference.data());
  again.avail_out = static_cast<uInt>(reference.size());
  ASSERT_EQ(deflate(&again, Z_FINISH), Z_STREAM_END);
  reference.resize(again.total_out);
  deflateEnd(&again);
  EXPECT_EQ(gz.substr(10, gz.size() - 18), reference);
}

TEST_F(PackerTest, ArchiveHoldsTheFilesSortedByName)
{
  MakeTree(PayloadEntryCount);
  std::vector<PackInput> inputs;
  std::string error;
  ASSERT_TRUE(CollectTree(root_, &inputs, &error));
  ASSERT_TRUE(CheckPackInputs(&inputs, PayloadEntryCount, &error));
  std::string datPath = dir_.path + "/payload.dat";
  ASSERT_TRUE(WritePayload(inputs, dir_.path + "/payload.gz", datPath, &error));
  std::string archive = ReadFileBytes(datPath);
  MemorySource memory{reinterpret_cast<const uint8_t *>(archive.data()), archive.size(), 0};
  ByteSource source = MakeMemorySource(&memory);
  std::string previous;
  int top = 0;
  for (int i = 0; i < PayloadEntryCount; ++i) {
    EntryHeader header;
    ASSERT_EQ(ReadEntryHeader(&source, &header), EntryHeaderRead);
    std::string name = header.name;
    EXPECT_LT(previous, name);
    previous = name;
    std::string sourcePath = root_ + "/" + name;
    for (char &c : sourcePath)
      c = c == '\\' ? '/' : c;
    std::string data(header.dataSize, '\0');
    ASSERT_TRUE(ReadEntryData(&source, data.data(), header.dataSize));
    EXPECT_EQ(data, ReadFileBytes(sourcePath)) << name;
    top += name.find('\\') == std::string::npos ? 1 : 0;
  }
  EXPECT_EQ(top, 12);
  EXPECT_EQ(memory.offset, archive.size());
}

TEST_F(PackerTest, SameInputGivesTheSameBytesInAnyOrder)
{
  MakeTree(PayloadEntryCount);
  std::vector<PackInput> inputs;
  std::string error;
  ASSERT_TRUE(CollectTree(root_, &inputs, &error));
  std::vector<PackInput> reversed(inputs.rbegin(), inputs.rend());
  ASSERT_TRUE(CheckPackInputs(&inputs, PayloadEntryCount, &error));
  ASSERT_TRUE(CheckPackInputs(&reversed, PayloadEntryCount, &error));
  ASSERT_TRUE(WritePayload(inputs, dir_.path + "/one.gz", "", &error));
  ASSERT_TRUE(WritePayload(reversed, dir_.path + "/two.gz", "", &error));
  std::string one = ReadFileBytes(dir_.path + "/one.gz");
  EXPECT_FALSE(one.empty());
  EXPECT_EQ(one, ReadFileBytes(dir_.path + "/two.gz"));
}

TEST_F(PackerTest, CommandRefusesWithAMessageAndWritesNothing)
{
  MakeTree(PayloadEntryCount);
  std::string output = dir_.path + "/out.gz";
  std::string log = dir_.path + "/log.txt";
  std::string base = std::string(ZV_PACK_PATH) + " --output " + output + " --dir " + root_;
  EXPECT_EQ(std::system((base + " --count 19 2>" + log).c_str()), 0);
  EXPECT_TRUE(std::filesystem::exists(output));
  std::filesystem::remove(output);

  EXPECT_NE(std::system((base + " --count 18 2>" + log).c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(output));
  EXPECT_NE(ReadFileBytes(log).find("refused: 19 files given, exactly 18 asked for"),
            std::string::npos);

  WriteFileBytes(root_ + "/empty.txt", "");
  EXPECT_NE(std::system((base + " --count 20 2>" + log).c_str()), 0);
  EXPECT_NE(ReadFileBytes(log).find(root_ + "/empty.txt (\"empty.txt\"): the file has 0 bytes"),
            std::string::npos)
      << ReadFileBytes(log);
  EXPECT_FALSE(std::filesystem::exists(output));
}

}  // namespace
