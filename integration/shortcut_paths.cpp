// Path composition for the shortcut page; see shortcut_paths.h.
#include "integration/shortcut_paths.h"

#include <cstring>

#include "shell/path_text.h"
#include "shell/product.h"

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
  if (length > 0 && data[length - 1] == '\\')
    --length;
  // An empty value, or one that was a lone backslash, names no folder.
  if (length == 0 || length >= outSize)
    return false;
  std::memcpy(out, data, length);
  out[length] = '\0';
  return true;
}

// Writes before, installDir\name and after into out only when all of it fits.
static bool FormAroundPath(char *out, size_t outSize, const char *before, const char *installDir,
                           const char *name, const char *after)
{
  char path[PathBufferSize];
  if (!JoinPath(path, sizeof(path), installDir, name))
    return false;
  char formed[PathBufferSize + 8];
  size_t length = 0;
  AppendCut(formed, sizeof(formed), &length, before);
  AppendCut(formed, sizeof(formed), &length, path);
  AppendCut(formed, sizeof(formed), &length, after);
  if (length >= outSize || length >= sizeof(formed))
    return false;
  std::memcpy(out, formed, length + 1);
  return true;
}

bool FormProgramIcon(char *out, size_t outSize, const char *installDir)
{
  return FormAroundPath(out, outSize, "", installDir, ProgramFileName, ",0");
}

bool FormQuietUninstall(char *out, size_t outSize, const char *installDir)
{
  return FormAroundPath(out, outSize, "\"", installDir, UninstallerFileName, "\" /S");
}
