#include "payload/temp_dir.h"

#include <cstring>

TempDirChoice SettleTempDir(char *tempDir, size_t tempDirSize, uint32_t tempPathResult,
                            const char *startDir)
{
  if (tempDirSize == 0) {
    return TempDirUnusable;
  }
  TempDirChoice choice = TempDirFromSystem;
  if (tempPathResult == 0 || tempPathResult >= tempDirSize) {
    size_t startLength = std::strlen(startDir);
    if (startLength >= tempDirSize) {
      tempDir[0] = '\0';
      return TempDirUnusable;
    }
    std::memcpy(tempDir, startDir, startLength + 1);
    choice = TempDirFromStartDir;
  }
  tempDir[tempDirSize - 1] = '\0';
  size_t length = std::strlen(tempDir);
  if (length > 0 && tempDir[length - 1] == '\\') {
    tempDir[length - 1] = '\0';
  }
  return choice;
}
