// Facts about an installation, which setup makes and the uninstaller takes
// back: what setup names on disk beyond the payload's own list (that list is
// generated at build time, payload_names.h) and what it writes to and reads
// from the registry. Both programs take them from here, so each is spelled
// once. Plain C++ with no Windows header.
#pragma once

#include "common/product.h"

// The payload files the links point at, and the folder setup makes empty
// below the install folder.
inline constexpr const char *ProgramFileName = "Zorvane.exe";
inline constexpr const char *UninstallerFileName = "uninstall.exe";
inline constexpr const char *ReadmeFileName = "Readme.rtf";
inline constexpr const char *ImagesDirName = "AImages";

// The program-group folder, made under the chosen Start-menu folder, which
// holds the links below; the uninstaller takes back only a group folder of
// this name.
inline constexpr const char *ProgramGroupName = ProductTitle;

// The links, each to the file named beside it: all three in the program
// group, the program's alone on the all-users desktop.
inline constexpr const char *ProgramLinkName = "TheZorvane.lnk";   // ProgramFileName
inline constexpr const char *UninstallLinkName = "Uninstall.lnk";  // UninstallerFileName
inline constexpr const char *ReadmeLinkName = "Readme.lnk";        // ReadmeFileName

// Registry keys, all under HKEY_LOCAL_MACHINE. The application's own key
// under each of the first two is named by the product title.
inline constexpr const char *AppPathsKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
inline constexpr const char *UninstallKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr const char *ShellFoldersKey =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Values under the application's Uninstall key: the install folder and the
// program-group folder, which the uninstaller reads back, and what
// Add/Remove Programs shows and runs.
inline constexpr const char *ProgramDirValue = "Progdir";
inline constexpr const char *GroupDirValue = "Scdir";
inline constexpr const char *DisplayNameValue = "DisplayName";
inline constexpr const char *UninstallStringValue = "UninstallString";
inline constexpr const char *DisplayIconValue = "DisplayIcon";
inline constexpr const char *DisplayVersionValue = "DisplayVersion";
inline constexpr const char *InstallLocationValue = "InstallLocation";
inline constexpr const char *EstimatedSizeValue = "EstimatedSize";
inline constexpr const char *NoModifyValue = "NoModify";
inline constexpr const char *NoRepairValue = "NoRepair";
inline constexpr const char *QuietUninstallStringValue = "QuietUninstallString";
// Values under the application's App Paths key: its default value (the
// empty name) and the install folder.
inline constexpr const char *DefaultValue = "";
inline constexpr const char *AppPathValue = "Path";

// Every value setup writes under each of the application's keys: a key
// holding any other value (or any subkey) is not setup's alone, and the
// uninstaller leaves it whole.
inline constexpr const char *UninstallKeyValues[] = {
    DisplayNameValue,     UninstallStringValue,     GroupDirValue,
    ProgramDirValue,      DisplayIconValue,         DisplayVersionValue,
    InstallLocationValue, EstimatedSizeValue,       NoModifyValue,
    NoRepairValue,        QuietUninstallStringValue};
inline constexpr const char *AppPathsKeyValues[] = {DefaultValue, AppPathValue};
// Values of the Shell Folders key: where the program group and the
// desktop link go.
inline constexpr const char *CommonProgramsValue = "Common Programs";
inline constexpr const char *CommonDesktopValue = "Common Desktop";
