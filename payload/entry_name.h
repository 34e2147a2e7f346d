// Rules for the names of archive entries and for the paths built from them.
// The installer checks every name before it creates or writes anything, so
// that no entry can leave the destination directory; the packer holds names
// to the stricter rules that every target file system accepts.
#pragma once

#include <cstddef>

#include "common/product.h"

// The destination the packer measures names against: the default InstallDir
// of the destination page.
#define ZV_DEFAULT_INSTALL_DIR "C:\\Program files\\" ZV_PRODUCT_TITLE
inline constexpr const char *DefaultInstallDir = ZV_DEFAULT_INSTALL_DIR;

enum EntryNameVerdict {
  NameAccepted = 0,
  NameEmpty,              // no characters (also when a NUL comes first)
  NameTooLong,            // more than 255 bytes
  NameHasNul,             // a NUL byte inside the stored name
  NameLeadingSeparator,   // begins with "\" or "/": absolute or UNC
  NameHasColon,           // drive letter ("C:") or stream name ("a:b")
  NameLeavesDirectory,    // a ".." component (dots and spaces only)
  NameHasSlash,           // "/" where only "\" separates
  NameTrailingSeparator,  // ends in "\": a directory, not a file
  NameEmptyComponent,     // "\\" inside the name
  NameDotComponent,       // a "." component
  NameBadCharacter,       // control character or one of < > " | ? *
  NameBadComponentEnd,    // a component ending in "." or " "
  NameReservedDevice,     // CON, PRN, AUX, NUL, COM1-9, LPT1-9
  NamePathTooLong,        // default InstallDir + "\" + name beyond 259
};

// What the installer demands of a name (the NUL-terminated name it will
// use): not empty, no leading separator, no colon, no ".." component with
// either separator, no device name. Everything else is left to the file
// system.
EntryNameVerdict CheckInstallName(const char *name);

// What the packer demands of a stored name of length bytes: everything
// CheckInstallName demands, plus 1 to 255 bytes without NUL, "\" as the only
// separator, no empty, "." or trailing components, valid Windows file names,
// and DefaultInstallDir + "\" + name within 259 characters.
EntryNameVerdict CheckPackName(const char *name, size_t length);

// A short English statement of the rule a verdict stands for.
const char *DescribeNameVerdict(EntryNameVerdict verdict);
