#include "payload/whole_file.h"

#include <cstdio>

WholeFileResult WriteWholeFile(const char *path, const void *data, uint32_t size)
{
  FILE *file = std::fopen(path, "wb");
  if (file == nullptr) {
    return WholeFileNotCreated;
  }
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  bool closed = std::fclose(file) == 0;
  return written && closed ? WholeFileWritten : WholeFileShort;
}

WholeFileResult CopyWholeFile(const char *path, const ByteSource *source, uint32_t size,
                              void *buffer, size_t bufferSize)
{
  FILE *file = std::fopen(path, "wb");
  if (file == nullptr) {
    return WholeFileNotCreated;
  }
  // The blocks are already large: stdio's own buffer would only add a copy.
  std::setvbuf(file, nullptr, _IONBF, 0);
  WholeFileResult result = WholeFileWritten;
  uint32_t left = size;
  while (left > 0) {
    size_t block = left < bufferSize ? left : bufferSize;
    if (!ReadEntryData(source, buffer, static_cast<uint32_t>(block))) {
      result = WholeFileSourceShort;
      break;
    }
    if (std::fwrite(buffer, 1, block, file) != block) {
      result = WholeFileShort;
      break;
    }
    left -= static_cast<uint32_t>(block);
  }
  if (std::fclose(file) != 0 && result == WholeFileWritten) {
    result = WholeFileShort;
  }
  return result;
}
