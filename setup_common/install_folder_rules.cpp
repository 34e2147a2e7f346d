#include "setup_common/install_folder_rules.h"

#include <cstring>

#include "common/ascii_text.h"
#include "common/path_text.h"

namespace {

// SECURITY_DESCRIPTOR_RELATIVE: revision, padding, control, then the
// offsets of owner, group, SACL and DACL from its start.
constexpr size_t DescriptorHeaderSize = 20;
constexpr uint16_t DaclPresent = 0x0004;    // SE_DACL_PRESENT
constexpr uint16_t DaclProtected = 0x1000;  // SE_DACL_PROTECTED
constexpr uint16_t SelfRelative = 0x8000;   // SE_SELF_RELATIVE
constexpr size_t AclHeaderSize = 8;
constexpr size_t AceHeaderSize = 4;
constexpr size_t MaxSubAuthorities = 15;

// ACE types and flags.
constexpr uint8_t AllowedAce = 0x0;          // ACCESS_ALLOWED_ACE_TYPE
constexpr uint8_t DeniedAce = 0x1;           // ACCESS_DENIED_ACE_TYPE
constexpr uint8_t AllowedCallbackAce = 0x9;  // ACCESS_ALLOWED_CALLBACK_ACE_TYPE
constexpr uint8_t DeniedCallbackAce = 0xA;   // ACCESS_DENIED_CALLBACK_ACE_TYPE
constexpr uint8_t InheritOnly = 0x08;        // INHERIT_ONLY_ACE
constexpr uint8_t InheritedAce = 0x10;       // INHERITED_ACE

// Rights.
constexpr uint32_t WriteData = 0x0002;        // FILE_WRITE_DATA, FILE_ADD_FILE
constexpr uint32_t AppendData = 0x0004;       // FILE_APPEND_DATA, FILE_ADD_SUBDIRECTORY
constexpr uint32_t WriteEa = 0x0010;          // FILE_WRITE_EA
constexpr uint32_t DeleteChild = 0x0040;      // FILE_DELETE_CHILD
constexpr uint32_t WriteAttributes = 0x0100;  // FILE_WRITE_ATTRIBUTES
constexpr uint32_t Delete = 0x00010000;
constexpr uint32_t WriteDac = 0x00040000;
constexpr uint32_t WriteOwner = 0x00080000;
constexpr uint32_t MaximumAllowed = 0x02000000;
constexpr uint32_t GenericAll = 0x10000000;
constexpr uint32_t GenericWrite = 0x40000000;

constexpr uint32_t ReplaceRights =
    DeleteChild | WriteDac | WriteOwner | GenericAll | MaximumAllowed;
constexpr uint32_t RefusedRights[] = {
    ReplaceRights,           // RoleDriveRoot
    ReplaceRights | Delete,  // RoleLevelAbove
    ReplaceRights | Delete | WriteData | AppendData | WriteEa | WriteAttributes |
        GenericWrite,  // RoleInstallFolder
};

constexpr uint32_t PersistentAcls = 0x00000008;  // FILE_PERSISTENT_ACLS
constexpr uint32_t NetworkFileSystem = 0x14;     // FILE_DEVICE_NETWORK_FILE_SYSTEM
constexpr uint32_t RemoteDevice = 0x00000010;    // FILE_REMOTE_DEVICE

// A SID as revision, count, authority (6 bytes) and sub-authorities.
struct SidBytes {
  uint8_t authority;  // the last byte of the identifier authority (the others 0)
  uint8_t count;
  uint32_t sub[6];
};

constexpr SidBytes SystemSid = {5, 1, {18}};               // S-1-5-18
constexpr SidBytes AdministratorsSid = {5, 2, {32, 544}};  // S-1-5-32-544
constexpr SidBytes UsersSid = {5, 2, {32, 545}};           // S-1-5-32-545
constexpr SidBytes CreatorOwnerSid = {3, 1, {0}};          // S-1-3-0
constexpr SidBytes TrustedInstallerSid = {                 // NT SERVICE\TrustedInstaller
    5,
    6,
    {80, 956008885, 3418522649, 1831038044, 1853292631, 2271478464}};

uint16_t Read16(const uint8_t *at)
{
  return static_cast<uint16_t>(at[0] | (at[1] << 8));
}

uint32_t Read32(const uint8_t *at)
{
  return static_cast<uint32_t>(at[0]) | (static_cast<uint32_t>(at[1]) << 8) |
         (static_cast<uint32_t>(at[2]) << 16) | (static_cast<uint32_t>(at[3]) << 24);
}

// The length of the SID at bytes[0, size), 0 when it is not one.
size_t SidLength(const uint8_t *bytes, size_t size)
{
  if (size < 8 || bytes[0] != 1 || bytes[1] > MaxSubAuthorities)
    return 0;
  size_t length = 8 + 4 * static_cast<size_t>(bytes[1]);
  return length <= size ? length : 0;
}

bool IsSid(const uint8_t *sid, const SidBytes &known)
{
  if (sid[1] != known.count)
    return false;
  for (int i = 0; i < 5; ++i)
    if (sid[2 + i] != 0)
      return false;
  if (sid[7] != known.authority)
    return false;
  for (uint8_t i = 0; i < known.count; ++i)
    if (Read32(sid + 8 + 4 * i) != known.sub[i])
      return false;
  return true;
}

bool IsAdministrative(const uint8_t *sid)
{
  return IsSid(sid, SystemSid) || IsSid(sid, AdministratorsSid) || IsSid(sid, TrustedInstallerSid);
}

const SidBytes &SidOf(AccessTrustee trustee)
{
  switch (trustee) {
    case TrusteeSystem:
      return SystemSid;
    case TrusteeAdministrators:
      return AdministratorsSid;
    default:
      return UsersSid;
  }
}

// One access entry of a list, read.
struct Entry {
  uint8_t type;
  uint8_t flags;
  uint32_t mask;
  const uint8_t *sid;
};

// A descriptor's parts, read and bounded.
struct Parsed {
  uint16_t control;
  const uint8_t *owner;  // null when absent
  const uint8_t *acl;    // null when there is no list (everyone may do anything)
  size_t aclSize;
  uint16_t entryCount;
};

bool Parse(const uint8_t *descriptor, size_t size, Parsed *out)
{
  if (descriptor == nullptr || size < DescriptorHeaderSize || descriptor[0] != 1)
    return false;
  out->control = Read16(descriptor + 2);
  if ((out->control & SelfRelative) == 0)
    return false;
  uint32_t ownerOffset = Read32(descriptor + 4);
  uint32_t daclOffset = Read32(descriptor + 16);
  out->owner = nullptr;
  if (ownerOffset != 0) {
    if (ownerOffset >= size || SidLength(descriptor + ownerOffset, size - ownerOffset) == 0)
      return false;
    out->owner = descriptor + ownerOffset;
  }
  out->acl = nullptr;
  out->aclSize = 0;
  out->entryCount = 0;
  if ((out->control & DaclPresent) == 0 || daclOffset == 0)
    return true;
  if (daclOffset >= size || size - daclOffset < AclHeaderSize)
    return false;
  const uint8_t *acl = descriptor + daclOffset;
  size_t aclSize = Read16(acl + 2);
  if (aclSize < AclHeaderSize || aclSize > size - daclOffset)
    return false;
  out->acl = acl;
  out->aclSize = aclSize;
  out->entryCount = Read16(acl + 4);
  return true;
}

// Reads the entry at *offset of the list and moves *offset past it; false
// when it does not fit the list, or an allow or deny entry holds no SID.
bool NextEntry(const Parsed &parsed, size_t *offset, Entry *entry)
{
  if (*offset > parsed.aclSize || parsed.aclSize - *offset < AceHeaderSize)
    return false;
  const uint8_t *ace = parsed.acl + *offset;
  size_t aceSize = Read16(ace + 2);
  if (aceSize < AceHeaderSize || aceSize > parsed.aclSize - *offset)
    return false;
  entry->type = ace[0];
  entry->flags = ace[1];
  entry->mask = 0;
  entry->sid = nullptr;
  *offset += aceSize;
  const bool simple = entry->type == AllowedAce || entry->type == DeniedAce ||
                      entry->type == AllowedCallbackAce || entry->type == DeniedCallbackAce;
  if (!simple)
    return true;
  if (aceSize < AceHeaderSize + 4 || SidLength(ace + 8, aceSize - 8) == 0)
    return false;
  entry->mask = Read32(ace + 4);
  entry->sid = ace + 8;
  return true;
}

bool AppliesInRole(const Entry &entry, FolderRole role)
{
  if ((entry.flags & InheritOnly) == 0)
    return true;
  return role == RoleInstallFolder && !IsSid(entry.sid, CreatorOwnerSid);
}

}  // namespace

AccessVerdict JudgeFolderAccess(const uint8_t *descriptor, size_t size, FolderRole role)
{
  Parsed parsed;
  if (!Parse(descriptor, size, &parsed) || parsed.owner == nullptr)
    return AccessUnreadable;
  if (!IsAdministrative(parsed.owner))
    return AccessOwnedByOther;
  if (parsed.acl == nullptr)
    return AccessOpenToOthers;
  size_t offset = AclHeaderSize;
  for (uint16_t index = 0; index < parsed.entryCount; ++index) {
    Entry entry;
    if (!NextEntry(parsed, &offset, &entry))
      return AccessUnreadable;
    if (entry.type == DeniedAce || entry.type == DeniedCallbackAce)
      continue;
    // An allow entry of a kind that names objects or claims: not one a
    // folder of this machine carries, and its reach is not judged here.
    if (entry.sid == nullptr)
      return AccessOpenToOthers;
    if (!AppliesInRole(entry, role) || IsAdministrative(entry.sid))
      continue;
    if ((entry.mask & RefusedRights[role]) != 0)
      return AccessOpenToOthers;
  }
  return AccessAdministratorsOnly;
}

bool MatchesFolderAccess(const uint8_t *descriptor, size_t size, const PrivateDirAccess &expected)
{
  Parsed parsed;
  if (!Parse(descriptor, size, &parsed) || parsed.owner == nullptr || parsed.acl == nullptr ||
      !IsSid(parsed.owner, SidOf(expected.owner)) ||
      ((parsed.control & DaclProtected) != 0) != expected.isProtected ||
      parsed.entryCount != expected.entryCount)
    return false;
  bool seen[PrivateDirMaxEntries] = {};
  size_t offset = AclHeaderSize;
  for (uint16_t index = 0; index < parsed.entryCount; ++index) {
    Entry entry;
    if (!NextEntry(parsed, &offset, &entry) || entry.type != AllowedAce)
      return false;
    bool matched = false;
    for (int wanted = 0; wanted < expected.entryCount && !matched; ++wanted) {
      const AccessEntry &want = expected.entries[wanted];
      if (!seen[wanted] && IsSid(entry.sid, SidOf(want.trustee)) && entry.mask == want.mask &&
          (entry.flags & ~InheritedAce) == want.inheritFlags && (entry.flags & InheritedAce) == 0)
        seen[wanted] = matched = true;
    }
    if (!matched)
      return false;
  }
  return true;
}

VolumeVerdict JudgeVolume(uint32_t fileSystemAttributes, uint32_t deviceType,
                          uint32_t deviceCharacteristics)
{
  if (deviceType == NetworkFileSystem || (deviceCharacteristics & RemoteDevice) != 0)
    return VolumeOnNetwork;
  if ((fileSystemAttributes & PersistentAcls) == 0)
    return VolumeWithoutAccessLists;
  return VolumeKeepsAccess;
}

bool LeadsToBaseOrAbove(const char *installDir, const char *baseDir)
{
  return IsSameOrAbove(installDir, baseDir);
}

int ListFolderLevels(const char *installDir, int *ends, int capacity)
{
  const char c = UpperAscii(installDir[0]);
  if (c < 'A' || c > 'Z' || installDir[1] != ':' || installDir[2] != '\\')
    return 0;
  int count = 0;
  size_t start = DriveRootLength;
  for (size_t i = start;; ++i) {
    if (installDir[i] != '\\' && installDir[i] != '\0')
      continue;
    size_t length = i - start;
    const bool dots = (length == 1 && installDir[start] == '.') ||
                      (length == 2 && installDir[start] == '.' && installDir[start + 1] == '.');
    // One trailing separator ends the path ("C:\\Games\\" is C:\\Games).
    if (length == 0 && installDir[i] == '\0' && count > 0)
      return count;
    if (length == 0 || dots || count >= capacity)
      return 0;
    ends[count++] = static_cast<int>(i);
    if (installDir[i] == '\0')
      return count;
    start = i + 1;
  }
}
