#include "common/parent_dirs.h"

namespace {

// Length of the part of path that is a root and never created.
int RootLength(const char *path)
{
  if (path[0] != '\0' && path[1] == ':')
    return path[2] == '\\' ? 3 : 2;
  if (path[0] == '\\' && path[1] == '\\') {
    // \\server\share\ : the root runs past the fourth separator.
    int separators = 2;
    int i = 2;
    for (; path[i] != '\0'; ++i)
      if (path[i] == '\\' && ++separators == 4)
        return i + 1;
    return i;
  }
  if (path[0] == '\\')
    return 1;
  return 0;
}

}  // namespace

int ListParentLevels(const char *path, int *ends, int capacity)
{
  int count = 0;
  int start = RootLength(path);
  int levelStart = start;
  for (int i = start; path[i] != '\0' && count < capacity; ++i) {
    if (path[i] != '\\')
      continue;
    if (i > levelStart)
      ends[count++] = i;
    levelStart = i + 1;
  }
  return count;
}
