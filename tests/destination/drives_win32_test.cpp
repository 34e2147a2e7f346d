// The drive table, the default base directory and the free space against
// the real system calls, under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "destination/drives.h"
#include "setup_common/state.h"

TEST(DestReadDrives, DriveCProgramFilesAndFreeSpace)
{
  lstrcpynA(StartDir, "z:\\somewhere", sizeof(StartDir));
  BaseDir[0] = '\0';
  CurrentDrive = 0;
  ReadDrives();
  EXPECT_STREQ(StartDir, "Z:\\SOMEWHERE");
  ASSERT_GE(DriveCount, 2);  // Wine has C: and Z: at least
  ASSERT_LE(DriveCount, MaxDrives);
  for (int i = 0; i < DriveCount; ++i) {
    EXPECT_EQ(std::strlen(DriveRoots[i]), 3u);
    EXPECT_TRUE(DriveRoots[i][0] >= 'A' && DriveRoots[i][0] <= 'Z');
  }
  // Drive C wins over the start-up drive Z.
  EXPECT_STREQ(DriveRoots[CurrentDrive], "C:\\");
  EXPECT_STREQ(BaseDir, "C:\\Program files");
  // The probe left Program files current.
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(sizeof(current), current);
  EXPECT_EQ(lstrcmpiA(current, "C:\\Program files"), 0) << current;

  ULARGE_INTEGER available, total, free;
  ASSERT_TRUE(GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
  unsigned long long expected = free.QuadPart / 1000;
  if (expected > 0xFFFFFFFFull)
    expected = 0xFFFFFFFFull;
  // Other programs write to the disk meanwhile: allow 500 MB of drift.
  long long drift = static_cast<long long>(expected) - static_cast<long long>(FreeSpaceKB);
  EXPECT_LT(drift < 0 ? -drift : drift, 500000) << FreeSpaceKB << " vs " << expected;
  EXPECT_GT(FreeSpaceKB, 0u);
}

TEST(DestReadDrives, MeasureFreeSpaceOfNoDriveIsZero)
{
  ReadDrives();
  FreeSpaceKB = 12345;
  MeasureFreeSpace(DriveCount);
  EXPECT_EQ(FreeSpaceKB, 0u);
  FreeSpaceKB = 12345;
  MeasureFreeSpace(-1);
  EXPECT_EQ(FreeSpaceKB, 0u);
  MeasureFreeSpace(CurrentDrive);
  EXPECT_GT(FreeSpaceKB, 0u);
}
