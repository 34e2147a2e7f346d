#include "destination/drives_rules.h"

#include "common/ascii_text.h"
#include "common/path_text.h"
#include "common/product.h"

int ParseDriveStrings(const char *buffer, int length, char (*roots)[DriveRootSize], int capacity,
                      char startLetter, int *startIndex)
{
  int count = 0;
  int pos = 0;
  while (pos < length && count < capacity) {
    if (buffer[pos] == '\0')
      break;  // the closing empty string
    int n = 0;
    while (pos < length && buffer[pos] != '\0') {
      if (n < DriveRootSize - 1)
        roots[count][n++] = UpperAscii(buffer[pos]);
      ++pos;
    }
    roots[count][n] = '\0';
    if (startIndex != nullptr && roots[count][0] == UpperAscii(startLetter))
      *startIndex = count;
    ++count;
    ++pos;  // past the terminator
  }
  return count;
}

int FilledDriveStringsLength(uint32_t returned, int bufferSize)
{
  if (bufferSize <= 0 || returned >= static_cast<uint32_t>(bufferSize))
    return 0;
  return static_cast<int>(returned);
}

int FindDriveC(const char (*roots)[DriveRootSize], int count)
{
  for (int i = 0; i < count; ++i)
    if (roots[i][0] == 'C')
      return i;
  return -1;
}

int ChooseCurrentDrive(const char (*roots)[DriveRootSize], int count, int startIndex, int previous)
{
  int c = FindDriveC(roots, count);
  if (c >= 0)
    return c;
  if (startIndex >= 0 && startIndex < count)
    return startIndex;
  return previous;
}

void ChooseBaseDir(char *baseDir, int size, const char *windowsDir, const char *driveCRoot,
                   DirectoryProbe probe, void *context)
{
  char letter = UpperAscii(windowsDir != nullptr ? windowsDir[0] : '\0');
  if (letter >= 'A' && letter <= 'Z') {
    char candidate[32];
    candidate[0] = letter;
    CopyCut(candidate + 1, sizeof(candidate) - 1, ":\\Program files");
    if (probe(candidate, context)) {
      CopyCut(baseDir, size > 0 ? static_cast<size_t>(size) : 0, candidate);
      return;
    }
  }
  CopyCut(baseDir, size > 0 ? static_cast<size_t>(size) : 0, driveCRoot);
}

uint32_t FreeSpaceUnits(bool ok, uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                        uint32_t freeClusters)
{
  if (!ok)
    return 0;
  // (2^32 - 1)^2 fits 64 bits; the third factor may not, so saturate.
  uint64_t clusterBytes = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
  uint64_t bytes = 0;
  if (__builtin_mul_overflow(clusterBytes, static_cast<uint64_t>(freeClusters), &bytes))
    return UINT32_MAX;
  uint64_t units = bytes / 1000;
  return units > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(units);
}

bool FreeSpaceSuffices(uint32_t units)
{
  return units >= RequiredKB;
}
