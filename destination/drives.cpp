// The drive table: which drives exist, which one the destination is on,
// where the destination folder is proposed, and how much room is left.
#include "destination/drives.h"

#include "setup_common/state.h"

char DriveRoots[MaxDrives][DriveRootSize];
int DriveCount;

namespace {

// Program files exists when it can be made the current directory; it stays
// current afterwards, as the start-up directory no longer matters here.
bool ProbeBySettingCurrentDir(const char *path, void *)
{
  return SetCurrentDirectoryA(path) != FALSE;
}

}  // namespace

void ReadDrives()
{
  DriveCount = 0;
  // Room for all 26 drives; only the length the system reports is read.
  char strings[DriveStringsSize];
  DWORD returned = GetLogicalDriveStringsA(sizeof(strings), strings);
  int filled = FilledDriveStringsLength(returned, static_cast<int>(sizeof(strings)));

  CharUpperA(StartDir);
  int startIndex = -1;
  DriveCount = ParseDriveStrings(strings, filled, DriveRoots, MaxDrives, StartDir[0], &startIndex);
  CurrentDrive = ChooseCurrentDrive(DriveRoots, DriveCount, startIndex, CurrentDrive);

  int driveC = FindDriveC(DriveRoots, DriveCount);
  if (driveC >= 0) {
    char windowsDir[PathBufferSize];
    windowsDir[0] = '\0';
    UINT length = GetSystemWindowsDirectoryA(windowsDir, sizeof(windowsDir));
    if (length == 0 || length >= sizeof(windowsDir))
      windowsDir[0] = '\0';
    ChooseBaseDir(BaseDir, sizeof(BaseDir), windowsDir, DriveRoots[driveC],
                  ProbeBySettingCurrentDir, nullptr);
  }
  MeasureFreeSpace(CurrentDrive);
}

void MeasureFreeSpace(int drive)
{
  DWORD sectorsPerCluster = 0;
  DWORD bytesPerSector = 0;
  DWORD freeClusters = 0;
  DWORD totalClusters = 0;
  // A drive without a medium fails the query: it counts as full rather than
  // leaving whatever the last drive measured.
  bool ok = drive >= 0 && drive < DriveCount &&
            GetDiskFreeSpaceA(DriveRoots[drive], &sectorsPerCluster, &bytesPerSector, &freeClusters,
                              &totalClusters);
  FreeSpaceKB = FreeSpaceUnits(ok, sectorsPerCluster, bytesPerSector, freeClusters);
}
