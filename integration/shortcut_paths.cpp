// Path composition for the shortcut page; see shortcut_paths.h.
#include "integration/shortcut_paths.h"

#include <cstring>

#include "common/ascii_text.h"
#include "common/path_text.h"

bool FormGroupFolder(char *out, size_t outSize, const char *group)
{
  return JoinPath(out, outSize, group, ProgramGroupName);
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
