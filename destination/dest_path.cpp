#include "destination/dest_path.h"

#include <cstring>

#include "shell/product.h"

namespace {

// Appends text at out[*length], keeping within size; counts all of text.
void AppendBounded(char *out, int size, int *length, const char *text)
{
  for (const char *p = text; *p != '\0'; ++p) {
    if (*length + 1 < size)
      out[*length] = *p;
    ++*length;
  }
}

}  // namespace

int ComposePath(char *out, int size, const char *baseDir, const char *browsePath)
{
  int length = 0;
  AppendBounded(out, size, &length, baseDir);
  if (std::strlen(baseDir) > 3)
    AppendBounded(out, size, &length, "\\");
  AppendBounded(out, size, &length, browsePath);
  if (size > 0)
    out[length < size ? length : size - 1] = '\0';
  return length;
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

int JudgeFolderName(int length)
{
  if (length <= 0)
    return NameCleared;
  if (length <= MaxFolderNameLength)
    return NameAccepted;
  return NameRefused;
}
