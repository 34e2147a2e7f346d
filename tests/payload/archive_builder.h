// Builds payload archives in memory for the tests, through the same
// encoder the packer uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/archive_entry.h"

inline void AppendEntry(std::vector<uint8_t> *archive, const std::string &name,
                        const std::string &data)
{
  uint8_t header[EntryMaxHeaderBytes];
  size_t size =
      EncodeEntryHeader(name.data(), name.size(), static_cast<uint32_t>(data.size()), header);
  archive->insert(archive->end(), header, header + size);
  archive->insert(archive->end(), data.begin(), data.end());
}

// Entry i is named "file<i>.txt" (or "dir<i%2>\file<i>.txt" for i >= 12)
// and holds i + 1 lines of text.
inline std::string SampleName(int i)
{
  return i < 12 ? "file" + std::to_string(i) + ".txt"
                : "dir" + std::to_string(i % 2) + "\\file" + std::to_string(i) + ".txt";
}

inline std::string SampleData(int i)
{
  std::string data;
  for (int line = 0; line <= i; ++line)
    data += "entry " + std::to_string(i) + " line " + std::to_string(line) + "\r\n";
  return data;
}

inline std::vector<uint8_t> SampleArchive(int count)
{
  std::vector<uint8_t> archive;
  for (int i = 0; i < count; ++i)
    AppendEntry(&archive, SampleName(i), SampleData(i));
  return archive;
}
