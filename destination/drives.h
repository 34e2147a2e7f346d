// The drive table and the free-space measure of the destination drive.
#pragma once

#include <windows.h>

#include "destination/drives_rules.h"

// Root strings of the system's drives ("C:\"), upper-cased, in the order the
// system reports them; DriveCount of them are valid.
extern char DriveRoots[MaxDrives][DriveRootSize];
extern int DriveCount;

// Builds the drive table, upper-cases StartDir, chooses CurrentDrive (drive
// C before the start-up drive) and, when there is a drive C, the default
// BaseDir; then measures FreeSpaceKB for CurrentDrive.
void ReadDrives();
// Sets FreeSpaceKB to the free space of DriveRoots[drive] in units of 1000
// bytes; 0 when the index is not a drive or the query fails.
void MeasureFreeSpace(int drive);
