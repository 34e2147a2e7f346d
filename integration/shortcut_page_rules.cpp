// Path composition for the shortcut page; see shortcut_page_rules.h.
#include "integration/shortcut_page_rules.h"

#include <cstring>

#include "common/install_facts.h"
#include "common/path_text.h"
#include "common/product.h"

bool FormGroupFolder(char *out, size_t outSize, const char *group)
{
  return JoinPath(out, outSize, group, ProgramGroupName);
}

namespace {

// Writes before, installDir\name and after into out only when all of it fits.
bool FormAroundPath(char *out, size_t outSize, const char *before, const char *installDir,
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

}  // namespace

bool FormProgramIcon(char *out, size_t outSize, const char *installDir)
{
  return FormAroundPath(out, outSize, "", installDir, ProgramFileName, ",0");
}

bool FormUninstallCommand(char *out, size_t outSize, const char *installDir)
{
  return FormAroundPath(out, outSize, "\"", installDir, UninstallerFileName, "\"");
}

bool FormQuietUninstall(char *out, size_t outSize, const char *installDir)
{
  return FormAroundPath(out, outSize, "\"", installDir, UninstallerFileName, "\" /S");
}
