// The setup's contact with the system registry, all under
// HKEY_LOCAL_MACHINE: reading a shell folder's path and writing the
// application's App Paths and Uninstall keys. Every failure is silent.
#pragma once

#include <cstddef>

// Parents of the application's two keys under HKEY_LOCAL_MACHINE; the key
// under each is named by the product title.
inline constexpr const char *AppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr const char *UninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// Reads the Shell Folders value valueName (for instance "Common Programs")
// into buffer, which holds bufferSize characters with the terminator, with
// one trailing backslash removed. true when a non-empty path that fits was
// copied; false otherwise (missing key or value, empty, or too long for the
// 512-byte read or for buffer), and buffer is then left as it was.
bool GetShellFolder(char *buffer, size_t bufferSize, const char *valueName);

// Writes App Paths\The Zorvane: the default value "The Zorvane" and "Path"
// = InstallDir.
void RegisterAppPath();

// Writes Uninstall\The Zorvane: "DisplayName", "UninstallString" =
// uninstallCommand, "Scdir" = groupFolder, "Progdir" = InstallDir.
void RegisterUninstall(const char *uninstallCommand, const char *groupFolder);
