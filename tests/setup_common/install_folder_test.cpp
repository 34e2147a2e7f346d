// The install folder made and held under Wine: every level from the drive
// root down stays held without delete sharing until the chain is released,
// and the folder is known as made by this run. Owners and lists are judged
// natively (install_folder_rules_test); Wine reads back no real owner.
#include "setup_common/install_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "setup_common/state.h"

TEST(InstallFolder, AMadeFolderAndEachLevelAboveItStayHeldUntilReleased)
{
  const std::string base = "C:\\zv_install_folder_test";
  const std::string outer = base + "\\Apps";
  RemoveDirectoryA((outer + "\\The Zorvane").c_str());
  RemoveDirectoryA(outer.c_str());
  RemoveDirectoryA((base + "-moved").c_str());
  RemoveDirectoryA(base.c_str());
  ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));
  lstrcpynA(InstallDir, (outer + "\\The Zorvane").c_str(), sizeof(InstallDir));

  ASSERT_TRUE(ClaimInstallFolder(nullptr, base.c_str()));
  EXPECT_TRUE(InstallDirMade);
  EXPECT_NE(InstallDirHeld, INVALID_HANDLE_VALUE);
  EXPECT_NE(GetFileAttributesA(InstallDir), INVALID_FILE_ATTRIBUTES);
  // The existing level above, not only the install folder, is held.
  EXPECT_FALSE(MoveFileA(base.c_str(), (base + "-moved").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError()) << "renamed while held";

  ReleaseInstallFolder();
  EXPECT_EQ(InstallDirHeld, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(MoveFileA(base.c_str(), (base + "-moved").c_str())) << "held after release";
  RemoveDirectoryA((base + "-moved\\Apps\\The Zorvane").c_str());
  RemoveDirectoryA((base + "-moved\\Apps").c_str());
  RemoveDirectoryA((base + "-moved").c_str());
}
