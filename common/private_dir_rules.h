// What a private work folder is: its name and the access it grants. Setup
// unpacks its payload in one, and the uninstaller runs its copy from one;
// both run elevated, beside the same user's unelevated programs. Plain C++
// with no Windows header, so it is tested natively; common/private_dir.h
// makes the folder.
#pragma once

#include <cstddef>
#include <cstdint>

// Who an access entry or the owner names.
enum AccessTrustee {
  TrusteeSystem = 0,      // the local system account
  TrusteeAdministrators,  // the built-in Administrators group
  TrusteeCurrentUser,     // the user of the process's token
};

// FILE_ALL_ACCESS: full control of a folder.
inline constexpr uint32_t FullControlMask = 0x001F01FF;
// OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE: the entry also applies to the
// files and folders made inside.
inline constexpr uint8_t InheritToFilesAndFolders = 0x03;

inline constexpr int PrivateDirMaxEntries = 2;

struct AccessEntry {
  AccessTrustee trustee;
  uint32_t mask;         // allowed rights
  uint8_t inheritFlags;  // the entry's ACE flags
};

struct PrivateDirAccess {
  AccessTrustee owner;
  // No entry is inherited from the parent (SE_DACL_PROTECTED): the parent,
  // the temporary folder, lets the user's other programs in.
  bool isProtected;
  int entryCount;
  AccessEntry entries[PrivateDirMaxEntries];
};

// An elevated process: owner Administrators, full control for SYSTEM and
// Administrators and nobody else. Otherwise the current user owns the
// folder and alone has access (it could not make Administrators the owner).
PrivateDirAccess DescribePrivateDirAccess(bool elevated);

// prefix followed by the 64 bits as 16 lower-case hex digits, most
// significant first. false, out unchanged, when that does not fit size.
bool FormatPrivateDirName(char *out, size_t size, const char *prefix, uint64_t bits);
