#include "payload/whole_file.h"

WholeFileResult CopyThrough(const ByteSink *sink, const ByteSource *source, uint32_t size,
                            void *buffer, size_t bufferSize)
{
  uint32_t left = size;
  while (left > 0) {
    size_t block = left < bufferSize ? left : bufferSize;
    if (!ReadEntryData(source, buffer, static_cast<uint32_t>(block)))
      return WholeFileSourceShort;
    if (!sink->write(sink->context, buffer, block))
      return WholeFileShort;
    left -= static_cast<uint32_t>(block);
  }
  return WholeFileWritten;
}
