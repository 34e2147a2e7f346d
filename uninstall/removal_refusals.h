// Whether the folders the registry names may be touched at all: the shape
// of the values and what the disk shows at them. The disk is seen through
// RemovalLookup, so the rules run natively against a fake. Plain C++ with no
// Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "uninstall/removal_paths.h"
#include "common/product.h"

enum PathKind {
  PathMissing = 0,
  PathFile,
  PathFolder,
  PathReparse,  // a link or junction, file or folder: never entered, never removed
};

// What makes a file or folder itself, whatever path leads to it: its
// volume's serial number and its index there.
struct FolderIdentity {
  uint32_t volume;
  uint64_t index;
};

struct RemovalLookup {
  PathKind (*kind)(const char *path, void *context);
  // The target of the shell link at linkPath, into target (targetSize
  // bytes); false when the link cannot be read or the target does not fit.
  bool (*linkTarget)(const char *linkPath, char *target, size_t targetSize, void *context);
  // The identity of the folder at path, following links and short names;
  // false when it cannot be opened.
  bool (*identity)(const char *path, FolderIdentity *id, void *context);
  // The real path of the folder at path, with every link and short name on
  // the way resolved, as the system gives it ("\\?\C:\..." or
  // "\\?\UNC\server\share\..."), into real (realSize bytes); false when
  // it cannot be opened or the path does not fit.
  bool (*realPath)(const char *path, char *real, size_t realSize, void *context);
  void *context;
};

// What the registry says about the installation, as read; null for what is
// not there.
struct InstallFacts {
  const char *programDir;    // "Progdir"
  const char *groupDir;      // "Scdir"
  const char *desktopDir;    // the all-users desktop ("Common Desktop")
  const char *windowsDir;    // the Windows directory
  const char *const *names;  // the payload's files, relative to programDir
  int nameCount;
};

enum FolderVerdict {
  FolderAccepted = 0,
  FolderNotFullPath,     // not X:\..., or a component that is empty, "." or "..", ends in
                         // a dot or a space, or holds a character no folder name has
  FolderTooLong,         // more than MaxWindowsPath characters
  FolderIsDriveRoot,     // X:\ itself
  FolderHoldsWindows,    // the Windows directory, a folder above it or (by identity) inside it
  FolderWindowsUnknown,  // the Windows directory cannot be read or identified
  FolderNotOurs,         // not a plain folder holding uninstall.exe
  FolderPlanTooLarge,    // the list needs more steps than a plan holds
};

// The shape rules for a folder value of the registry: a full path with a
// drive letter, not a root, within MaxWindowsPath, neither the Windows
// directory nor above it by name, and the Windows directory known. One
// trailing backslash is allowed.
FolderVerdict CheckFolderValue(const char *folder, const char *windowsDir);

// CheckFolderValue, and the folder is a plain folder (not a link) holding
// the file uninstall.exe, and neither it nor a folder around it is the
// Windows directory, nor is it a folder around the Windows directory, by
// identity; nor is a folder around its real path (a junction to a folder
// inside Windows, or one on the way) the Windows directory. A folder whose
// real path or identities cannot be established is refused.
FolderVerdict CheckProgramDir(const char *programDir, const char *windowsDir,
                              const RemovalLookup &lookup);
