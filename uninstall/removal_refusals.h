// Whether the folders the registry names may be touched at all: the shape
// of the values and what the disk shows at them. The disk is seen through
// RemovalLookup, so the rules run natively against a fake. Plain C++ with no
// Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

#include "uninstall/removal_paths.h"
#include "uninstall/uninstall_types.h"
#include "common/never_install_rules.h"
#include "common/product.h"

enum FolderVerdict {
  FolderAccepted = 0,
  FolderNotFullPath,     // not X:\..., or a component that is empty, "." or "..", ends in
                         // a dot or a space, or holds a character no folder name has
  FolderTooLong,         // more than MaxWindowsPath characters
  FolderIsDriveRoot,     // X:\ itself
  FolderHoldsWindows,    // the Windows directory, a folder above it or (by identity) inside it
  FolderWindowsUnknown,  // the Windows directory cannot be read or identified
  FolderNeverInstall,    // a folder of Windows or its users (common/never_install_rules.h)
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
//
// With neverInstall, also a folder that is never an install folder is
// refused: setup never installs there, so the key that names one was not
// written by it, and removing the payload's names there would empty a
// folder of Windows or of a user.
FolderVerdict CheckProgramDir(const char *programDir, const char *windowsDir,
                              const RemovalLookup &lookup,
                              const NeverInstallFolders *neverInstall = nullptr);
