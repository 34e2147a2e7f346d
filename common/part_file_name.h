// The form of the part files setup writes before renaming each into place.
// A setup that was killed or lost power between creating a part file and
// renaming it leaves the file under its part name: the next setup sweeps
// such files before it writes, and the uninstaller before it removes a
// folder. Both must recognise exactly this form and nothing else.
// No Windows header: tested natively.
#pragma once

#include <cstddef>

// A part file is named destination + "." + 16 hex digits + PartFileSuffix.
inline constexpr const char *PartFileSuffix = ".zvpart";
inline constexpr size_t PartNameExtraLength = 1 + 16 + 7;

// Whether name, one level without a folder, is "<name>.<16 lower-case hex
// digits>.zvpart" with a <name> of at least one character. Only such files
// are setup's own part files; nothing else is ever swept or removed as one.
bool IsPartFileName(const char *name);
