#include "common/ascii_text.h"

bool IsDriveRoot(size_t pathLength)
{
  return pathLength <= DriveRootLength;
}

char UpperAscii(char c)
{
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool SameTextNoCase(const char *a, const char *b, size_t length)
{
  for (size_t i = 0; i < length; ++i)
    if (UpperAscii(a[i]) != UpperAscii(b[i]))
      return false;
  return true;
}

size_t WithoutTrailingSeparator(const char *path, size_t length)
{
  return length > 0 && path[length - 1] == '\\' ? length - 1 : length;
}
