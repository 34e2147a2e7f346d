// The checks that a folder of a game's files passes before release.sh builds
// a setup from it: every problem that would make the build fail, or the
// installed game differ from the folder, found at once and told one line
// each, before anything is built.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The most bytes a shipped folder may hold. setup.exe is a 32-bit program
// that carries the compressed payload in its own image, which must be mapped
// whole at the program's base address. Under Wine 8 a folder of 1,950 MiB of
// incompressible data installed and one of 2,000 MiB did not start; this
// limit keeps a margin below that for a Windows whose DLLs sit lower in the
// address space (README: Ship your game).
inline constexpr uint64_t GameFolderMaxBytes = 1073741824;  // 1 GiB

// What the folder holds, when it passed.
struct GameFolderFacts {
  int files = 0;
  uint64_t bytes = 0;
};

// Checks the folder at root: plain files and folders only, the program
// "Zorvane.exe" and "Readme.rtf" at the top level and no "uninstall.exe" of
// its own there, every name one the setup writes (the packer's name rules,
// valid UTF-8, no two names the same without regard to case, no file where
// another name needs a folder, nothing named like setup's part files), no
// empty file or folder, and at most maxBytes in all. Returns one line per
// problem, "PATH: rule" with PATH below root; none when the folder can be
// shipped, and then fills facts.
std::vector<std::string> CheckGameFolder(const std::string &root, uint64_t maxBytes,
                                         GameFolderFacts *facts);
