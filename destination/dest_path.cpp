#include "destination/dest_path.h"

#include <cstring>

#include "common/ascii_text.h"
#include "setup_common/folder_list_view_rules.h"
#include "common/path_text.h"
#include "common/product.h"

int ComposePath(char *out, int size, const char *baseDir, const char *browsePath)
{
  size_t bound = size > 0 ? static_cast<size_t>(size) : 0;
  size_t length = 0;
  AppendCut(out, bound, &length, baseDir);
  if (!IsDriveRoot(std::strlen(baseDir)))
    AppendCut(out, bound, &length, "\\");
  AppendCut(out, bound, &length, browsePath);
  return static_cast<int>(length);
}

bool ComposeInstallDir(char *installDir, int size, const char *baseDir, const char *browsePath)
{
  char composed[2 * PathBufferSize];
  int length = ComposePath(composed, static_cast<int>(sizeof(composed)), baseDir, browsePath);
  if (length >= static_cast<int>(sizeof(composed)) || length > MaxWindowsPath || length >= size)
    return false;
  std::memcpy(installDir, composed, static_cast<size_t>(length) + 1);
  return true;
}

FolderNameVerdict JudgeFolderName(int length)
{
  if (length <= 0)
    return FolderNameCleared;
  if (length <= MaxFolderNameLength)
    return FolderNameAccepted;
  return FolderNameRefused;
}
