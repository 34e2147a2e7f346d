// What a private work folder is: its name and the access it grants. Setup
// unpacks its payload in one, and the uninstaller runs its copy from one;
// both run elevated, beside the same user's unelevated programs. Also the
// access of the install folder, which the elevated uninstaller later runs
// from. Plain C++ with no Windows header, so it is tested natively;
// common/private_dir.h makes the work folder, setup_common/install_folder.h
// makes the install folder with its access.
#pragma once

#include <cstddef>
#include <cstdint>

// Who an access entry or the owner names.
enum AccessTrustee {
  TrusteeSystem = 0,      // the local system account
  TrusteeAdministrators,  // the built-in Administrators group
  TrusteeCurrentUser,     // the user of the process's token
  TrusteeUsers,           // the built-in Users group (every local user)
};

// FILE_ALL_ACCESS: full control of a folder.
inline constexpr uint32_t FullControlMask = 0x001F01FF;
// FILE_GENERIC_READ | FILE_GENERIC_EXECUTE: list, read and run, change
// nothing.
inline constexpr uint32_t ReadAndExecuteMask = 0x001200A9;
// OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE: the entry also applies to the
// files and folders made inside.
inline constexpr uint8_t InheritToFilesAndFolders = 0x03;

inline constexpr int PrivateDirMaxEntries = 3;

struct AccessEntry {
  AccessTrustee trustee;
  uint32_t mask;         // allowed rights
  uint8_t inheritFlags;  // the entry's ACE flags
};

struct PrivateDirAccess {
  AccessTrustee owner;
  // No entry is inherited from the parent (SE_DACL_PROTECTED): the parent
  // (the temporary folder, or a drive root such as D:\, where Windows gives
  // every signed-in user Modify on new folders) lets other programs in.
  bool isProtected;
  int entryCount;
  AccessEntry entries[PrivateDirMaxEntries];
};

// An elevated process: owner Administrators, full control for SYSTEM and
// Administrators and nobody else. Otherwise the current user owns the
// folder and alone has access (it could not make Administrators the owner).
PrivateDirAccess DescribePrivateDirAccess(bool elevated);

// The install folder, and each parent setup makes for it: owner
// Administrators, full control for SYSTEM and Administrators, read and
// execute for Users, each inherited by the files and folders inside, and
// nothing inherited from the parent. Only an administrator can then change
// the programs that the elevated uninstaller runs.
PrivateDirAccess DescribeInstallDirAccess();

// prefix followed by the 64 bits as 16 lower-case hex digits, most
// significant first. false, out unchanged, when that does not fit size.
bool FormatPrivateDirName(char *out, size_t size, const char *prefix, uint64_t bits);

// Whether name is exactly prefix followed by 16 lower-case hex digits: the
// form FormatPrivateDirName gives, and so a folder only this program makes.
bool IsPrivateDirName(const char *name, const char *prefix);
