// Making the missing folders of a path, outermost first, and taking back
// the ones made when what needed them failed. The destination page settles
// the install directory with it and the copy page makes an entry's folders
// with it. The file-system calls are passed in, so the rules run natively
// against a fake and on Windows against the real calls (SystemDirOps).
#pragma once

#include <cstddef>

struct DirOps {
  bool (*create)(const char *path, void *context);       // one level; true when made now
  bool (*isDirectory)(const char *path, void *context);  // true when it is a directory
  bool (*remove)(const char *path, void *context);       // one empty level
  void *context;
};

// Positions of the separators that end each creatable level of path,
// outermost first: "C:\A\B\C" gives the ends of C:\A and C:\A\B. The root
// (C:\, \, \\server\share\) is never a level; empty levels are skipped.
// Returns the number of positions written (at most capacity).
int ListParentLevels(const char *path, int *ends, int capacity);

// Upper bound of the levels a path in a PathBufferSize buffer can have.
inline constexpr int MaxParentLevels = 256;

// The levels of path's parents that MakeParentDirs made, so that they can
// be removed again.
struct MadeDirs {
  int count;
  int ends[MaxParentLevels];
};

// Creates every parent level of path that ends after its first `keep`
// characters and is not a directory yet, outermost first, and records the
// ones made in *made. Results of the creations are not judged here: the
// caller finds out when it uses the path. false, with nothing made, when
// path does not fit a PathBufferSize buffer.
bool MakeParentDirs(const char *path, size_t keep, const DirOps &ops, MadeDirs *made);

// Removes the levels in *made, innermost first; a level that is not empty
// stays.
void RemoveMadeDirs(const char *path, const MadeDirs &made, const DirOps &ops);
