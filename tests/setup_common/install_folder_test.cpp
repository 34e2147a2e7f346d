// The install folder made and held under Wine: every level from the drive
// root down stays held without delete sharing until the chain is released,
// and the folder is known as made by this run. Owners and lists are judged
// natively (install_folder_rules_test); Wine reads back no real owner.
#include "setup_common/install_folder.h"

#include <gtest/gtest.h>

#include <string>

#include "resources/setup_texts.h"
#include "setup_common/state.h"

namespace {

// Answers the first box with the setup's caption that appears within a
// few seconds (the refusal, owned by no window here).
DWORD WINAPI AnswerRefusal(void *)
{
  for (int tries = 0; tries < 100; ++tries) {
    if (HWND box = FindWindowA("#32770", SetupCaption)) {
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      return 0;
    }
    Sleep(50);
  }
  return 1;
}

}  // namespace

TEST(InstallFolder, MadeLevelsAreRemovedWhenRefusedAndHeldUntilReleasedWhenNot)
{
  const std::string base = "C:\\zv_install_folder_test";
  const std::string outer = base + "\\Apps";
  RemoveDirectoryA((outer + "\\The Zorvane").c_str());
  RemoveDirectoryA(outer.c_str());
  RemoveDirectoryA((base + "-moved").c_str());
  RemoveDirectoryA(base.c_str());
  ASSERT_TRUE(CreateDirectoryA(base.c_str(), nullptr));

  // "Apps" is made, then the name with a character no folder has is not:
  // Apps is removed again, so the next Next finds no folder of setup's own
  // to ask about, and nothing stays held (the base moves at the end).
  lstrcpynA(InstallDir, (outer + "\\bad*name").c_str(), sizeof(InstallDir));
  HANDLE answer = CreateThread(nullptr, 0, AnswerRefusal, nullptr, 0, nullptr);
  EXPECT_FALSE(ClaimInstallFolder(nullptr, base.c_str()));
  WaitForSingleObject(answer, 10000);
  DWORD answered = 1;
  GetExitCodeThread(answer, &answered);
  CloseHandle(answer);
  EXPECT_EQ(answered, 0u) << "no refusal box";
  EXPECT_EQ(InstallDirHeld, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetFileAttributesA(outer.c_str()), INVALID_FILE_ATTRIBUTES);

  // The base folder beside it: the destination "..\Apps\The Zorvane" of it.
  lstrcpynA(InstallDir, (outer + "\\The Zorvane").c_str(), sizeof(InstallDir));
  ASSERT_TRUE(ClaimInstallFolder(nullptr, (base + "\\Base").c_str()));
  EXPECT_TRUE(InstallDirMade);
  EXPECT_NE(InstallDirHeld, INVALID_HANDLE_VALUE);
  EXPECT_NE(GetFileAttributesA(InstallDir), INVALID_FILE_ATTRIBUTES);
  // The existing level above, not only the install folder, is held.
  EXPECT_FALSE(MoveFileA(base.c_str(), (base + "-moved").c_str()));
  EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError()) << "renamed while held";

  ReleaseInstallFolder(false);
  EXPECT_EQ(InstallDirHeld, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(MoveFileA(base.c_str(), (base + "-moved").c_str())) << "held after release";
  RemoveDirectoryA((base + "-moved\\Apps\\The Zorvane").c_str());
  RemoveDirectoryA((base + "-moved\\Apps").c_str());
  RemoveDirectoryA((base + "-moved").c_str());
}
