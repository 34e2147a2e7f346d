// Path rules of the destination page and the folder browser, free of system
// calls: composing the destination, how the browser lists folders, and the
// limit of the typed folder name.
#pragma once

#include "resources/resource.h"
#include "setup_common/folder_list_view_rules.h"

// The folder browser lists an up entry below a drive root, and a drive root
// keeps its separator (C:\Games goes up to C:\).
inline constexpr FolderListing FolderBrowserListing = {DriveRootLength, true, IDC_PATH_LINE};

// Longest folder name the browser's name field accepts.
inline constexpr int MaxFolderNameLength = 99;

// Writes baseDir, a separator when baseDir is longer than 3 characters (a
// drive root already ends in one), and browsePath into out (size bytes),
// cutting what does not fit and always terminating it. Returns the length of
// the whole composition, so a result >= size means it was cut.
int ComposePath(char *out, int size, const char *baseDir, const char *browsePath);

// Composes the destination into installDir (size bytes) when the whole of it
// fits both the buffer and a Windows path (259 characters); returns true
// then. Returns false and leaves installDir unchanged otherwise.
bool ComposeInstallDir(char *installDir, int size, const char *baseDir, const char *browsePath);

// What the name field does with a text of the given length.
enum FolderNameVerdict : int {
  FolderNameCleared = 0,
  FolderNameAccepted = 1,
  FolderNameRefused = 2
};
FolderNameVerdict JudgeFolderName(int length);
