// zv-payload-variant: makes a faulty copy of setup.exe for the end-to-end
// tests by replacing, in place, the payload resource's bytes with another
// gzip member padded with zeros to the same length (zlib's reader ignores
// what follows a member that is not another gzip header).
//
//   zv-payload-variant KIND SETUP.EXE PAYLOAD.GZ
//
// PAYLOAD.GZ is the member the build embedded; KIND is one of
//   corrupt    a deflate block of invalid type 32 KB behind the last entry
//   crc        trailer CRC-32 wrong
//   truncated  archive ends half way into the last entry's data
//   truncated_large  archive ends 300,000 bytes into the data of
//              Textures.pak, past the installer's first copy block
//   traversal  first entry named "..\" + its name
//   size0      first entry holds no data
//   slow       64 MB of zeros after the last entry: the gzip step takes
//              long enough for a driver to press Cancel before any entry
//   long_name  last entry renamed so that, below the default destination,
//              its path is one character over the path limit
//   large      Textures.pak holds 200 MB of zeros: writing it takes long
//              enough for a driver to kill setup in the middle of it
// For corrupt and crc, 64 KB of data follow the last entry, before the
// fault, so an installer that ignored the gzip error would install all
// entries and be caught. Where the variant would not fit, the data of
// Textures.pak (noise, the least compressible entry) becomes zeros.
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "payload/archive_entry.h"
#include "common/product.h"
#include "payload/destination_walk.h"
#include "payload/entry_name.h"
#include "tools/packer/pack.h"

namespace {

typedef std::vector<uint8_t> Bytes;

struct Entry {
  std::string name;
  Bytes data;
};

bool ReadAll(const char *path, Bytes *out)
{
  FILE *file = std::fopen(path, "rb");
  if (file == nullptr)
    return false;
  uint8_t block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof(block), file)) > 0)
    out->insert(out->end(), block, block + got);
  std::fclose(file);
  return true;
}

bool Inflate(const Bytes &gz, Bytes *out)
{
  z_stream stream = {};
  if (inflateInit2(&stream, 15 + 16) != Z_OK)
    return false;
  stream.next_in = const_cast<Bytef *>(gz.data());
  stream.avail_in = static_cast<uInt>(gz.size());
  uint8_t block[65536];
  int code = Z_OK;
  do {
    stream.next_out = block;
    stream.avail_out = sizeof(block);
    code = inflate(&stream, Z_NO_FLUSH);
    out->insert(out->end(), block, block + (sizeof(block) - stream.avail_out));
  } while (code == Z_OK);
  inflateEnd(&stream);
  return code == Z_STREAM_END;
}

bool Gzip(const Bytes &archive, Bytes *out)
{
  FILE *file = std::tmpfile();
  if (file == nullptr)
    return false;
  GzipWriter writer;
  bool ok = GzipBegin(&writer, file) && GzipAppend(&writer, archive.data(), archive.size());
  ok = GzipFinish(&writer) && ok;
  long size = std::ftell(file);
  std::rewind(file);
  out->assign(static_cast<size_t>(size), 0);
  ok = ok && std::fread(out->data(), 1, out->size(), file) == out->size();
  std::fclose(file);
  return ok;
}

// A gzip member whose deflate data is flushed to a byte boundary after
// first: the block that starts at *syncOffset holds the start of second.
bool GzipWithSync(const Bytes &first, const Bytes &second, Bytes *out, size_t *syncOffset)
{
  z_stream stream = {};
  if (deflateInit2(&stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  out->assign(GzipHeader, GzipHeader + sizeof(GzipHeader));
  Bytes room(deflateBound(&stream, static_cast<uLong>(first.size() + second.size())) + 1024);
  stream.next_out = room.data();
  stream.avail_out = static_cast<uInt>(room.size());
  stream.next_in = const_cast<Bytef *>(first.data());
  stream.avail_in = static_cast<uInt>(first.size());
  bool ok = deflate(&stream, Z_FULL_FLUSH) == Z_OK;
  *syncOffset = sizeof(GzipHeader) + stream.total_out;
  stream.next_in = const_cast<Bytef *>(second.data());
  stream.avail_in = static_cast<uInt>(second.size());
  ok = deflate(&stream, Z_FINISH) == Z_STREAM_END && ok;
  out->insert(out->end(), room.begin(), room.begin() + static_cast<long>(stream.total_out));
  deflateEnd(&stream);
  uLong crc = crc32(0, first.data(), static_cast<uInt>(first.size()));
  crc = crc32(crc, second.data(), static_cast<uInt>(second.size()));
  uint32_t length = static_cast<uint32_t>(first.size() + second.size());
  for (int i = 0; i < 4; ++i)
    out->push_back(static_cast<uint8_t>(crc >> (8 * i)));
  for (int i = 0; i < 4; ++i)
    out->push_back(static_cast<uint8_t>(length >> (8 * i)));
  return ok;
}

Bytes Encode(const std::vector<Entry> &entries)
{
  Bytes archive;
  for (const Entry &entry : entries) {
    uint8_t header[EntryMaxHeaderBytes];
    size_t size = EncodeEntryHeader(entry.name.data(), entry.name.size(),
                                    static_cast<uint32_t>(entry.data.size()), header);
    archive.insert(archive.end(), header, header + size);
    archive.insert(archive.end(), entry.data.begin(), entry.data.end());
  }
  return archive;
}

// 64 KB of letters that follow the last entry in the corrupt and crc
// variants: more than the 16 KB zlib may drop at an error.
Bytes TailBytes()
{
  Bytes tail;
  uint32_t x = 99;
  for (int i = 0; i < 65536; ++i) {
    x = x * 1664525u + 1013904223u;
    tail.push_back(static_cast<uint8_t>('a' + (x >> 24) % 26));
  }
  return tail;
}

// Builds the variant's gzip member; false when KIND is unknown.
bool MakeVariant(const std::string &kind, std::vector<Entry> entries, bool zeroNoise, Bytes *gz)
{
  if (zeroNoise) {
    for (Entry &entry : entries)
      if (entry.name == "Textures.pak")
        std::fill(entry.data.begin(), entry.data.end(), 0);
  }
  if (kind == "traversal") {
    entries[0].name = "..\\" + entries[0].name;
  } else if (kind == "size0") {
    entries[0].data.clear();
  } else if (kind == "long_name") {
    size_t length = MaxWindowsPath + 1 - std::strlen(DefaultInstallDir) - 1;
    entries.back().name = std::string(length - 4, 'L') + ".txt";
  } else if (kind == "large") {
    for (Entry &entry : entries)
      if (entry.name == "Textures.pak")
        entry.data.assign(200u << 20, 0);
  }
  Bytes archive = Encode(entries);
  if (kind == "corrupt") {
    // 32 KB of tail, a flush, 32 KB more: the block after the flush gets
    // the invalid block type 3, so zlib fails well behind the last entry.
    Bytes tail = TailBytes();
    archive.insert(archive.end(), tail.begin(), tail.begin() + 32768);
    size_t sync = 0;
    if (!GzipWithSync(archive, Bytes(tail.begin() + 32768, tail.end()), gz, &sync))
      return false;
    (*gz)[sync] = 0xFF;
    return true;
  }
  if (kind == "crc") {
    Bytes tail = TailBytes();
    archive.insert(archive.end(), tail.begin(), tail.end());
  } else if (kind == "slow") {
    archive.resize(archive.size() + (64u << 20), 0);
  } else if (kind == "truncated") {
    // Half the last entry's data: the member then comes out well smaller
    // than the shipped one, whatever the last file holds; a cut of a few
    // bytes could come out larger and make Textures.pak zeros.
    archive.resize(archive.size() - (entries.back().data.size() + 1) / 2);
  } else if (kind == "truncated_large") {
    size_t offset = 0;
    for (const Entry &entry : entries) {
      offset += EntryNameLengthBytes + entry.name.size() + EntryDataSizeBytes;
      if (entry.name == "Textures.pak")
        break;
      offset += entry.data.size();
    }
    archive.resize(offset + 300000);
  } else if (kind != "traversal" && kind != "size0" && kind != "slow" && kind != "long_name" &&
             kind != "large") {
    return false;
  }
  if (!Gzip(archive, gz))
    return false;
  if (kind == "crc")
    (*gz)[gz->size() - 8] ^= 0x5A;
  return true;
}

}  // namespace

int main(int argc, char **argv)
{
  if (argc != 4) {
    std::fprintf(stderr, "usage: zv-payload-variant KIND SETUP.EXE PAYLOAD.GZ\n");
    return 2;
  }
  std::string kind = argv[1];
  Bytes exe;
  Bytes original;
  if (!ReadAll(argv[2], &exe) || !ReadAll(argv[3], &original) || original.empty()) {
    std::fprintf(stderr, "zv-payload-variant: cannot read %s or %s\n", argv[2], argv[3]);
    return 1;
  }
  auto found = std::search(exe.begin(), exe.end(), original.begin(), original.end());
  if (found == exe.end() ||
      std::search(found + 1, exe.end(), original.begin(), original.end()) != exe.end()) {
    std::fprintf(stderr, "zv-payload-variant: the payload is not in %s exactly once\n", argv[2]);
    return 1;
  }
  Bytes archive;
  if (!Inflate(original, &archive)) {
    std::fprintf(stderr, "zv-payload-variant: %s is not a whole gzip member\n", argv[3]);
    return 1;
  }
  std::vector<Entry> entries;
  MemorySource memory{archive.data(), archive.size(), 0};
  ByteSource source = MakeMemorySource(&memory);
  for (int i = 0; i < PayloadEntryCount; ++i) {
    EntryHeader header;
    if (ReadEntryHeader(&source, &header) != EntryHeaderRead) {
      std::fprintf(stderr, "zv-payload-variant: archive ends in entry %d\n", i);
      return 1;
    }
    Entry entry{std::string(header.name, header.nameLength), Bytes(header.dataSize)};
    if (!ReadEntryData(&source, entry.data.data(), header.dataSize)) {
      std::fprintf(stderr, "zv-payload-variant: archive ends in entry %d\n", i);
      return 1;
    }
    entries.push_back(entry);
  }

  Bytes gz;
  bool zeroed = false;
  if (!MakeVariant(kind, entries, false, &gz)) {
    std::fprintf(stderr, "zv-payload-variant: unknown kind %s\n", kind.c_str());
    return 2;
  }
  if (gz.size() > original.size()) {
    zeroed = true;
    MakeVariant(kind, entries, true, &gz);
  }
  if (gz.size() > original.size()) {
    std::fprintf(stderr, "zv-payload-variant: %s variant (%zu bytes) does not fit %zu\n",
                 kind.c_str(), gz.size(), original.size());
    return 1;
  }
  std::copy(gz.begin(), gz.end(), found);
  std::fill(found + static_cast<long>(gz.size()), found + static_cast<long>(original.size()), 0);
  FILE *out = std::fopen(argv[2], "r+b");
  if (out == nullptr || std::fwrite(exe.data(), 1, exe.size(), out) != exe.size() ||
      std::fclose(out) != 0) {
    std::fprintf(stderr, "zv-payload-variant: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("%s variant: %zu of %zu bytes%s\n", kind.c_str(), gz.size(), original.size(),
              zeroed ? "; Textures.pak zeroed" : "");
  return 0;
}
