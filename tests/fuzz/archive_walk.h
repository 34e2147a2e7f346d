// Walks up to PayloadEntryCount entries of an archive in memory the way the
// installer does (header, name check, parent directories and destination
// joined into their bounded buffers, data) and checks what must always
// hold. Shared by both fuzz targets.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "payload/archive_entry.h"
#include "payload/entry_name.h"
#include "common/path_text.h"
#include "common/product.h"

inline void Require(bool condition)
{
  if (!condition)
    std::abort();
}

inline void WalkArchive(const uint8_t *data, size_t size)
{
  MemorySource memory{data, size, 0};
  ByteSource source = MakeMemorySource(&memory);
  std::vector<uint8_t> block;
  for (int entry = 0; entry < PayloadEntryCount; ++entry) {
    EntryHeader header;
    size_t before = memory.offset;
    EntryReadResult result = ReadEntryHeader(&source, &header);
    size_t nameLength = std::strlen(header.name);
    Require(nameLength <= header.nameLength);
    Require(memory.offset <= size);
    if (result != EntryHeaderRead) {
      Require(memory.offset == size);
      return;
    }
    Require(memory.offset == before + 5 + header.nameLength);

    EntryNameVerdict verdict = CheckInstallName(header.name);
    if (CheckPackName(header.name, nameLength) == NameAccepted)
      Require(verdict == NameAccepted);
    if (verdict == NameAccepted) {
      Require(header.name[0] != '\\' && header.name[0] != '/');
      Require(std::strchr(header.name, ':') == nullptr);
      char directory[ShortPathSize];
      for (size_t p = 1; p < nameLength; ++p)
        if (header.name[p] == '\\' &&
            JoinPath(directory, sizeof(directory), DefaultInstallDir, header.name, p))
          Require(std::strlen(directory) == std::strlen(DefaultInstallDir) + 1 + p);
      char destination[PathBufferSize];
      if (JoinPath(destination, sizeof(destination), DefaultInstallDir, header.name, nameLength))
        Require(std::strlen(destination) < sizeof(destination));
    }

    size_t left = size - memory.offset;
    if (header.dataSize > left) {
      // Not all there: the reader must say so, whatever it read.
      block.assign(left + 1, 0);
      MemorySource rest{data + memory.offset, left, 0};
      ByteSource restSource = MakeMemorySource(&rest);
      Require(!ReadEntryData(&restSource, block.data(), static_cast<uint32_t>(left + 1)));
      return;
    }
    block.assign(header.dataSize, 0);
    Require(ReadEntryData(&source, block.data(), header.dataSize));
    Require(header.dataSize == 0 ||
            std::memcmp(block.data(), data + memory.offset - header.dataSize, header.dataSize) ==
                0);
  }
}
