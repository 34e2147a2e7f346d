// The folders never installed into: the Windows folder and the profiles
// with all inside them, the program and data roots with all above them.
#include "common/never_install_rules.h"

#include <gtest/gtest.h>

TEST(NeverInstall, WindowsProfilesAndRootsAreRefusedWhatLiesBesideIsNot)
{
  NeverInstallFolders list = {};
  EXPECT_TRUE(IsNeverInstallFolder("D:\\Games\\The Zorvane", list));  // Windows unknown
  ASSERT_TRUE(AddReservedFolder(&list, "C:\\Windows\\", ReservedWithInside, true));
  ASSERT_TRUE(AddReservedFolder(&list, "C:\\Program Files", ReservedAtOrAbove));
  ASSERT_TRUE(AddReservedFolder(&list, "C:\\ProgramData", ReservedAtOrAbove));
  ASSERT_TRUE(AddReservedParent(&list, "C:\\Users\\bob", ReservedWithInside));
  EXPECT_FALSE(AddReservedFolder(&list, "", ReservedAtOrAbove));  // a folder this system lacks
  EXPECT_FALSE(AddReservedParent(&list, "C:\\Users", ReservedWithInside));  // only C:\ above

  const char *refused[] = {"C:\\",
                           "c:\\windows",
                           "C:\\Windows\\System32\\The Zorvane",
                           "C:\\PROGRAM FILES\\",
                           "C:\\ProgramData",
                           "C:\\Users",
                           "C:\\Users\\alice",
                           "C:\\Users\\Public\\Games\\The Zorvane",
                           "D:"};
  for (const char *folder : refused)
    EXPECT_TRUE(IsNeverInstallFolder(folder, list)) << folder;
  const char *accepted[] = {"C:\\Program Files\\The Zorvane", "C:\\ProgramData\\The Zorvane",
                            "C:\\Games", "C:\\WindowsApps2", "D:\\Users\\bob"};
  for (const char *folder : accepted)
    EXPECT_FALSE(IsNeverInstallFolder(folder, list)) << folder;
  int which = -1;
  EXPECT_TRUE(IsNeverInstallFolder("C:\\Users\\Public", list, &which));
  EXPECT_STREQ(list.folders[which].path, "C:\\Users");
}
