// Rules of the directory listing, free of system calls: which search
// pattern a listed path gets, whether an up entry is shown, what the path
// line reads, and which directory entries are listed.
#pragma once

#include <cstdint>

// mode 0: folder browser; mode 1: program-group browser.
struct ListPlan {
  int upEntry;          // 1 when the up entry "........" is listed first
  const char *pattern;  // appended to the path for the enumeration
  int patternLength;    // k: 4 for "\*.*", 3 for "*.*"
};

// Mode 0 lists an up entry below a drive root (longer than 3 characters);
// mode 1 below its 21-character top (longer than 21 characters).
ListPlan PlanDirList(int pathLength, int mode);

// Writes the enumeration pattern (path and plan.pattern) into out (size
// bytes). Returns 0 and writes an empty string when it does not fit.
int ComposeSearchPattern(char *out, int size, const char *path, const ListPlan &plan);

// Writes the path line - path, a separator when the pattern was "\*.*", and
// browsePath - into out (size bytes), cutting what does not fit.
void ComposePathLine(char *out, int size, const char *path, const ListPlan &plan,
                     const char *browsePath);

// File attribute bit of a directory, as the system reports it.
inline constexpr uint32_t DirectoryAttribute = 0x10;

// A found entry is listed when it is a directory whose name does not begin
// with a dot (this drops "." and ".." and every dot-named directory).
int IsListedEntry(uint32_t attributes, const char *name);
