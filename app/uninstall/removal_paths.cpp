#include "app/uninstall/removal_paths.h"

#include <cstring>

static char UpperAscii(char c)
{
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t TrimmedLength(const char *path)
{
  size_t length = std::strlen(path);
  if (length > 3 && path[length - 1] == '\\')
    --length;
  return length;
}

void TrimmedCopy(char *out, const char *path)
{
  size_t length = TrimmedLength(path);
  std::memcpy(out, path, length);
  out[length] = '\0';
}

bool SamePrefix(const char *a, const char *b, size_t length)
{
  for (size_t i = 0; i < length; ++i) {
    if (UpperAscii(a[i]) != UpperAscii(b[i]))
      return false;
  }
  return true;
}

bool SamePath(const char *a, const char *b)
{
  size_t length = TrimmedLength(a);
  return length == TrimmedLength(b) && SamePrefix(a, b, length);
}
