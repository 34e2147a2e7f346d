#include "setup_common/dir_ops.h"

// One level only: callers that need a chain create it outermost first.
bool CreateDir(const char *path)
{
  SECURITY_ATTRIBUTES attributes;
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = nullptr;
  attributes.bInheritHandle = TRUE;
  return CreateDirectoryA(path, &attributes) != FALSE;
}
