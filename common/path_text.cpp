#include "common/path_text.h"

#include <cstring>

#include "common/ascii_text.h"

namespace {

// A byte that continues a UTF-8 sequence (10xxxxxx).
bool IsContinuation(char c)
{
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The length of the UTF-8 sequence that c starts; 0 when c starts none.
size_t SequenceLength(char c)
{
  unsigned char b = static_cast<unsigned char>(c);
  if (b >= 0xC2 && b <= 0xDF)
    return 2;
  if (b >= 0xE0 && b <= 0xEF)
    return 3;
  if (b >= 0xF0 && b <= 0xF4)
    return 4;
  return 0;
}

// Where text is to end when cut before the byte at cut: at the start of the
// character that byte belongs to, when it lies inside a well-formed UTF-8
// sequence of text; otherwise at cut. Bytes that are no UTF-8 (text in
// another code page) are cut as they come.
const char *CharacterStart(const char *text, const char *cut)
{
  if (!IsContinuation(*cut))
    return cut;
  const char *lead = cut;
  while (lead > text && cut - lead < 4 && IsContinuation(*lead))
    --lead;
  size_t sequence = SequenceLength(*lead);
  if (sequence == 0 || lead + sequence <= cut)
    return cut;
  // Stops at the terminator, which continues nothing.
  for (size_t i = 1; i < sequence; ++i)
    if (!IsContinuation(lead[i]))
      return cut;
  return lead;
}

}  // namespace

void AppendCut(char *out, size_t size, size_t *length, const char *text)
{
  for (const char *p = text; *p != '\0'; ++p) {
    if (*length + 1 < size) {
      out[*length] = *p;
    } else if (*length + 1 == size) {
      // The first byte that does not fit: with the ANSI code page UTF-8, a
      // character cut in two would show as garbage, so it goes whole.
      out[*length - static_cast<size_t>(p - CharacterStart(text, p))] = '\0';
    }
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

bool LiesInside(const char *path, const char *folder)
{
  size_t folderLength = WithoutTrailingSeparator(folder, std::strlen(folder));
  size_t pathLength = std::strlen(path);
  return pathLength > folderLength + 1 && SameTextNoCase(path, folder, folderLength) &&
         path[folderLength] == '\\';
}

bool IsSameOrAbove(const char *path, const char *folder)
{
  size_t pathLength = WithoutTrailingSeparator(path, std::strlen(path));
  size_t folderLength = WithoutTrailingSeparator(folder, std::strlen(folder));
  if (pathLength == 0 || pathLength > folderLength || !SameTextNoCase(path, folder, pathLength))
    return false;
  // The same folder, or path ends where one of folder's levels ends ("C:\"
  // without its separator is "C:", which ends where "C:\A" has one).
  return pathLength == folderLength || folder[pathLength] == '\\';
}
