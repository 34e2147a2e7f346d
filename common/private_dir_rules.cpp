#include "common/private_dir_rules.h"

#include <cstring>

PrivateDirAccess DescribePrivateDirAccess(bool elevated)
{
  PrivateDirAccess access = {};
  access.isProtected = true;
  if (elevated) {
    access.owner = TrusteeAdministrators;
    access.entryCount = 2;
    access.entries[0] = {TrusteeSystem, FullControlMask, InheritToFilesAndFolders};
    access.entries[1] = {TrusteeAdministrators, FullControlMask, InheritToFilesAndFolders};
  } else {
    access.owner = TrusteeCurrentUser;
    access.entryCount = 1;
    access.entries[0] = {TrusteeCurrentUser, FullControlMask, InheritToFilesAndFolders};
  }
  return access;
}

PrivateDirAccess DescribeInstallDirAccess()
{
  PrivateDirAccess access = {};
  access.isProtected = true;
  access.owner = TrusteeAdministrators;
  access.entryCount = 3;
  access.entries[0] = {TrusteeSystem, FullControlMask, InheritToFilesAndFolders};
  access.entries[1] = {TrusteeAdministrators, FullControlMask, InheritToFilesAndFolders};
  access.entries[2] = {TrusteeUsers, ReadAndExecuteMask, InheritToFilesAndFolders};
  return access;
}

bool FormatPrivateDirName(char *out, size_t size, const char *prefix, uint64_t bits)
{
  constexpr size_t HexDigits = 16;
  size_t prefixLength = std::strlen(prefix);
  if (size <= prefixLength + HexDigits)
    return false;
  std::memcpy(out, prefix, prefixLength);
  for (size_t digit = 0; digit < HexDigits; ++digit) {
    unsigned nibble = static_cast<unsigned>(bits >> (4 * (HexDigits - 1 - digit))) & 0xF;
    out[prefixLength + digit] = "0123456789abcdef"[nibble];
  }
  out[prefixLength + HexDigits] = '\0';
  return true;
}

bool IsPrivateDirName(const char *name, const char *prefix)
{
  constexpr size_t HexDigits = 16;
  size_t prefixLength = std::strlen(prefix);
  if (std::strncmp(name, prefix, prefixLength) != 0 ||
      std::strlen(name) != prefixLength + HexDigits)
    return false;
  for (size_t digit = 0; digit < HexDigits; ++digit) {
    char c = name[prefixLength + digit];
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
      return false;
  }
  return true;
}
