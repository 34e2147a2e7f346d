// Small rules of the spine that need no window, kept apart so they are
// tested natively.
#pragma once

// The last word of the success message: "installed" once the destination
// page's Next was pressed (mode not 0), "registered" otherwise.
const char *ClosingWord(int installMode);

// Whether the closing shell call opens the program-group folder.
bool OpensGroupFolder(int installMode);

// A current directory of fewer than 4 characters is a drive root ("D:\"):
// it is kept as letter and colon ("D:") so that "%s\name" joins cleanly.
// The buffer must hold at least 3 characters.
void TrimDriveRoot(char *directory);
