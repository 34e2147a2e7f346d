// Path rules of the shortcut page and its program-group browser: how the
// browser lists and the program-group folder. Plain C++ with no Windows
// header, so the rules are tested natively. Every routine writes its output
// only when the whole result fits the given buffer (terminator included)
// and says so in its result; a path that would not fit is never truncated
// into a different, wrong path.
#pragma once

#include <cstddef>

#include "resources/resource.h"
#include "setup_common/folder_list_view_rules.h"

// The program-group browser lists an up entry only above the 21 characters
// of the Start menu's top, and going up keeps no separator (C:\Menu goes up
// to C:).
inline constexpr FolderListing GroupBrowserListing = {21, false, IDC_GROUP_PATH};

// Forms the program-group folder: group, a backslash unless group already
// ends with one, then ProgramGroupName. group is not changed, so forming it
// again gives the same folder. false (out untouched) when it would not fit.
bool FormGroupFolder(char *out, size_t outSize, const char *group);

// The program's icon as Add/Remove Programs reads it: installDir, a
// backslash unless it ends with one, ProgramFileName and ",0". false (out
// untouched) when it would not fit.
bool FormProgramIcon(char *out, size_t outSize, const char *installDir);

// The command that uninstalls: the uninstaller's path in installDir, in
// quotes. Unquoted, a tool that runs it as a command line (management tools
// do, as SYSTEM) would start D:\The.exe, which any user may make, for
// D:\The Zorvane\uninstall.exe. false (out untouched) when it would not fit.
bool FormUninstallCommand(char *out, size_t outSize, const char *installDir);

// The command that uninstalls with no question or box: the same, then
// " /S". false (out untouched) when it would not fit.
bool FormQuietUninstall(char *out, size_t outSize, const char *installDir);
