// The rules by which setup judges the install folder and every folder above
// it, free of system calls: who may change a folder, read from the bytes of
// its self-relative security descriptor as the system gives them; whether a
// volume keeps access lists at all; and the base folder that "." and ".."
// may not lead back to. The uninstaller later runs elevated from the install
// folder and the Uninstall key names it by its path, so a user who can
// rename a folder on that path, or change what is in the install folder,
// could have an administrator run a program of theirs. Plain C++ with no
// Windows header, so it is tested natively; install_folder.h applies it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/private_dir_rules.h"

// What a folder is on the way to the install folder.
enum FolderRole : int {
  RoleDriveRoot = 0,  // X:\, only ever a parent: it cannot be renamed
  RoleLevelAbove,     // an existing folder between the root and the install folder
  RoleInstallFolder,  // the install folder itself, when it exists already
};

enum AccessVerdict : int {
  AccessAdministratorsOnly = 0,  // owned by Administrators, SYSTEM or TrustedInstaller, and
                                 // no entry lets anyone else change what the role guards
  AccessOwnedByOther,            // another account owns it (the owner can always rewrite
                                 // the list)
  AccessOpenToOthers,            // an entry gives another account a right the role forbids,
                                 // or there is no list at all (everyone may do anything)
  AccessUnreadable,              // not a well-formed self-relative descriptor with an owner
};

// Judges a folder in its role from its self-relative security descriptor
// (owner and access list as GetKernelObjectSecurity gives them; size
// bytes). An entry applies when it is an allow entry and, for the drive
// root and a level above, when it is not inherit-only; for the install
// folder also when it is inherit-only, since it then applies to the files
// setup writes inside, except an inherit-only CREATOR OWNER entry (the
// creator of those files is setup). Deny entries are left out, which can
// only refuse more. The rights refused to accounts other than
// Administrators, SYSTEM and TrustedInstaller:
//  - drive root: delete-child, WRITE_DAC, WRITE_OWNER, generic all (these
//    rename or replace what it holds);
//  - level above: the same and DELETE (it could be renamed itself);
//  - install folder: the same, and write data, append data, write
//    extended attributes or attributes, generic write.
AccessVerdict JudgeFolderAccess(const uint8_t *descriptor, size_t size, FolderRole role);

// Whether the self-relative descriptor read back from a folder setup made
// is exactly the one it gave: the owner, the protection and the same allow
// entries (trustee, rights and inheritance) as expected, no more. A volume
// that drops or changes the descriptor fails here.
bool MatchesFolderAccess(const uint8_t *descriptor, size_t size, const PrivateDirAccess &expected);

enum VolumeVerdict : int {
  VolumeKeepsAccess = 0,
  VolumeWithoutAccessLists,  // FAT32, exFAT: nothing a descriptor says is kept or enforced
  VolumeOnNetwork,           // another machine decides who changes it
};

// Judges a volume from its file-system attributes (FILE_PERSISTENT_ACLS,
// 0x8, is the one that matters) and its device's type and characteristics
// (FILE_DEVICE_NETWORK_FILE_SYSTEM, FILE_REMOTE_DEVICE).
VolumeVerdict JudgeVolume(uint32_t fileSystemAttributes, uint32_t deviceType,
                          uint32_t deviceCharacteristics);

// Whether the destination, a full path, is its base folder itself or a
// folder above it: "." and ".." may resolve the destination there, and
// setup would then install into a folder that holds other programs.
// "..\Games" below "C:\Program files" gives "C:\Games", which is neither.
bool LeadsToBaseOrAbove(const char *installDir, const char *baseDir);

// The drive-letter path installDir ("X:\A\B") split into the levels setup
// holds: the length of its root ("X:\", 3) and the end of each level below
// it, outermost first, the install folder last (one trailing separator is
// left out). 0 when installDir is not a
// full path on a drive letter (a network path "\\server\share\..." or a
// relative one) or has an empty, "." or ".." level, or more than capacity
// levels.
int ListFolderLevels(const char *installDir, int *ends, int capacity);
