// Drive table rules without any system call: parsing the drive strings the
// system reports, choosing the destination drive and the default base
// directory, and turning a free-space query into units of 1000 bytes.
#pragma once

#include <cstdint>

// The system reports at most 26 drives (A to Z), each as "X:\" and its
// terminator, followed by one closing terminator.
inline constexpr int MaxDrives = 26;
inline constexpr int DriveRootSize = 5;  // "X:\", terminator, a spare byte
inline constexpr int DriveStringsSize = MaxDrives * 4 + 1;

// Reads the drive strings in buffer[0, length) - only what the system filled -
// into roots (capacity entries), upper-casing each. A root longer than 4
// characters is cut to 4. Stops at an empty string, at the end of the filled
// length or when the table is full. Returns the number of entries; when
// startIndex is not null, it receives the index of the last entry whose
// first character equals startLetter (unchanged when none does).
int ParseDriveStrings(const char *buffer, int length, char (*roots)[DriveRootSize], int capacity,
                      char startLetter, int *startIndex);

// Turns the length GetLogicalDriveStringsA returned into the number of bytes
// that may be read: 0 when the call failed or when the buffer was too small
// (then the system wrote nothing).
int FilledDriveStringsLength(uint32_t returned, int bufferSize);

// Index of the first entry whose root starts with C, or -1.
int FindDriveC(const char (*roots)[DriveRootSize], int count);

// The destination drive: drive C when present, else the start-up drive,
// else previous.
int ChooseCurrentDrive(const char (*roots)[DriveRootSize], int count, int startIndex, int previous);

// Tests whether a directory exists; may have side effects (the Windows side
// makes it the current directory).
typedef bool (*DirectoryProbe)(const char *path, void *context);

// Writes the default base directory into baseDir (size bytes): the Windows
// directory's drive letter followed by ":\Program files" when probe accepts
// that directory, else driveCRoot. A Windows directory that does not start
// with a drive letter gives driveCRoot without probing.
void ChooseBaseDir(char *baseDir, int size, const char *windowsDir, const char *driveCRoot,
                   DirectoryProbe probe, void *context);

// Free space in units of 1000 bytes, truncated. A failed query (ok == 0)
// counts as no space; more than 4,294,967,295 units is held as that maximum.
uint32_t FreeSpaceUnits(bool ok, uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                        uint32_t freeClusters);

// Whether the free space allows setup to go on (RequiredKB or more).
bool FreeSpaceSuffices(uint32_t units);
