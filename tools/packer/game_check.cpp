// zv-game-check: whether a folder of a game's files can be shipped.
//
//   zv-game-check [--max-bytes N] DIR
//
// Prints each problem on a line of its own, "DIR/PATH: rule", on stderr and
// exits with 1; or prints "FILES BYTES" on stdout and exits with 0.
// --max-bytes sets another limit than the setup's (for tests).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tools/packer/game_folder.h"

int main(int argc, char **argv)
{
  uint64_t maxBytes = GameFolderMaxBytes;
  int at = 1;
  if (argc == 4 && std::string(argv[1]) == "--max-bytes") {
    maxBytes = std::strtoull(argv[2], nullptr, 10);
    at = 3;
  }
  if (argc != at + 1) {
    std::fprintf(stderr, "usage: zv-game-check [--max-bytes N] DIR\n");
    return 2;
  }
  GameFolderFacts facts;
  std::vector<std::string> problems = CheckGameFolder(argv[at], maxBytes, &facts);
  for (const std::string &problem : problems)
    std::fprintf(stderr, "%s\n", problem.c_str());
  if (!problems.empty())
    return 1;
  std::printf("%d %llu\n", facts.files, static_cast<unsigned long long>(facts.bytes));
  return 0;
}
