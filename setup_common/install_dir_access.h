// The install folder made the elevated setup's own: the descriptor of
// DescribeInstallDirAccess (private_dir_rules.h) built with the advapi32
// calls, and the hold that the destination page takes on the folder. The
// uninstaller later runs elevated from this folder, so no other user may
// change what is in it, nor swap it for a link while setup writes.
#pragma once

#include <windows.h>

#include "common/private_dir_rules.h"

// The storage of one descriptor; descriptor points into the rest.
struct InstallDirSecurity {
  SECURITY_DESCRIPTOR descriptor;
  DWORD sids[TrusteeUsers + 1][SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD acl[(sizeof(ACL) +
             PrivateDirMaxEntries * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)) /
                sizeof(DWORD) +
            1];
};

// Builds the install folder's descriptor into *security: owner
// Administrators, protected, SYSTEM and Administrators full control, Users
// read and execute, all inherited inside. false when a call fails.
bool BuildInstallDirSecurity(InstallDirSecurity *security);

// Opens the existing folder path itself (FILE_FLAG_OPEN_REPARSE_POINT: a
// link or junction at the name is opened, never followed) with the rights
// to list it, make files and folders in it and change its owner and
// access, shared for reading and writing but not deleting, so that nobody
// can rename or remove it while it is held. A reparse point, shown by the
// handle or by the name it now holds, is refused as a link. Then, through that handle and
// no second open by name, sets owner Administrators and the protected
// access list of *security; the entries inherited inside are passed on to
// what the folder already holds. *held receives the handle when the result
// is InstallDirTaken and INVALID_HANDLE_VALUE otherwise (nothing stays
// open).
InstallDirHold HoldInstallDir(const char *path, InstallDirSecurity *security, HANDLE *held);

// Closes what InstallDirHeld holds, if anything, and marks it as holding
// nothing.
void ReleaseInstallDir();
