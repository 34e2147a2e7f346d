// The levels of a path, outermost first: the uninstaller takes back the
// folders the payload's names hold, innermost first.
#pragma once

// Positions of the separators that end each level of path above its last,
// outermost first: "C:\\A\\B\\C" gives the ends of C:\\A and C:\\A\\B. The root
// (C:\\, \\, \\\\server\\share\\) is never a level; empty levels are skipped.
// Returns the number of positions written (at most capacity).
int ListParentLevels(const char *path, int *ends, int capacity);

// Upper bound of the levels a path in a PathBufferSize buffer can have.
inline constexpr int MaxParentLevels = 256;
