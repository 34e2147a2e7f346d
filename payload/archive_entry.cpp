#include "payload/archive_entry.h"

#include <cstring>

namespace {

// Reads until size bytes arrived or the source gives nothing more; stdio and
// memory sources return short counts only at the end, but a pipe-like
// source may hand out less at a time.
size_t ReadFully(const ByteSource *source, void *buffer, size_t size)
{
  uint8_t *bytes = static_cast<uint8_t *>(buffer);
  size_t done = 0;
  while (done < size) {
    size_t got = source->read(source->context, bytes + done, size - done);
    if (got == 0)
      break;
    done += got;
  }
  return done;
}

size_t ReadMemory(void *context, void *buffer, size_t size)
{
  MemorySource *memory = static_cast<MemorySource *>(context);
  size_t left = memory->size - memory->offset;
  size_t count = size < left ? size : left;
  if (count > 0) {
    std::memcpy(buffer, memory->data + memory->offset, count);
    memory->offset += count;
  }
  return count;
}

size_t ReadStdioFile(void *context, void *buffer, size_t size)
{
  return std::fread(buffer, 1, size, static_cast<FILE *>(context));
}

}  // namespace

EntryReadResult ReadEntryHeader(const ByteSource *source, EntryHeader *header)
{
  std::memset(header, 0, sizeof(*header));

  uint8_t length = 0;
  if (ReadFully(source, &length, EntryNameLengthBytes) != EntryNameLengthBytes)
    return EntryEndsInNameLength;
  header->nameLength = length;
  if (ReadFully(source, header->name, length) != length) {
    std::memset(header->name, 0, sizeof(header->name));
    return EntryEndsInName;
  }

  uint8_t size[EntryDataSizeBytes] = {};
  if (ReadFully(source, size, EntryDataSizeBytes) != EntryDataSizeBytes)
    return EntryEndsInDataSize;
  header->dataSize = static_cast<uint32_t>(size[0]) | static_cast<uint32_t>(size[1]) << 8 |
                     static_cast<uint32_t>(size[2]) << 16 | static_cast<uint32_t>(size[3]) << 24;
  return EntryHeaderRead;
}

bool ReadEntryData(const ByteSource *source, void *data, uint32_t size)
{
  return ReadFully(source, data, size) == size;
}

size_t EncodeEntryHeader(const char *name, size_t nameLength, uint32_t dataSize, uint8_t *out)
{
  if (nameLength > static_cast<size_t>(EntryMaxNameLength))
    return 0;
  out[0] = static_cast<uint8_t>(nameLength);
  if (nameLength > 0)
    std::memcpy(out + EntryNameLengthBytes, name, nameLength);
  uint8_t *size = out + EntryNameLengthBytes + nameLength;
  size[0] = static_cast<uint8_t>(dataSize);
  size[1] = static_cast<uint8_t>(dataSize >> 8);
  size[2] = static_cast<uint8_t>(dataSize >> 16);
  size[3] = static_cast<uint8_t>(dataSize >> 24);
  return EntryNameLengthBytes + nameLength + EntryDataSizeBytes;
}

ByteSource MakeMemorySource(MemorySource *memory)
{
  return ByteSource{memory, ReadMemory};
}

ByteSource MakeFileSource(FILE *file)
{
  return ByteSource{file, ReadStdioFile};
}
