// Path rules of the destination page and the folder browser, free of system
// calls: composing the destination, going up and down in the browsed
// directory, and the limit of the typed folder name.
#pragma once

// Room a listed directory keeps for the search pattern appended to it.
inline constexpr int PatternRoom = 4;
// Longest folder name the browser's name field accepts.
inline constexpr int MaxFolderNameLength = 99;

// Writes baseDir, a separator when baseDir is longer than 3 characters (a
// drive root already ends in one), and browsePath into out (size bytes),
// cutting what does not fit and always terminating it. Returns the length of
// the whole composition, so a result >= size means it was cut.
int ComposePath(char *out, int size, const char *baseDir, const char *browsePath);

// Composes the destination into installDir (size bytes) when the whole of it
// fits both the buffer and a Windows path (259 characters); returns 1 then.
// Returns 0 and leaves installDir unchanged otherwise.
int ComposeInstallDir(char *installDir, int size, const char *baseDir, const char *browsePath);

// One level up: cuts at the last separator, keeping it when it is a drive
// root's (index 3 or lower: C:\Games becomes C:\). Without a separator the
// path stays. Returns 1 when the path changed.
int GoUpDir(char *path);

// One level down into name: appends a separator when path is longer than 3
// characters, then name. Refused (returns 0, path unchanged) when the result
// and the search pattern would not fit the size bytes of path.
int DescendDir(char *path, int size, const char *name);

// What a double-click in the folder browser does.
enum Navigation : int { NavigateRelist = 0, NavigateUp = 1, NavigateDown = 2 };
// selected: the selected position (-1 for none); lastItemIndex: the final
// entry's position; baseLength: length of the browsed directory.
int ChooseNavigation(int selected, int lastItemIndex, int baseLength);

// What the name field does with a text of the given length.
enum FolderNameVerdict : int {
  FolderNameCleared = 0,
  FolderNameAccepted = 1,
  FolderNameRefused = 2
};
FolderNameVerdict JudgeFolderName(int length);
