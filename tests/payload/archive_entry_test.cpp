// The entry layout and reader: well-formed archives, archives that end in
// every field, bytes after the last entry, embedded NULs and empty data.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "payload/archive_entry.h"
#include "common/product.h"
#include "tests/payload/archive_builder.h"

namespace {

struct Reader {
  MemorySource memory;
  ByteSource source;
};

void Open(Reader *reader, const std::vector<uint8_t> &bytes)
{
  reader->memory = MemorySource{bytes.data(), bytes.size(), 0};
  reader->source = MakeMemorySource(&reader->memory);
}

// Reads one whole entry; the data lands in data.
EntryReadResult ReadWhole(Reader *reader, EntryHeader *header, std::string *data, bool *dataOk)
{
  EntryReadResult result = ReadEntryHeader(&reader->source, header);
  *dataOk = false;
  if (result == EntryHeaderRead) {
    data->assign(header->dataSize, '\0');
    *dataOk = ReadEntryData(&reader->source, data->data(), header->dataSize);
  }
  return result;
}

TEST(PayloadArchiveEntry, EncodesTheLayoutByteForByte)
{
  uint8_t out[EntryMaxHeaderBytes];
  size_t size = EncodeEntryHeader("a\\b.txt", 7, 0x01020304u, out);
  ASSERT_EQ(size, 12u);
  const uint8_t expected[] = {7, 'a', '\\', 'b', '.', 't', 'x', 't', 4, 3, 2, 1};
  EXPECT_EQ(0, std::memcmp(out, expected, sizeof(expected)));

  std::string longest(255, 'n');
  EXPECT_EQ(EncodeEntryHeader(longest.data(), 255, 1, out), 260u);
  EXPECT_EQ(out[0], 255);
  std::string tooLong(256, 'n');
  EXPECT_EQ(EncodeEntryHeader(tooLong.data(), 256, 1, out), 0u);
}

TEST(PayloadArchiveEntry, ReadsNineteenEntriesAndIgnoresWhatFollows)
{
  std::vector<uint8_t> archive = SampleArchive(PayloadEntryCount);
  size_t wellFormed = archive.size();
  for (int junk = 0; junk < 1000; ++junk)
    archive.push_back(static_cast<uint8_t>(junk * 7));
  Reader reader;
  Open(&reader, archive);
  for (int i = 0; i < PayloadEntryCount; ++i) {
    EntryHeader header;
    std::string data;
    bool dataOk = false;
    ASSERT_EQ(ReadWhole(&reader, &header, &data, &dataOk), EntryHeaderRead) << i;
    EXPECT_TRUE(dataOk);
    EXPECT_STREQ(header.name, SampleName(i).c_str());
    EXPECT_EQ(header.nameLength, SampleName(i).size());
    EXPECT_EQ(data, SampleData(i));
  }
  EXPECT_EQ(reader.memory.offset, wellFormed);
}

TEST(PayloadArchiveEntry, AnArchiveEndingInAnyFieldIsCaught)
{
  std::vector<uint8_t> whole;
  AppendEntry(&whole, "dir\\name.bin", "0123456789");
  const size_t nameEnd = 1 + 12;
  const size_t sizeEnd = nameEnd + 4;
  for (size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    std::vector<uint8_t> bytes(whole.begin(), whole.begin() + static_cast<long>(cut));
    Reader reader;
    Open(&reader, bytes);
    EntryHeader header;
    std::string data;
    bool dataOk = true;
    EntryReadResult result = ReadWhole(&reader, &header, &data, &dataOk);
    if (cut == 0) {
      EXPECT_EQ(result, EntryEndsInNameLength);
    } else if (cut < nameEnd) {
      EXPECT_EQ(result, EntryEndsInName);
      EXPECT_STREQ(header.name, "");  // nothing half-read is passed on
    } else if (cut < sizeEnd) {
      EXPECT_EQ(result, EntryEndsInDataSize);
      EXPECT_EQ(header.dataSize, 0u);
    } else {
      EXPECT_EQ(result, EntryHeaderRead);
      EXPECT_EQ(header.dataSize, 10u);
      EXPECT_FALSE(dataOk);
    }
  }
}

TEST(PayloadArchiveEntry, AnArchiveEndingInTheNineteenthEntryIsCaught)
{
  std::vector<uint8_t> archive = SampleArchive(PayloadEntryCount);
  archive.pop_back();
  Reader reader;
  Open(&reader, archive);
  int whole = 0;
  for (int i = 0; i < PayloadEntryCount; ++i) {
    EntryHeader header;
    std::string data;
    bool dataOk = false;
    if (ReadWhole(&reader, &header, &data, &dataOk) == EntryHeaderRead && dataOk)
      ++whole;
  }
  EXPECT_EQ(whole, PayloadEntryCount - 1);
}

TEST(PayloadArchiveEntry, EmbeddedNulCutsTheNameButTheReaderStaysInStep)
{
  std::vector<uint8_t> archive;
  AppendEntry(&archive, std::string("good.txt\0hidden\\..\\x", 21), "first");
  AppendEntry(&archive, "second.txt", "second");
  Reader reader;
  Open(&reader, archive);
  EntryHeader header;
  std::string data;
  bool dataOk = false;
  ASSERT_EQ(ReadWhole(&reader, &header, &data, &dataOk), EntryHeaderRead);
  EXPECT_EQ(header.nameLength, 21u);
  EXPECT_STREQ(header.name, "good.txt");
  EXPECT_EQ(data, "first");
  ASSERT_EQ(ReadWhole(&reader, &header, &data, &dataOk), EntryHeaderRead);
  EXPECT_STREQ(header.name, "second.txt");
  EXPECT_EQ(data, "second");
}

TEST(PayloadArchiveEntry, EmptyNameAndEmptyDataAreReadAsSuch)
{
  std::vector<uint8_t> archive;
  AppendEntry(&archive, "", "x");
  AppendEntry(&archive, "empty.txt", "");
  AppendEntry(&archive, "after.txt", "z");
  Reader reader;
  Open(&reader, archive);
  EntryHeader header;
  std::string data;
  bool dataOk = false;
  ASSERT_EQ(ReadWhole(&reader, &header, &data, &dataOk), EntryHeaderRead);
  EXPECT_EQ(header.nameLength, 0u);
  EXPECT_STREQ(header.name, "");
  ASSERT_EQ(ReadWhole(&reader, &header, &data, &dataOk), EntryHeaderRead);
  EXPECT_EQ(header.dataSize, 0u);
  EXPECT_TRUE(dataOk);
  ASSERT_EQ(ReadWhole(&reader, &header, &data, &dataOk), EntryHeaderRead);
  EXPECT_STREQ(header.name, "after.txt");
  EXPECT_EQ(data, "z");
}

TEST(PayloadArchiveEntry, LongestNameIsTerminatedAndSizesAreLittleEndian)
{
  std::vector<uint8_t> archive = {255};
  archive.insert(archive.end(), 255, 'q');
  archive.insert(archive.end(), {0xFF, 0xFF, 0xFF, 0xFF});
  Reader reader;
  Open(&reader, archive);
  EntryHeader header;
  std::memset(&header, 0x55, sizeof(header));
  ASSERT_EQ(ReadEntryHeader(&reader.source, &header), EntryHeaderRead);
  EXPECT_EQ(std::strlen(header.name), 255u);
  EXPECT_EQ(header.dataSize, 0xFFFFFFFFu);
  // The data is not there: the reader says so instead of inventing it.
  std::vector<uint8_t> data(16);
  EXPECT_FALSE(ReadEntryData(&reader.source, data.data(), 16));
}

TEST(PayloadArchiveEntry, FileSourceReadsWhatTheMemorySourceReads)
{
  std::vector<uint8_t> archive = SampleArchive(3);
  FILE *file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite(archive.data(), 1, archive.size(), file), archive.size());
  std::rewind(file);
  ByteSource source = MakeFileSource(file);
  for (int i = 0; i < 3; ++i) {
    EntryHeader header;
    ASSERT_EQ(ReadEntryHeader(&source, &header), EntryHeaderRead);
    std::string data(header.dataSize, '\0');
    ASSERT_TRUE(ReadEntryData(&source, data.data(), header.dataSize));
    EXPECT_STREQ(header.name, SampleName(i).c_str());
    EXPECT_EQ(data, SampleData(i));
  }
  EntryHeader header;
  EXPECT_EQ(ReadEntryHeader(&source, &header), EntryEndsInNameLength);
  std::fclose(file);
}

// A source that hands out one byte at a time still yields whole fields.
size_t ReadOneByte(void *context, void *buffer, size_t size)
{
  MemorySource *memory = static_cast<MemorySource *>(context);
  if (size == 0 || memory->offset >= memory->size)
    return 0;
  static_cast<uint8_t *>(buffer)[0] = memory->data[memory->offset++];
  return 1;
}

TEST(PayloadArchiveEntry, ShortReadsOfASlowSourceAreCompleted)
{
  std::vector<uint8_t> archive = SampleArchive(2);
  MemorySource memory{archive.data(), archive.size(), 0};
  ByteSource source{&memory, ReadOneByte};
  EntryHeader header;
  ASSERT_EQ(ReadEntryHeader(&source, &header), EntryHeaderRead);
  std::string data(header.dataSize, '\0');
  ASSERT_TRUE(ReadEntryData(&source, data.data(), header.dataSize));
  EXPECT_EQ(data, SampleData(0));
}

}  // namespace
