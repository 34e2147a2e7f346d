// Small text rules that several areas share, each written once: ASCII
// upper-casing and comparing without regard to case, one trailing "\" and
// the drive root. Plain C++ with no Windows header, so it is tested natively.
#pragma once

#include <cstddef>

// A path of this many characters or fewer counts as a drive root that
// already ends in "\" ("C:\"): no separator is added after it.
inline constexpr size_t DriveRootLength = 3;

// Whether a path of pathLength characters is a drive root.
bool IsDriveRoot(size_t pathLength);

// c upper-cased when it is an ASCII letter, otherwise c.
char UpperAscii(char c);

// Whether the first length characters of a and b are the same but for the
// case of ASCII letters.
bool SameTextNoCase(const char *a, const char *b, size_t length);

// The length of path[0, length) without one trailing "\", if it ends in one.
size_t WithoutTrailingSeparator(const char *path, size_t length);
