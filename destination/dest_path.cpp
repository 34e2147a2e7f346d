#include "destination/dest_path.h"

#include <cstring>

#include "shell/path_text.h"
#include "shell/product.h"

int ComposePath(char *out, int size, const char *baseDir, const char *browsePath)
{
  size_t bound = size > 0 ? static_cast<size_t>(size) : 0;
  size_t length = 0;
  AppendCut(out, bound, &length, baseDir);
  if (std::strlen(baseDir) > 3)
    AppendCut(out, bound, &length, "\\");
  AppendCut(out, bound, &length, browsePath);
  return static_cast<int>(length);
}

int ComposeInstallDir(char *installDir, int size, const char *baseDir, const char *browsePath)
{
  char composed[2 * PathBufferSize];
  int length = ComposePath(composed, static_cast<int>(sizeof(composed)), baseDir, browsePath);
  if (length >= static_cast<int>(sizeof(composed)) || length > MaxWindowsPath || length >= size)
    return 0;
  std::memcpy(installDir, composed, static_cast<size_t>(length) + 1);
  return 1;
}

int GoUpDir(char *path)
{
  char *last = std::strrchr(path, '\\');
  if (last == nullptr)
    return 0;
  size_t at = static_cast<size_t>(last - path);
  size_t cut = at <= 3 ? at + 1 : at;
  if (path[cut] == '\0')
    return 0;
  path[cut] = '\0';
  return 1;
}

int DescendDir(char *path, int size, const char *name)
{
  size_t length = std::strlen(path);
  size_t separator = length > 3 ? 1 : 0;
  size_t nameLength = std::strlen(name);
  size_t needed = length + separator + nameLength + PatternRoom + 1;
  if (size <= 0 || needed > static_cast<size_t>(size))
    return 0;
  if (separator)
    path[length++] = '\\';
  std::memcpy(path + length, name, nameLength + 1);
  return 1;
}

int ChooseNavigation(int selected, int lastItemIndex, int baseLength)
{
  if (selected < 0 || selected > lastItemIndex)
    return NavigateRelist;
  if (selected == 0 && baseLength > 3)
    return NavigateUp;
  return NavigateDown;
}

FolderNameVerdict JudgeFolderName(int length)
{
  if (length <= 0)
    return FolderNameCleared;
  if (length <= MaxFolderNameLength)
    return FolderNameAccepted;
  return FolderNameRefused;
}
