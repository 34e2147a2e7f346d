#include "common/parent_dirs.h"

#include <cstring>

#include "common/product.h"

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

// Copies the first end characters of path into level, terminated.
void TakeLevel(char *level, const char *path, int end)
{
  std::memcpy(level, path, static_cast<size_t>(end));
  level[end] = '\0';
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

bool MakeParentDirs(const char *path, size_t keep, const DirOps &ops, MadeDirs *made)
{
  made->count = 0;
  if (std::strlen(path) >= static_cast<size_t>(PathBufferSize))
    return false;
  char level[PathBufferSize];
  int ends[MaxParentLevels];
  int count = ListParentLevels(path, ends, MaxParentLevels);
  for (int i = 0; i < count; ++i) {
    if (static_cast<size_t>(ends[i]) <= keep)
      continue;
    TakeLevel(level, path, ends[i]);
    if (!ops.isDirectory(level, ops.context) && ops.create(level, ops.context))
      made->ends[made->count++] = ends[i];
  }
  return true;
}

void RemoveMadeDirs(const char *path, const MadeDirs &made, const DirOps &ops)
{
  char level[PathBufferSize];
  for (int i = made.count - 1; i >= 0; --i) {
    TakeLevel(level, path, made.ends[i]);
    ops.remove(level, ops.context);
  }
}
