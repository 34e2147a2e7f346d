#include "payload/destination_walk.h"

#include <cstdio>
#include <cstring>

#include "payload/entry_name.h"
#include "common/path_text.h"
#include "common/private_dir_rules.h"
#include "common/product.h"

namespace {

bool SkipInFile(void *context, uint32_t size)
{
#ifdef _WIN32
  return _fseeki64(static_cast<FILE *>(context), size, SEEK_CUR) == 0;
#else
  return fseeko(static_cast<FILE *>(context), static_cast<off_t>(size), SEEK_CUR) == 0;
#endif
}

}  // namespace

bool FormatPartPath(char *out, size_t size, const char *destination, uint64_t bits)
{
  char suffix[PartNameExtraLength + 1];
  if (!FormatPrivateDirName(suffix, sizeof(suffix) - std::strlen(PartFileSuffix), ".", bits))
    return false;
  std::strcat(suffix, PartFileSuffix);
  size_t length = std::strlen(destination);
  if (length + PartNameExtraLength >= size)
    return false;
  std::memcpy(out, destination, length);
  std::memcpy(out + length, suffix, PartNameExtraLength + 1);
  return true;
}

bool DestinationFits(const char *installDir, const char *name, size_t destinationSize)
{
  size_t dirLength = std::strlen(installDir);
  size_t nameLength = std::strlen(name);
  bool separator = dirLength == 0 || installDir[dirLength - 1] != '\\';  // as JoinPath
  size_t pathLength = dirLength + (separator ? 1 : 0) + nameLength;
  if (pathLength >= destinationSize || pathLength > static_cast<size_t>(MaxWindowsPath))
    return false;
  const char *lastSeparator = std::strrchr(name, '\\');
  const char *leaf = lastSeparator == nullptr ? name : lastSeparator + 1;
  if (std::strlen(leaf) + PartNameExtraLength >= PartNameSize)
    return false;
  return lastSeparator == nullptr || dirLength + 1 + static_cast<size_t>(lastSeparator - name) <
                                         static_cast<size_t>(ShortPathSize);
}

DestinationWalkResult WalkDestinations(const ByteSource *source, const DataSkipper *skipper,
                                       int count, const char *installDir,
                                       const DestinationVisitor *visitor)
{
  for (int entry = 0; entry < count; ++entry) {
    EntryHeader header;
    if (ReadEntryHeader(source, &header) != EntryHeaderRead ||
        CheckInstallName(header.name) != NameAccepted)
      return WalkAllFit;
    char destination[PathBufferSize];
    if (!DestinationFits(installDir, header.name, sizeof(destination)) ||
        !JoinPath(destination, sizeof(destination), installDir, header.name))
      return WalkDestinationTooLong;
    if (visitor != nullptr && !visitor->visit(visitor->context, destination))
      return WalkStopped;
    if (!skipper->skip(skipper->context, header.dataSize))
      return WalkAllFit;
  }
  return WalkAllFit;
}

DestinationWalkResult WalkArchiveFile(FILE *archive, int count, const char *installDir,
                                      const DestinationVisitor *visitor)
{
  std::rewind(archive);
  ByteSource source = MakeFileSource(archive);
  DataSkipper skipper = {SkipInFile, archive};
  const DestinationWalkResult result =
      WalkDestinations(&source, &skipper, count, installDir, visitor);
  std::rewind(archive);
  return result;
}
