// Private work folders (see private_dir.h). The descriptor is the one
// DescribePrivateDirAccess describes, built with the plain advapi32 calls.
#include "common/private_dir.h"

#include <cstdint>
#include <cstring>

#include "common/held_file.h"
#include "common/path_text.h"
#include "common/private_dir_rules.h"
#include "common/random_bits.h"
#include "common/temp_dir.h"

namespace {

// Names tried before giving up; a clash is already unlikely with 64 bits.
constexpr int PrivateDirAttempts = 16;

constexpr DWORD HeldFolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;

constexpr int TrusteeCount = 3;

// The storage of one descriptor: the descriptor points into it.
struct DirSecurity {
  SECURITY_DESCRIPTOR descriptor;
  DWORD sids[TrusteeCount][SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD acl[(sizeof(ACL) +
             PrivateDirMaxEntries * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)) /
                sizeof(DWORD) +
            1];
};

static_assert(FullControlMask == FILE_ALL_ACCESS);
static_assert(InheritToFilesAndFolders == (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE));

bool CurrentUserSid(void *sid, DWORD size)
{
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  DWORD user[(sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE) / sizeof(DWORD) + 1];
  DWORD length = 0;
  bool found = GetTokenInformation(token, TokenUser, user, sizeof(user), &length) &&
               CopySid(size, sid, reinterpret_cast<TOKEN_USER *>(user)->User.Sid);
  CloseHandle(token);
  return found;
}

bool FillSids(DirSecurity *security)
{
  DWORD size = sizeof(security->sids[TrusteeSystem]);
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, security->sids[TrusteeSystem], &size))
    return false;
  size = sizeof(security->sids[TrusteeAdministrators]);
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr,
                          security->sids[TrusteeAdministrators], &size))
    return false;
  return CurrentUserSid(security->sids[TrusteeCurrentUser],
                        sizeof(security->sids[TrusteeCurrentUser]));
}

// Turns the description into a real descriptor inside security.
bool BuildDirSecurity(const PrivateDirAccess &access, DirSecurity *security)
{
  if (!FillSids(security))
    return false;
  ACL *acl = reinterpret_cast<ACL *>(security->acl);
  if (!InitializeAcl(acl, sizeof(security->acl), ACL_REVISION))
    return false;
  for (int index = 0; index < access.entryCount; ++index) {
    const AccessEntry &entry = access.entries[index];
    if (!AddAccessAllowedAceEx(acl, ACL_REVISION, entry.inheritFlags, entry.mask,
                               security->sids[entry.trustee]))
      return false;
  }
  SECURITY_DESCRIPTOR *descriptor = &security->descriptor;
  SECURITY_DESCRIPTOR_CONTROL protectedBit = access.isProtected ? SE_DACL_PROTECTED : 0;
  return InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorOwner(descriptor, security->sids[access.owner], FALSE) &&
         SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) &&
         SetSecurityDescriptorControl(descriptor, SE_DACL_PROTECTED, protectedBit);
}

enum CreateResult { FolderMade, NameTaken, FolderFailed };

// Creates and opens path as a new folder in one call: nothing standing at
// the name is ever opened.
CreateResult CreateHeldFolder(const char *path, SECURITY_DESCRIPTOR *descriptor,
                              PrivateDirHold hold, HANDLE *held)
{
  BelowOpen request = {};
  request.name = path;
  request.access = HeldFolderAccess | (hold == HoldForRemoval ? DELETE : 0);
  request.share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  request.disposition = BelowCreateNew;
  request.options = BelowDirectory;
  request.attributes = FILE_ATTRIBUTE_NORMAL;
  request.security = descriptor;
  HANDLE folder = INVALID_HANDLE_VALUE;
  LONG result = OpenBelow(request, &folder);
  if (result == BelowNameCollision)
    return NameTaken;
  if (result < 0)
    return FolderFailed;
  if (!HeldIsPlainFolder(folder)) {
    CloseHandle(folder);
    return FolderFailed;
  }
  *held = folder;
  return FolderMade;
}

}  // namespace

bool ProcessIsElevated()
{
  HANDLE token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
    return false;
  DWORD elevated = 0;  // TOKEN_ELEVATION
  DWORD length = 0;
  bool answered = GetTokenInformation(token, TokenElevation, &elevated, sizeof(elevated), &length);
  CloseHandle(token);
  return answered && elevated != 0;
}

bool PrivateDirParent(char *parent, size_t size, const char *fallbackDir)
{
  bool elevated = ProcessIsElevated();
  char windowsDir[MAX_PATH] = "";
  char tempDir[MAX_PATH] = "";
  if (elevated) {
    UINT length = GetSystemWindowsDirectoryA(windowsDir, sizeof(windowsDir));
    if (length == 0 || length >= sizeof(windowsDir))
      return false;
  } else {
    DWORD length = GetTempPathA(sizeof(tempDir), tempDir);
    if (SettleTempDir(tempDir, sizeof(tempDir), length, fallbackDir) == TempDirUnusable)
      return false;
  }
  return ChooseWorkParent(parent, size, elevated, windowsDir, tempDir);
}

bool MakePrivateDir(const char *parent, const char *prefix, char *path, size_t size, HANDLE *held)
{
  return MakePrivateDirDrawing(parent, prefix, HoldForUse, path, size, held, RandomBits64);
}

void SweepLeftPrivateDirs(const char *parent, const char *prefix)
{
  char pattern[MAX_PATH * 2];
  WIN32_FIND_DATAA found;
  if (!JoinPath(pattern, sizeof(pattern), parent, prefix))
    return;
  size_t length = std::strlen(pattern);
  if (length + 2 > sizeof(pattern))
    return;
  pattern[length] = '*';
  pattern[length + 1] = '\0';
  HANDLE search = FindFirstFileA(pattern, &found);
  if (search == INVALID_HANDLE_VALUE)
    return;
  do {
    char folderPath[MAX_PATH * 2];
    if (!IsPrivateDirName(found.cFileName, prefix) ||
        !JoinPath(folderPath, sizeof(folderPath), parent, found.cFileName))
      continue;
    // Marking a folder fails while anything is inside: only empty ones go.
    DeletePlainBelow(nullptr, folderPath, FILE_SHARE_READ | FILE_SHARE_WRITE, true);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

bool MakePrivateDir(const char *parent, const char *prefix, PrivateDirHold hold, char *path,
                    size_t size, HANDLE *held)
{
  if (hold == HoldForRemoval)
    SweepLeftPrivateDirs(parent, prefix);
  return MakePrivateDirDrawing(parent, prefix, hold, path, size, held, RandomBits64);
}

bool MakePrivateDirDrawing(const char *parent, const char *prefix, PrivateDirHold hold, char *path,
                           size_t size, HANDLE *held, RandomBitsSource draw)
{
  DirSecurity security = {};
  if (!BuildDirSecurity(DescribePrivateDirAccess(ProcessIsElevated()), &security))
    return false;
  for (int attempt = 0; attempt < PrivateDirAttempts; ++attempt) {
    uint64_t bits = 0;
    char name[MAX_PATH];
    if (!draw(&bits) || !FormatPrivateDirName(name, sizeof(name), prefix, bits) ||
        !JoinPath(path, size, parent, name))
      return false;
    switch (CreateHeldFolder(path, &security.descriptor, hold, held)) {
      case FolderMade:
        return true;
      case NameTaken:
        break;
      case FolderFailed:
        return false;
    }
  }
  return false;
}

bool ClosePrivateDir(HANDLE held)
{
  if (held == INVALID_HANDLE_VALUE || held == nullptr)
    return false;
  // Through the held handle itself, so no name is looked up again: the
  // folder goes as the handle closes. Refused while anything is left inside
  // (the work files go as their own handles close) and for a handle without
  // DELETE.
  bool marked = SetDeleteDisposition(held, true);
  CloseHandle(held);
  return marked;
}

bool ClosePrivateDir(HANDLE held, const char *path)
{
  if (held == INVALID_HANDLE_VALUE || held == nullptr)
    return false;
  if (SetDeleteDisposition(held, true)) {
    CloseHandle(held);
    return true;
  }
  // Held without DELETE: opened again by name once released, and removed
  // only when it is still the folder that was held (same volume and index),
  // a plain one, and empty. Nothing inside is deleted, and a link or
  // junction put at the name meanwhile is neither followed nor removed.
  BY_HANDLE_FILE_INFORMATION wasHeld;
  bool known = GetFileInformationByHandle(held, &wasHeld) != FALSE;
  CloseHandle(held);
  BelowOpen request = {};
  request.name = path;
  request.access = DELETE | FILE_READ_ATTRIBUTES;
  request.share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  request.disposition = BelowOpenExisting;
  request.options = BelowDirectory;
  HANDLE folder = INVALID_HANDLE_VALUE;
  if (!known || OpenBelow(request, &folder) < 0)
    return false;
  BY_HANDLE_FILE_INFORMATION found;
  bool removed = HeldIsPlainFolder(folder) && GetFileInformationByHandle(folder, &found) &&
                 found.dwVolumeSerialNumber == wasHeld.dwVolumeSerialNumber &&
                 found.nFileIndexHigh == wasHeld.nFileIndexHigh &&
                 found.nFileIndexLow == wasHeld.nFileIndexLow && SetDeleteDisposition(folder, true);
  CloseHandle(folder);
  return removed;
}
