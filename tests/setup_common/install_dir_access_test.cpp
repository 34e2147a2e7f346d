// The install folder's access read back, and its hold. Wine maps a stored
// descriptor onto Unix mode bits and reads back no owner Administrators, no
// protection and no Users entry: those are checked on Windows only. Under
// Wine what shows is that a folder made with the list has no Everyone entry,
// which a folder made without it has.
#include "setup_common/install_dir_access.h"

#include <aclapi.h>
#include <gtest/gtest.h>

#include <string>

#include "common/system_call.h"
#include "setup_common/dir_ops.h"
#include "setup_common/state.h"

namespace {

void ExpectAdministratorsOwn(const std::string &folder, bool made)
{
  bool wine = SystemCall<FARPROC>("ntdll.dll", "wine_get_version") != nullptr;
  PSID owner = nullptr;
  PACL dacl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  ASSERT_EQ(0u, GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT,
                                      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                      &owner, nullptr, &dacl, nullptr, &descriptor));
  DWORD sids[2][SECURITY_MAX_SID_SIZE / sizeof(DWORD)];
  DWORD sizes[2] = {sizeof(sids[0]), sizeof(sids[1])};
  CreateWellKnownSid(WinWorldSid, nullptr, sids[0], &sizes[0]);
  CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sids[1], &sizes[1]);
  bool everyone = false;
  ACCESS_ALLOWED_ACE *ace = nullptr;
  for (DWORD index = 0; index < dacl->AceCount; ++index)
    everyone |=
        GetAce(dacl, index, reinterpret_cast<void **>(&ace)) && EqualSid(&ace->SidStart, sids[0]);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  GetSecurityDescriptorControl(descriptor, &control, &revision);
  EXPECT_TRUE(wine ||
              (EqualSid(owner, sids[1]) && (control & SE_DACL_PROTECTED) && dacl->AceCount == 3))
      << folder;
  EXPECT_FALSE((made || !wine) && everyone) << folder;
  LocalFree(descriptor);
}

}  // namespace

// A folder setup makes carries the list; an existing one is held without
// delete sharing and taken over through the handle.
TEST(InstallDirAccess, MadeAndTakenOverFoldersAreAdministratorsOwnAndHeld)
{
  InstallDirSecurity security = {};
  ASSERT_TRUE(BuildInstallDirSecurity(&security));
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string made = std::string(temp) + "zv_install_made";
  std::string existing = std::string(temp) + "zv_install_existing";
  RemoveDirectoryA(made.c_str());
  RemoveDirectoryA((existing + "-moved").c_str());
  ASSERT_TRUE(CreateDirWith(made.c_str(), &security.descriptor));
  ExpectAdministratorsOwn(made, true);

  CreateDirectoryA(existing.c_str(), nullptr);
  ASSERT_EQ(InstallDirTaken, HoldInstallDir(existing.c_str(), &security, &InstallDirHeld));
  ExpectAdministratorsOwn(existing, false);
  EXPECT_FALSE(MoveFileA(existing.c_str(), (existing + "-moved").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError()) << "renamed while held";
  ReleaseInstallDir();
  EXPECT_TRUE(MoveFileA(existing.c_str(), (existing + "-moved").c_str())) << "held after release";
  RemoveDirectoryA((existing + "-moved").c_str());
  RemoveDirectoryA(made.c_str());
}
