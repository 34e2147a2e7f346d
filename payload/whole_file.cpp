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
