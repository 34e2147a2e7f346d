// Path composition for the shortcut page; see shortcut_paths.h.
#include "integration/shortcut_paths.h"

#include <cstring>

bool FormGroupFolder(char *out, size_t outSize, const char *group)
{
  size_t groupLength = std::strlen(group);
  bool needsSeparator = groupLength == 0 || group[groupLength - 1] != '\\';
  size_t nameLength = std::strlen(ProgramGroupName);
  size_t total = groupLength + (needsSeparator ? 1 : 0) + nameLength;
  if (outSize == 0 || total >= outSize)
    return false;
  // out may be the same buffer as group when it already holds the result's
  // prefix, so move rather than copy.
  std::memmove(out, group, groupLength);
  size_t at = groupLength;
  if (needsSeparator)
    out[at++] = '\\';
  std::memcpy(out + at, ProgramGroupName, nameLength);
  out[total] = '\0';
  return true;
}

bool FormatChildPath(char *out, size_t outSize, const char *folder, const char *name)
{
  size_t folderLength = std::strlen(folder);
  size_t nameLength = std::strlen(name);
  size_t total = folderLength + 1 + nameLength;
  if (outSize == 0 || total >= outSize)
    return false;
  std::memmove(out, folder, folderLength);
  out[folderLength] = '\\';
  std::memmove(out + folderLength + 1, name, nameLength);
  out[total] = '\0';
  return true;
}

int TakeShellFolderValue(char *out, size_t outSize, const char *data, size_t dataLength)
{
  // Data written without its terminator ends at dataLength.
  const void *terminator = std::memchr(data, '\0', dataLength);
  size_t length = terminator != nullptr
                      ? static_cast<size_t>(static_cast<const char *>(terminator) - data)
                      : dataLength;
  if (length > 0 && data[length - 1] == '\\')
    --length;
  // An empty value, or one that was a lone backslash, names no folder.
  if (length == 0 || length >= outSize)
    return 0;
  std::memcpy(out, data, length);
  out[length] = '\0';
  return 1;
}
