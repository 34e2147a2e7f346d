// The payload archive: a plain run of entries, nothing before, between or
// after them that the reader looks at. One entry is
//
//   NameLength  1 byte, unsigned: L
//   Name        L bytes, ANSI, no terminator; "\" separates components
//   DataSize    4 bytes, unsigned, little-endian
//   Data        DataSize bytes
//
// The packer writes entries with EncodeEntryHeader and the installer reads
// them with ReadEntryHeader and ReadEntryData, so the layout lives only here.
// No Windows header: built natively for the tools and tests as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

inline constexpr int EntryNameLengthBytes = 1;
inline constexpr int EntryDataSizeBytes = 4;
inline constexpr int EntryMaxNameLength = 255;
// The name buffer: room for the longest name and its terminator.
inline constexpr int EntryNameBufferSize = 260;
inline constexpr int EntryMaxHeaderBytes =
    EntryNameLengthBytes + EntryMaxNameLength + EntryDataSizeBytes;

// Anything that hands out bytes in order. read returns how many bytes it put
// into buffer (fewer than size only at the end of the data or on an error).
struct ByteSource {
  void *context;
  size_t (*read)(void *context, void *buffer, size_t size);
};

struct EntryHeader {
  uint32_t nameLength;             // L as stored (0 to 255)
  char name[EntryNameBufferSize];  // the L bytes, NUL-terminated; an embedded
                                   // NUL cuts the name short here
  uint32_t dataSize;
};

enum EntryReadResult {
  EntryHeaderRead = 0,
  EntryEndsInNameLength,  // not even the length byte was there
  EntryEndsInName,        // fewer than L name bytes
  EntryEndsInDataSize,    // fewer than 4 size bytes
};

// Reads NameLength, Name and DataSize of the next entry. The name buffer is
// cleared first; every field that falls short is reported, and the fields
// after it are left zero. Consumes all L name bytes whatever they hold, so
// the reader stays in step after a name with an embedded NUL.
EntryReadResult ReadEntryHeader(const ByteSource *source, EntryHeader *header);

// Reads exactly size bytes of Data; false when the source ends first.
bool ReadEntryData(const ByteSource *source, void *data, uint32_t size);

// Writes the header of an entry (length byte, name, size) into out, which
// has room for EntryMaxHeaderBytes, and returns its length in bytes; 0 when
// nameLength is above EntryMaxNameLength.
size_t EncodeEntryHeader(const char *name, size_t nameLength, uint32_t dataSize, uint8_t *out);

// A source over bytes in memory.
struct MemorySource {
  const uint8_t *data;
  size_t size;
  size_t offset;
};
ByteSource MakeMemorySource(MemorySource *memory);

// A source over an open stdio file (fread).
ByteSource MakeFileSource(FILE *file);
