// The setup's writes to the system registry, all under HKEY_LOCAL_MACHINE:
// the application's App Paths and Uninstall keys (common/install_facts.h
// names them). Every failure is silent.
#pragma once

#include <cstdint>

// Writes App Paths\The Zorvane: the default value "The Zorvane" and "Path"
// = installDir.
void RegisterAppPath(const char *installDir);

// Writes Uninstall\The Zorvane: "DisplayName", "UninstallString" =
// uninstallCommand (the quoted path of FormUninstallCommand), "Scdir" =
// groupFolder, "Progdir" = installDir.
void RegisterUninstall(const char *uninstallCommand, const char *groupFolder,
                       const char *installDir);

// Writes, after RegisterUninstall's values and into the same key, what
// Add/Remove Programs shows of an installed program: "DisplayIcon" =
// installDir\Zorvane.exe,0, "DisplayVersion" = the product version,
// "InstallLocation" = installDir, "EstimatedSize" = estimatedSizeKB
// (REG_DWORD), "NoModify" = 1 and "NoRepair" = 1 (REG_DWORD, so no Modify or
// Repair button leads nowhere) and "QuietUninstallString" =
// "installDir\uninstall.exe" /S, quoted as well. A path value that would not
// fit its buffer is left out rather than cut.
void RegisterUninstallDetails(const char *installDir, uint32_t estimatedSizeKB);
