// The setup's writes to the system registry, all under HKEY_LOCAL_MACHINE:
// the application's App Paths and Uninstall keys (common/install_facts.h
// names them). Every failure is silent.
#pragma once

// Writes App Paths\The Zorvane: the default value "The Zorvane" and "Path"
// = installDir.
void RegisterAppPath(const char *installDir);

// Writes Uninstall\The Zorvane: "DisplayName", "UninstallString" =
// uninstallCommand, "Scdir" = groupFolder, "Progdir" = installDir.
void RegisterUninstall(const char *uninstallCommand, const char *groupFolder,
                       const char *installDir);
