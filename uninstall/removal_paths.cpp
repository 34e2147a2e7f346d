#include "uninstall/removal_paths.h"

#include <cstring>

#include "common/ascii_text.h"

size_t TrimmedLength(const char *path)
{
  size_t length = std::strlen(path);
  return IsDriveRoot(length) ? length : WithoutTrailingSeparator(path, length);
}

void TrimmedCopy(char *out, const char *path)
{
  size_t length = TrimmedLength(path);
  std::memcpy(out, path, length);
  out[length] = '\0';
}

bool SamePath(const char *a, const char *b)
{
  size_t length = TrimmedLength(a);
  return length == TrimmedLength(b) && SameTextNoCase(a, b, length);
}
