// Reading where the shell keeps the all-users folders, for setup's program
// group and desktop link and for the uninstaller, which finds the desktop
// link there again. A failure is silent.
#pragma once

#include <cstddef>

// Reads the Shell Folders value valueName (for instance "Common Programs")
// into buffer, which holds bufferSize characters with the terminator, with
// one trailing backslash removed. true when a non-empty path that fits was
// copied; false otherwise (missing key or value, empty, or too long for the
// 512-byte read or for buffer), and buffer is then left as it was.
bool GetShellFolder(char *buffer, size_t bufferSize, const char *valueName);
