// The form of setup's part files, as the uninstaller recognises them: a
// setup that was killed or lost power between creating a part file and
// renaming it leaves the file under its part name, and the folder it lies in
// could then never go. Plain C++ with no Windows header.
#pragma once

// Whether name (one level, no folder) is "<name>.<16 lower-case hex
// digits>.zvpart" with a <name> of at least one character: the form setup
// gives the file it writes before renaming it into place. Nothing else is
// setup's to remove.
bool IsPartFileName(const char *name);
