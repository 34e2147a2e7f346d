// Private work folders (see private_dir.h). The descriptor is the one
// DescribePrivateDirAccess describes, built with the plain advapi32 calls.
#include "common/private_dir.h"

#include <winternl.h>

#include <cstdint>

#include "common/held_file.h"
#include "common/path_text.h"
#include "common/private_dir_rules.h"
#include "common/random_bits.h"
#include "common/system_call.h"

namespace {

// Names tried before giving up; a clash is already unlikely with 64 bits.
constexpr int PrivateDirAttempts = 16;

// NtCreateFile's disposition and options, and the collision status.
constexpr ULONG CreateOnly = 2;                                // FILE_CREATE
constexpr ULONG DirectoryFile = 0x00000001;                    // FILE_DIRECTORY_FILE
constexpr ULONG SynchronousIo = 0x00000020;                    // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG OpenReparsePoint = 0x00200000;                 // FILE_OPEN_REPARSE_POINT
constexpr ULONG CaseInsensitive = 0x00000040;                  // OBJ_CASE_INSENSITIVE
constexpr LONG NameCollision = static_cast<LONG>(0xC0000035);  // STATUS_OBJECT_NAME_COLLISION

constexpr DWORD HeldFolderAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL | SYNCHRONIZE;

typedef LONG(NTAPI *NtCreateFileCall)(HANDLE *, ACCESS_MASK, OBJECT_ATTRIBUTES *, IO_STATUS_BLOCK *,
                                      LARGE_INTEGER *, ULONG, ULONG, ULONG, ULONG, void *, ULONG);

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
CreateResult CreateHeldFolder(const char *path, SECURITY_DESCRIPTOR *descriptor, HANDLE *held)
{
  NtCreateFileCall create = SystemCall<NtCreateFileCall>("ntdll.dll", "NtCreateFile");
  wchar_t nativePath[4 + MAX_PATH * 2];
  size_t length = 0;
  if (create == nullptr ||
      !NativePathOf(path, nativePath, sizeof(nativePath) / sizeof(nativePath[0]), &length))
    return FolderFailed;
  UNICODE_STRING name;
  name.Buffer = nativePath;
  name.Length = static_cast<USHORT>(length * sizeof(wchar_t));
  name.MaximumLength = name.Length;
  OBJECT_ATTRIBUTES attributes = {};
  attributes.Length = sizeof(attributes);
  attributes.ObjectName = &name;
  attributes.Attributes = CaseInsensitive;
  attributes.SecurityDescriptor = descriptor;
  IO_STATUS_BLOCK status = {};
  HANDLE folder = INVALID_HANDLE_VALUE;
  LONG result = create(&folder, HeldFolderAccess, &attributes, &status, nullptr,
                       FILE_ATTRIBUTE_NORMAL, FILE_SHARE_READ | FILE_SHARE_WRITE, CreateOnly,
                       DirectoryFile | SynchronousIo | OpenReparsePoint, nullptr, 0);
  if (result == NameCollision)
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

// Deletes path\name through a handle when it is a plain file.
void DeletePlainFile(const char *path, const char *name)
{
  char filePath[MAX_PATH * 2];
  if (!JoinPath(filePath, sizeof(filePath), path, name))
    return;
  HANDLE file = CreateFileA(filePath, DELETE | FILE_READ_ATTRIBUTES,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  if (HeldIsPlainFile(file))
    SetDeleteDisposition(file, true);
  CloseHandle(file);
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

bool MakePrivateDir(const char *parent, const char *prefix, char *path, size_t size, HANDLE *held)
{
  return MakePrivateDirDrawing(parent, prefix, path, size, held, RandomBits64);
}

bool MakePrivateDirDrawing(const char *parent, const char *prefix, char *path, size_t size,
                           HANDLE *held, RandomBitsSource draw)
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
    switch (CreateHeldFolder(path, &security.descriptor, held)) {
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

bool ClosePrivateDir(HANDLE held, const char *path)
{
  if (held == INVALID_HANDLE_VALUE || held == nullptr)
    return false;
  char pattern[MAX_PATH * 2];
  WIN32_FIND_DATAA found;
  HANDLE search = JoinPath(pattern, sizeof(pattern), path, "*") ? FindFirstFileA(pattern, &found)
                                                                : INVALID_HANDLE_VALUE;
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0)
        DeletePlainFile(path, found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  // By name once released: what may stand there by then is at worst an
  // empty folder or a junction of someone else's, and RemoveDirectoryA
  // removes neither a folder's contents nor a junction's target.
  CloseHandle(held);
  return RemoveDirectoryA(path) != FALSE;
}
