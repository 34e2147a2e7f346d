// The folders of this machine that are never an install folder (see
// never_install_rules.h), read where Windows keeps them: the Windows folder,
// the shell folders of the all-users profile and of the current user, the
// folder that holds the user profiles, Public, ProgramData, and Program
// files and Common files in both views of a 64-bit Windows.
#pragma once

#include "common/never_install_rules.h"

// Fills *list; a folder that cannot be read is left out, but without the
// Windows folder every path counts as reserved (windowsKnown false).
void ReadNeverInstallFolders(NeverInstallFolders *list);
