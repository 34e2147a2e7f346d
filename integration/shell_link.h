// Writes one shortcut file through the shell's COM link object.
#pragma once

#include <windows.h>

// Makes linkPath a shortcut to target with the given description; nothing
// else is set on the link. Initialises and uninitialises COM around its own
// work. Returns the result of the last step attempted: a failed creation or
// interface query, a failure for a link path too long for the save (more
// than 259 wide characters), otherwise the result of the save.
HRESULT CreateShellLink(const char *target, const char *linkPath, const char *description);
