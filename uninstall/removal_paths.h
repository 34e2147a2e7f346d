// Comparing and trimming the folder paths of the registry, without regard
// to ASCII case or to one trailing backslash. Plain C++ with no Windows
// header.
#pragma once

#include <cstddef>

// Length of path without one trailing backslash, except after a drive
// ("C:\" keeps it).
size_t TrimmedLength(const char *path);

// Copies a path that CheckFolderValue accepted into out (ShortPathSize
// bytes) without its trailing backslash.
void TrimmedCopy(char *out, const char *path);

// True when a and b name the same path without regard to ASCII case or to
// one trailing backslash.
bool SamePath(const char *a, const char *b);
