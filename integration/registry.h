// The setup's contact with the system registry, all under
// HKEY_LOCAL_MACHINE: reading a shell folder's path and writing the
// application's App Paths and Uninstall keys. Every failure is silent.
#pragma once

#include <cstddef>
#include <cstdint>

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

// Writes, after RegisterUninstall's values and into the same key, what
// Add/Remove Programs shows of an installed program: "DisplayIcon" =
// InstallDir\Zorvane.exe,0, "DisplayVersion" = the product version,
// "InstallLocation" = InstallDir, "EstimatedSize" = estimatedSizeKB
// (REG_DWORD), "NoModify" = 1 and "NoRepair" = 1 (REG_DWORD, so no Modify or
// Repair button leads nowhere) and "QuietUninstallString" =
// "InstallDir\uninstall.exe" /S. A path value that would not fit its buffer
// is left out rather than cut.
void RegisterUninstallDetails(uint32_t estimatedSizeKB);
