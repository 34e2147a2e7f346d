#include "common/path_text.h"

#include <cstring>

#include "common/ascii_text.h"

void AppendCut(char *out, size_t size, size_t *length, const char *text)
{
  for (const char *p = text; *p != '\0'; ++p) {
    if (*length + 1 < size)
      out[*length] = *p;
    ++*length;
  }
  if (size > 0)
    out[*length < size ? *length : size - 1] = '\0';
}

size_t CopyCut(char *out, size_t size, const char *text)
{
  size_t length = 0;
  AppendCut(out, size, &length, text);
  return length;
}

bool JoinPath(char *out, size_t outSize, const char *dir, const char *name, size_t nameLength)
{
  size_t dirLength = std::strlen(dir);
  size_t separator = dirLength > 0 && dir[dirLength - 1] == '\\' ? 0 : 1;
  // dir, the separator, the name and the terminator; each term is checked
  // against what is left, so no sum can wrap.
  if (dirLength >= outSize || separator + nameLength >= outSize - dirLength)
    return false;
  // memmove: out may be dir, and name may lie in out beyond dir's end.
  std::memmove(out + dirLength + separator, name, nameLength);
  std::memmove(out, dir, dirLength);
  if (separator)
    out[dirLength] = '\\';
  out[dirLength + separator + nameLength] = '\0';
  return true;
}

bool JoinPath(char *out, size_t outSize, const char *dir, const char *name)
{
  return JoinPath(out, outSize, dir, name, std::strlen(name));
}

bool TakeShellFolderValue(char *out, size_t outSize, const char *data, size_t dataLength)
{
  // Data written without its terminator ends at dataLength.
  const void *terminator = std::memchr(data, '\0', dataLength);
  size_t length = terminator != nullptr
                      ? static_cast<size_t>(static_cast<const char *>(terminator) - data)
                      : dataLength;
  length = WithoutTrailingSeparator(data, length);
  // An empty value, or one that was a lone backslash, names no folder.
  if (length == 0 || length >= outSize)
    return false;
  std::memcpy(out, data, length);
  out[length] = '\0';
  return true;
}
