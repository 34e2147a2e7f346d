// The install folder's chain of held levels (see install_folder.h).
#include "setup_common/install_folder.h"

#include <winternl.h>

#include <cstring>

#include "common/ascii_text.h"
#include "common/held_file.h"
#include "common/never_install.h"
#include "common/path_text.h"
#include "common/product.h"
#include "common/runs_under_wine.h"
#include "common/system_call.h"
#include "resources/setup_texts.h"
#include "setup_common/install_folder_rules.h"
#include "setup_common/state.h"

namespace {

typedef LONG(NTAPI *NtQueryVolumeInformationFileCall)(HANDLE, IO_STATUS_BLOCK *, void *, ULONG,
                                                      ULONG);

static_assert(FullControlMask == FILE_ALL_ACCESS);
static_assert(ReadAndExecuteMask == (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));

// A level above the install folder: walked and listed (a folder opened for
// listing takes part in sharing checks, so without delete sharing nobody
// renames it while held), its attributes and descriptor read.
constexpr ACCESS_MASK LevelAccess =
    FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | READ_CONTROL;
// The install folder: also written in by the copy, relative to the handle.
constexpr ACCESS_MASK InstallFolderAccess = LevelAccess | FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY;
constexpr ULONG ShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

// FS_INFORMATION_CLASS values and what they give.
constexpr ULONG FsDeviceInformation = 4;
constexpr ULONG FsAttributeInformation = 5;
constexpr LONG BufferOverflow = static_cast<LONG>(0x80000005);  // STATUS_BUFFER_OVERFLOW

// A path of at most MaxWindowsPath characters has at most this many levels
// below its root (each a name and a separator).
constexpr int MaxLevels = MaxWindowsPath / 2 + 1;

// The storage of the install folder's descriptor; descriptor points into
// the rest.
struct InstallDirSecurity {
  SECURITY_DESCRIPTOR descriptor;
  DWORD sids[TrusteeUsers + 1][SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD acl[(sizeof(ACL) +
             PrivateDirMaxEntries * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE)) /
                sizeof(DWORD) +
            1];
};

// The chain: levels[0] the drive root, levels[count] the install folder.
struct HeldChain {
  char path[PathBufferSize];
  int ends[MaxLevels];  // end of each level in path; ends[0] the root's length
  HANDLE levels[MaxLevels + 1];
  bool made[MaxLevels + 1];
  int count;  // levels below the root that are held
};

HeldChain Chain = {};
InstallDirSecurity Security = {};
NeverInstallFolders NeverInstall = {};
// A descriptor as read back from a handle; 64 KB holds the largest list.
DWORD DescriptorBytes[16384];

// Under Wine every owner reads back as the user, no list is enforced and
// lists are mapped onto mode bits, so owners and entries of real folders
// cannot be judged there. The one place that decides it: links, the
// folders never installed into and volumes are judged everywhere.
bool AccessCanBeJudged()
{
  return !RunsUnderWine();
}

bool FillWellKnownSid(AccessTrustee trustee, WELL_KNOWN_SID_TYPE type)
{
  DWORD size = sizeof(Security.sids[trustee]);
  return CreateWellKnownSid(type, nullptr, Security.sids[trustee], &size) != FALSE;
}

// The descriptor of DescribeInstallDirAccess: owner Administrators,
// protected, SYSTEM and Administrators full control, Users read and
// execute, all inherited inside.
bool BuildInstallDirSecurity()
{
  if (!FillWellKnownSid(TrusteeSystem, WinLocalSystemSid) ||
      !FillWellKnownSid(TrusteeAdministrators, WinBuiltinAdministratorsSid) ||
      !FillWellKnownSid(TrusteeUsers, WinBuiltinUsersSid))
    return false;
  PrivateDirAccess access = DescribeInstallDirAccess();
  ACL *acl = reinterpret_cast<ACL *>(Security.acl);
  if (!InitializeAcl(acl, sizeof(Security.acl), ACL_REVISION))
    return false;
  for (int index = 0; index < access.entryCount; ++index) {
    const AccessEntry &entry = access.entries[index];
    if (entry.trustee == TrusteeCurrentUser ||
        !AddAccessAllowedAceEx(acl, ACL_REVISION, entry.inheritFlags, entry.mask,
                               Security.sids[entry.trustee]))
      return false;
  }
  SECURITY_DESCRIPTOR *descriptor = &Security.descriptor;
  return InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorOwner(descriptor, Security.sids[access.owner], FALSE) &&
         SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE) &&
         SetSecurityDescriptorControl(descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

// The owner and access list of the held folder, self-relative, into
// DescriptorBytes; its size, 0 when it cannot be read.
size_t ReadDescriptor(HANDLE folder)
{
  DWORD needed = 0;
  if (!GetKernelObjectSecurity(folder, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                               DescriptorBytes, sizeof(DescriptorBytes), &needed) ||
      needed > sizeof(DescriptorBytes))
    return 0;
  return needed;
}

const uint8_t *DescriptorData()
{
  return reinterpret_cast<const uint8_t *>(DescriptorBytes);
}

// The volume of the held root, as its file system and device describe it.
VolumeVerdict JudgeHeldVolume(HANDLE root)
{
  NtQueryVolumeInformationFileCall query =
      SystemCall<NtQueryVolumeInformationFileCall>("ntdll.dll", "NtQueryVolumeInformationFile");
  struct {
    ULONG deviceType;
    ULONG characteristics;
  } device = {};
  alignas(8) ULONG attributes[128] = {};  // FILE_FS_ATTRIBUTE_INFORMATION and its name
  IO_STATUS_BLOCK status = {};
  if (query == nullptr || query(root, &status, &device, sizeof(device), FsDeviceInformation) < 0)
    return VolumeWithoutAccessLists;
  LONG result = query(root, &status, attributes, sizeof(attributes), FsAttributeInformation);
  if (result < 0 && result != BufferOverflow)
    return VolumeWithoutAccessLists;
  return JudgeVolume(attributes[0], device.deviceType, device.characteristics);
}

// The level i of Chain.path (1 = the first below the root) as one name.
void LevelName(int level, char *name, size_t size)
{
  int start = level == 1 ? Chain.ends[0] : Chain.ends[level - 1] + 1;
  size_t length = static_cast<size_t>(Chain.ends[level] - start);
  if (length >= size)
    length = size - 1;
  std::memcpy(name, Chain.path + start, length);
  name[length] = '\0';
}

// The path down to level (the drive root for 0), for a box.
void LevelPath(int level, char *out, size_t size)
{
  size_t length = static_cast<size_t>(Chain.ends[level]);
  if (length >= size)
    length = size - 1;
  std::memcpy(out, Chain.path, length);
  out[length] = '\0';
}

// Closes every held level, innermost first; with removeMade, each level
// this run made is removed again through its held parent once its own
// handle is closed (it is empty: nothing was written yet).
void CloseChain(bool removeMade)
{
  for (int level = Chain.count; level >= 0; --level) {
    if (Chain.levels[level] != INVALID_HANDLE_VALUE && Chain.levels[level] != nullptr)
      CloseHandle(Chain.levels[level]);
    Chain.levels[level] = INVALID_HANDLE_VALUE;
    if (removeMade && level > 0 && Chain.made[level]) {
      char name[PathBufferSize];
      LevelName(level, name, sizeof(name));
      DeletePlainBelow(Chain.levels[level - 1], name, ShareReadWrite, true);
    }
    Chain.made[level] = false;
  }
  Chain.count = 0;
  InstallDirHeld = INVALID_HANDLE_VALUE;
}

// A box naming a folder (format has one %s), owned by the page.
void Refuse(HWND page, const char *format, const char *folder)
{
  char text[2 * PathBufferSize + 512];
  wsprintfA(text, format, folder);
  MessageBoxA(page, text, SetupCaption, MB_OK | MB_ICONERROR);
}

void RefuseLevel(HWND page, const char *format, int level)
{
  char folder[PathBufferSize];
  LevelPath(level, folder, sizeof(folder));
  Refuse(page, format, folder);
}

// The box for an existing folder that others can change, by its role.
const char *OpenToOthersFormat(FolderRole role)
{
  return role == RoleInstallFolder ? InstallDirOpenFormat : LevelOpenFormat;
}

// Opens level below the held level above it, making it when it is missing
// (or when a level above was made). false, after the box, when the level
// is refused or cannot be opened or made.
bool HoldLevel(HWND page, int level, bool judge)
{
  const bool last = level == Chain.count;
  char name[PathBufferSize];
  LevelName(level, name, sizeof(name));
  HANDLE parent = Chain.levels[level - 1];
  BelowOpen request = {parent,
                       name,
                       last ? InstallFolderAccess : LevelAccess,
                       ShareReadWrite,
                       BelowOpenExisting,
                       BelowDirectory,
                       0,
                       nullptr};
  HANDLE handle = INVALID_HANDLE_VALUE;
  LONG status =
      Chain.made[level - 1] ? static_cast<LONG>(StatusNameNotFound) : OpenBelow(request, &handle);
  if (IsMissingStatus(status)) {
    // Made and held in one call, with its protected list: nothing can
    // come between the making and the hold.
    request.disposition = BelowCreateNew;
    request.security = &Security.descriptor;
    status = OpenBelow(request, &handle);
    if (status < 0) {
      Refuse(page, CannotCreateFormat, InstallDir);
      return false;
    }
    Chain.levels[level] = handle;
    Chain.made[level] = true;
    size_t size = judge ? ReadDescriptor(handle) : 0;
    if (judge && !MatchesFolderAccess(DescriptorData(), size, DescribeInstallDirAccess())) {
      RefuseLevel(page, InstallDirUnusableFormat, level);
      return false;
    }
    return true;
  }
  if (status < 0) {
    RefuseLevel(page, last ? InstallDirUnusableFormat : LevelUnusableFormat, level);
    return false;
  }
  Chain.levels[level] = handle;
  DWORD attributes = 0;
  if (!HeldAttributes(handle, &attributes)) {
    RefuseLevel(page, last ? InstallDirUnusableFormat : LevelUnusableFormat, level);
    return false;
  }
  // A link, junction or mounted volume shows as a reparse point on
  // Windows, and is refused: a junction can name any volume. Wine shows a
  // Unix symbolic link as the folder it points at, but names it as its
  // target, not as the level above + name; it marks a Unix mount point as
  // a reparse point that holds no reparse data, which redirects nothing.
  if (((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && HeldHoldsReparseData(handle)) ||
      !HeldIsNamedBelow(handle, parent, name)) {
    RefuseLevel(page, last ? InstallDirLinkFormat : LevelLinkFormat, level);
    return false;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    if (last)
      Refuse(page, CannotCreateFormat, InstallDir);
    else
      RefuseLevel(page, LevelUnusableFormat, level);
    return false;
  }
  if (!judge)
    return true;
  const FolderRole role = last ? RoleInstallFolder : RoleLevelAbove;
  size_t size = ReadDescriptor(handle);
  if (JudgeFolderAccess(DescriptorData(), size, role) != AccessAdministratorsOnly) {
    RefuseLevel(page, OpenToOthersFormat(role), level);
    return false;
  }
  return true;
}

// Opens and judges the drive root and its volume; false after the box.
bool HoldRoot(HWND page, bool judge)
{
  char root[DriveRootLength + 1];
  LevelPath(0, root, sizeof(root));
  // A root can be neither renamed nor removed: it is shared for deleting,
  // so that the hold never stands in another program's way.
  BelowOpen request = {
      nullptr,           root,           LevelAccess, ShareReadWrite | FILE_SHARE_DELETE,
      BelowOpenExisting, BelowDirectory, 0,           nullptr};
  if (OpenBelow(request, &Chain.levels[0]) < 0) {
    Refuse(page, InstallDirUnusableFormat, Chain.path);
    return false;
  }
  switch (JudgeHeldVolume(Chain.levels[0])) {
    case VolumeWithoutAccessLists:
      Refuse(page, VolumeNoAccessListsFormat, Chain.path);
      return false;
    case VolumeOnNetwork:
      Refuse(page, VolumeNetworkFormat, Chain.path);
      return false;
    default:
      break;
  }
  if (judge && JudgeFolderAccess(DescriptorData(), ReadDescriptor(Chain.levels[0]),
                                 RoleDriveRoot) != AccessAdministratorsOnly) {
    Refuse(page, LevelOpenFormat, root);
    return false;
  }
  return true;
}

// Whether the held install folder, by the name the system gives it (long
// names, not a short name such as PROGRA~1), is a folder never installed
// into.
bool HeldIsNeverInstallFolder(HANDLE folder)
{
  char final[PathBufferSize];
  DWORD length = GetFinalPathNameByHandleA(folder, final, sizeof(final),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  constexpr size_t Prefix = 4;  // "\\?\"
  if (length <= Prefix || length >= sizeof(final))
    return true;
  return IsNeverInstallFolder(final + Prefix, NeverInstall);
}

// Holds every level of InstallDir; false, after the box, with nothing held.
bool HoldChain(HWND page)
{
  const bool judge = AccessCanBeJudged();
  if (!HoldRoot(page, judge))
    return false;
  for (int level = 1; level <= Chain.count; ++level)
    if (!HoldLevel(page, level, judge))
      return false;
  if (!Chain.made[Chain.count] && HeldIsNeverInstallFolder(Chain.levels[Chain.count])) {
    Refuse(page, NeverInstallFormat, InstallDir);
    return false;
  }
  return true;
}

}  // namespace

bool ClaimInstallFolder(HWND page, const char *baseDir)
{
  ReleaseInstallFolder(false);
  InstallDirMade = false;
  char base[PathBufferSize];
  DWORD baseLength =
      GetFullPathNameA(baseDir[0] != '\0' ? baseDir : ".", sizeof(base), base, nullptr);
  if (baseLength == 0 || baseLength >= sizeof(base))
    lstrcpynA(base, baseDir, sizeof(base));
  if (LeadsToBaseOrAbove(InstallDir, base)) {
    char text[3 * PathBufferSize];
    wsprintfA(text, InstallDirOutsideFormat, InstallDir, base);
    MessageBoxA(page, text, SetupCaption, MB_OK | MB_ICONERROR);
    return false;
  }
  ReadNeverInstallFolders(&NeverInstall);
  if (IsNeverInstallFolder(InstallDir, NeverInstall)) {
    Refuse(page, NeverInstallFormat, InstallDir);
    return false;
  }
  lstrcpynA(Chain.path, InstallDir, sizeof(Chain.path));
  int count = ListFolderLevels(Chain.path, Chain.ends + 1, MaxLevels - 1);
  if (count == 0) {
    const bool network = Chain.path[0] == '\\' && Chain.path[1] == '\\';
    Refuse(page, network ? VolumeNetworkFormat : InstallDirUnusableFormat, InstallDir);
    return false;
  }
  if (!BuildInstallDirSecurity()) {
    Refuse(page, InstallDirUnusableFormat, InstallDir);
    return false;
  }
  Chain.ends[0] = static_cast<int>(DriveRootLength);
  Chain.count = count;
  for (int level = 0; level <= count; ++level) {
    Chain.levels[level] = INVALID_HANDLE_VALUE;
    Chain.made[level] = false;
  }
  if (!HoldChain(page)) {
    CloseChain(true);
    return false;
  }
  // An existing folder that passed: the user says whether it is an earlier
  // installation of this software.
  if (!Chain.made[count] &&
      MessageBoxA(page, DirExistsText, SetupCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    CloseChain(true);
    return false;
  }
  InstallDirHeld = Chain.levels[count];
  InstallDirMade = Chain.made[count];
  return true;
}

void ReleaseInstallFolder(bool removeMade)
{
  CloseChain(removeMade);
}
