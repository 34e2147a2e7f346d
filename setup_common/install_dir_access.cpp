// The install folder's descriptor and hold (see install_dir_access.h).
// GetFinalPathNameByHandleA came with Windows Vista, the oldest system the
// programs' manifests declare.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#include "setup_common/install_dir_access.h"

#include <aclapi.h>

#include <cstring>

#include "common/ascii_text.h"
#include "setup_common/state.h"

namespace {

static_assert(ReadAndExecuteMask == (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
static_assert(FullControlMask == FILE_ALL_ACCESS);
static_assert(FILE_ATTRIBUTE_DIRECTORY == 0x10 && FILE_ATTRIBUTE_REPARSE_POINT == 0x400);

// The rights the hold needs: list the folder, make files and folders in it,
// read its attributes (to see what was opened), and change its owner and
// access. No DELETE: the handle itself cannot remove or rename the folder.
constexpr DWORD HoldAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_ADD_FILE |
                             FILE_ADD_SUBDIRECTORY | FILE_READ_ATTRIBUTES | READ_CONTROL |
                             WRITE_DAC | WRITE_OWNER | SYNCHRONIZE;

bool FillWellKnownSid(InstallDirSecurity *security, AccessTrustee trustee, WELL_KNOWN_SID_TYPE type)
{
  DWORD size = sizeof(security->sids[trustee]);
  return CreateWellKnownSid(type, nullptr, security->sids[trustee], &size) != FALSE;
}

// Whether the folder held is known by path itself, not by the name of
// another folder that path led to (case aside).
bool HeldUnderItsOwnName(HANDLE folder, const char *path)
{
  char final[MAX_PATH + 8];
  DWORD length = GetFinalPathNameByHandleA(folder, final, sizeof(final),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  constexpr size_t Prefix = 4;  // "\\?\"
  size_t pathLength = std::strlen(path);
  return length > Prefix && length < sizeof(final) && length - Prefix == pathLength &&
         SameTextNoCase(final + Prefix, path, pathLength);
}

}  // namespace

bool BuildInstallDirSecurity(InstallDirSecurity *security)
{
  if (!FillWellKnownSid(security, TrusteeSystem, WinLocalSystemSid) ||
      !FillWellKnownSid(security, TrusteeAdministrators, WinBuiltinAdministratorsSid) ||
      !FillWellKnownSid(security, TrusteeUsers, WinBuiltinUsersSid))
    return false;
  PrivateDirAccess access = DescribeInstallDirAccess();
  ACL *acl = reinterpret_cast<ACL *>(security->acl);
  if (!InitializeAcl(acl, sizeof(security->acl), ACL_REVISION))
    return false;
  for (int index = 0; index < access.entryCount; ++index) {
    const AccessEntry &entry = access.entries[index];
    if (entry.trustee == TrusteeCurrentUser ||
        !AddAccessAllowedAceEx(acl, ACL_REVISION, entry.inheritFlags, entry.mask,
                               security->sids[entry.trustee]))
      return false;
  }
  SECURITY_DESCRIPTOR *descriptor = &security->descriptor;
  return InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorOwner(descriptor, security->sids[access.owner], FALSE) &&
         SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) &&
         SetSecurityDescriptorControl(descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

InstallDirHold HoldInstallDir(const char *path, InstallDirSecurity *security, HANDLE *held)
{
  *held = INVALID_HANDLE_VALUE;
  HANDLE folder =
      CreateFileA(path, HoldAccess, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (folder == INVALID_HANDLE_VALUE)
    return InstallDirRefused;
  BY_HANDLE_FILE_INFORMATION information;
  InstallDirHold found = InstallDirRefused;
  if (GetFileInformationByHandle(folder, &information)) {
    // The handle shows a link or junction on Windows. Wine shows a Unix
    // symbolic link only to a look-up by name, and shows a mount point
    // there too; that name now stands for the held folder, which can be
    // neither renamed nor removed. A reparse point seen by name alone is a
    // link when the folder held bears another name: a mount point keeps
    // its own.
    DWORD byName = GetFileAttributesA(path);
    DWORD attributes = information.dwFileAttributes;
    if (byName != INVALID_FILE_ATTRIBUTES && (byName & FILE_ATTRIBUTE_REPARSE_POINT) &&
        !HeldUnderItsOwnName(folder, path))
      attributes |= FILE_ATTRIBUTE_REPARSE_POINT;
    found = JudgeHeldInstallDir(attributes);
  }
  // Protected: the entries of the parent no longer reach the folder, and
  // the new ones are passed on to what it already holds.
  const SECURITY_INFORMATION what =
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION;
  ACL *acl = reinterpret_cast<ACL *>(security->acl);
  if (found == InstallDirTaken &&
      SetSecurityInfo(folder, SE_FILE_OBJECT, what, security->sids[TrusteeAdministrators], nullptr,
                      acl, nullptr) != ERROR_SUCCESS)
    found = InstallDirRefused;
  if (found == InstallDirTaken)
    *held = folder;
  else
    CloseHandle(folder);
  return found;
}

void ReleaseInstallDir()
{
  if (InstallDirHeld != INVALID_HANDLE_VALUE && InstallDirHeld != nullptr)
    CloseHandle(InstallDirHeld);
  InstallDirHeld = INVALID_HANDLE_VALUE;
}
