// Path composition for the shortcut page; see shortcut_paths.h.
#include "integration/shortcut_paths.h"

#include "common/path_text.h"

bool FormGroupFolder(char *out, size_t outSize, const char *group)
{
  return JoinPath(out, outSize, group, ProgramGroupName);
}
