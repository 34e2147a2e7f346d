#include "uninstall/running_alone.h"

// The private-namespace calls came with Windows Vista; they are looked up
// at run time all the same, and a system without them uses the global name.
#include <windows.h>

#include "common/system_call.h"

#include "uninstall/running_alone_rules.h"

namespace {

// The mark lives in a private namespace whose boundary holds the
// Administrators group: only a process with that group enabled (an elevated
// one) can create the namespace, so no standard user's program can take the
// mark's name first to block every removal. A namespace with only that SID
// in its boundary spans the sessions, so an uninstaller in another session
// is seen too.
const char NamespaceName[] = "TheZorvaneUninstall";
const char NamespacedMarkName[] = "TheZorvaneUninstall\\The Zorvane uninstaller";
// Without private namespaces the mark lives in the global namespace, where
// any user, elevated or not, may create an object first: there only a mark
// owned by Administrators or SYSTEM counts.
const char GlobalMarkName[] = "Global\\The Zorvane uninstaller";

constexpr DWORD NamespaceAllAccess = 0x000F000F;  // DIRECTORY_ALL_ACCESS

typedef HANDLE(WINAPI *CreateBoundaryDescriptorCall)(LPCSTR, ULONG);
typedef BOOL(WINAPI *AddSidToBoundaryCall)(HANDLE *, PSID);
typedef VOID(WINAPI *DeleteBoundaryDescriptorCall)(HANDLE);
typedef HANDLE(WINAPI *CreatePrivateNamespaceCall)(LPSECURITY_ATTRIBUTES, LPVOID, LPCSTR);
typedef HANDLE(WINAPI *OpenPrivateNamespaceCall)(LPVOID, LPCSTR);

constexpr size_t MarkAclSize =
    sizeof(ACL) + 2 * (sizeof(ACCESS_ALLOWED_ACE) + SECURITY_MAX_SID_SIZE);

// Owner Administrators, access for SYSTEM and Administrators alone: what an
// elevated process can set and a standard user's cannot.
struct MarkSecurity {
  SECURITY_DESCRIPTOR descriptor;
  DWORD system[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD administrators[SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD acl[MarkAclSize / sizeof(DWORD) + 1];
};

bool DescribeMark(MarkSecurity *security, DWORD access)
{
  DWORD size = sizeof(security->system);
  if (!CreateWellKnownSid(WinLocalSystemSid, nullptr, security->system, &size))
    return false;
  size = sizeof(security->administrators);
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, security->administrators, &size))
    return false;
  ACL *acl = reinterpret_cast<ACL *>(security->acl);
  return InitializeAcl(acl, sizeof(security->acl), ACL_REVISION) &&
         AddAccessAllowedAceEx(acl, ACL_REVISION, 0, access, security->system) &&
         AddAccessAllowedAceEx(acl, ACL_REVISION, 0, access, security->administrators) &&
         InitializeSecurityDescriptor(&security->descriptor, SECURITY_DESCRIPTOR_REVISION) &&
         SetSecurityDescriptorOwner(&security->descriptor, security->administrators, FALSE) &&
         SetSecurityDescriptorDacl(&security->descriptor, TRUE, acl, FALSE);
}

// Creates the private namespace, or opens it when another uninstaller made
// it. Null when the system has no private namespaces (before Vista, and
// Wine) or this process is not in the boundary.
HANDLE ClaimNamespace()
{
  auto createBoundary =
      SystemCall<CreateBoundaryDescriptorCall>("kernel32.dll", "CreateBoundaryDescriptorA");
  auto addSid = SystemCall<AddSidToBoundaryCall>("kernel32.dll", "AddSIDToBoundaryDescriptor");
  auto deleteBoundary =
      SystemCall<DeleteBoundaryDescriptorCall>("kernel32.dll", "DeleteBoundaryDescriptor");
  auto createNamespace =
      SystemCall<CreatePrivateNamespaceCall>("kernel32.dll", "CreatePrivateNamespaceA");
  auto openNamespace =
      SystemCall<OpenPrivateNamespaceCall>("kernel32.dll", "OpenPrivateNamespaceA");
  MarkSecurity security;
  if (createBoundary == nullptr || addSid == nullptr || deleteBoundary == nullptr ||
      createNamespace == nullptr || openNamespace == nullptr ||
      !DescribeMark(&security, NamespaceAllAccess))
    return nullptr;
  HANDLE boundary = createBoundary(NamespaceName, 0);
  if (boundary == nullptr)
    return nullptr;
  HANDLE space = nullptr;
  if (addSid(&boundary, security.administrators)) {
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &security.descriptor, FALSE};
    space = createNamespace(&attributes, boundary, NamespaceName);
    if (space == nullptr && GetLastError() == ERROR_ALREADY_EXISTS)
      space = openNamespace(boundary, NamespaceName);
  }
  deleteBoundary(boundary);
  return space;
}

MarkOwner OwnerOf(HANDLE mark, const MarkSecurity &security)
{
  DWORD descriptor[256];
  DWORD needed = 0;
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  if (!GetKernelObjectSecurity(mark, OWNER_SECURITY_INFORMATION, descriptor, sizeof(descriptor),
                               &needed) ||
      !GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) || owner == nullptr)
    return MarkOwnedByOther;
  if (EqualSid(owner, const_cast<DWORD *>(security.administrators)))
    return MarkOwnedByAdministrators;
  if (EqualSid(owner, const_cast<DWORD *>(security.system)))
    return MarkOwnedBySystem;
  return MarkOwnedByOther;
}

}  // namespace

bool ClaimRunningAlone(bool trustedCopy)
{
  // Both handles are kept until the process ends, and the mark with them:
  // the namespace lives while a handle to it is open, so the copy keeps it
  // after the first process has ended.
  HANDLE space = ClaimNamespace();
  MarkSecurity security;
  bool described = DescribeMark(&security, MUTEX_ALL_ACCESS);
  SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &security.descriptor, FALSE};
  const char *name = space != nullptr ? NamespacedMarkName : GlobalMarkName;
  HANDLE mark = described ? CreateMutexA(&attributes, FALSE, name) : nullptr;
  DWORD error = GetLastError();
  // A process that may not make Administrators the owner still marks its
  // run, as the user; another uninstaller then ignores that mark.
  if (mark == nullptr && (!described || error == ERROR_INVALID_OWNER)) {
    mark = CreateMutexA(nullptr, FALSE, name);
    error = GetLastError();
  }
  MarkFound found = mark == nullptr                 ? MarkUnopened
                    : error == ERROR_ALREADY_EXISTS ? MarkExisted
                                                    : MarkCreated;
  MarkOwner owner = found == MarkExisted && described ? OwnerOf(mark, security) : MarkOwnedByOther;
  return MayRunBesideMark(found, owner, trustedCopy);
}
