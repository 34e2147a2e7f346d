#include "setup_common/dir_ops.h"

// One level only: callers that need a chain create it outermost first, and
// the destination page relies on 0 for an existing directory.
bool CreateDir(const char *path)
{
  return CreateDirWith(path, nullptr);
}

bool CreateDirWith(const char *path, void *security)
{
  SECURITY_ATTRIBUTES attributes;
  attributes.nLength = sizeof(attributes);
  attributes.lpSecurityDescriptor = security;
  attributes.bInheritHandle = TRUE;
  return CreateDirectoryA(path, &attributes) != FALSE;
}

namespace {

bool CreateLevel(const char *path, void *)
{
  return CreateDir(path);
}

bool CreateSecuredLevel(const char *path, void *security)
{
  return CreateDirWith(path, security);
}

bool IsDirectory(const char *path, void *)
{
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool RemoveLevel(const char *path, void *)
{
  return RemoveDirectoryA(path) != FALSE;
}

}  // namespace

const DirOps SystemDirOps = {CreateLevel, IsDirectory, RemoveLevel, nullptr};

DirOps SecuredDirOps(void *security)
{
  return DirOps{CreateSecuredLevel, IsDirectory, RemoveLevel, security};
}
