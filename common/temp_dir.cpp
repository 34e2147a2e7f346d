#include "common/temp_dir.h"

#include <cstring>

#include "common/ascii_text.h"
#include "common/path_text.h"

TempDirChoice SettleTempDir(char *tempDir, size_t tempDirSize, uint32_t tempPathResult,
                            const char *startDir)
{
  if (tempDirSize == 0)
    return TempDirUnusable;
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
  tempDir[WithoutTrailingSeparator(tempDir, std::strlen(tempDir))] = '\0';
  return choice;
}

bool ChooseWorkParent(char *out, size_t size, bool elevated, const char *systemWindowsDir,
                      const char *tempDir)
{
  if (elevated)
    return systemWindowsDir[0] != '\0' && JoinPath(out, size, systemWindowsDir, "Temp");
  size_t length = std::strlen(tempDir);
  if (length == 0 || length >= size)
    return false;
  std::memcpy(out, tempDir, length + 1);
  return true;
}
