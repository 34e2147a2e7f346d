#include "destination/make_dir.h"

#include <cstring>

#include "shell/product.h"

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
    for (; path[i] != '\0'; ++i) {
      if (path[i] == '\\' && ++separators == 4)
        return i + 1;
    }
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

int SettleDestination(const char *dir, const DirOps &ops)
{
  if (ops.create(dir, ops.context))
    return DestinationCreated;
  if (ops.isDirectory(dir, ops.context))
    return DestinationExists;

  char level[PathBufferSize];
  size_t length = std::strlen(dir);
  if (length >= sizeof(level))
    return DestinationFailed;
  int ends[PathBufferSize / 2];
  int count = ListParentLevels(dir, ends, static_cast<int>(sizeof(ends) / sizeof(ends[0])));
  int made[PathBufferSize / 2];
  int madeCount = 0;
  for (int i = 0; i < count; ++i) {
    std::memcpy(level, dir, static_cast<size_t>(ends[i]));
    level[ends[i]] = '\0';
    if (!ops.isDirectory(level, ops.context) && ops.create(level, ops.context))
      made[madeCount++] = ends[i];
  }
  if (ops.create(dir, ops.context) || ops.isDirectory(dir, ops.context))
    return DestinationCreated;
  while (madeCount > 0) {
    int end = made[--madeCount];
    std::memcpy(level, dir, static_cast<size_t>(end));
    level[end] = '\0';
    ops.remove(level, ops.context);
  }
  return DestinationFailed;
}
