// The checks of a game's folder before release.sh builds from it: a folder
// that can be shipped is counted; one that cannot gets one line per
// problem, naming the file and the rule.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/payload/temp_files.h"
#include "tools/packer/game_folder.h"

TEST(GameFolder, AShippableFolderIsCountedAndEachProblemIsOneLineNamingTheFileAndRule)
{
  ScratchDir dir = MakeScratchDir();
  ASSERT_FALSE(dir.path.empty());
  const std::string root = dir.path + "/game";
  auto write = [&](const std::string &name, const std::string &bytes) {
    std::filesystem::create_directories(std::filesystem::path(root + "/" + name).parent_path());
    WriteFileBytes(root + "/" + name, bytes);
  };
  write("Zorvane.exe", "MZ program");
  write("Readme.rtf", "{\\rtf1 read me}");
  write("Data/Levels/level1.dat", std::string(1000, 'x'));
  GameFolderFacts facts;
  std::vector<std::string> problems = CheckGameFolder(root, GameFolderMaxBytes, &facts);
  EXPECT_TRUE(problems.empty()) << problems[0];
  EXPECT_EQ(facts.files, 3);
  EXPECT_EQ(facts.bytes, 10u + 15u + 1000u);
  // One byte over the limit is refused, naming the folder and the figure.
  problems = CheckGameFolder(root, 1024, &facts);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], root + ": its files hold 1025 bytes, more than the 1024 a setup can "
                                "carry (README: Ship your game)");

  // Each name below (written with bytes unless null) and its rule. The
  // missing readme, an own uninstall.exe, empty files, links, pipes, a
  // case twin, a part file's name and a name too long are refused by
  // release.sh in release-refusals.sh, each with its whole line.
  const std::string Uuml = "Docs/\xc3\x9c", uuml = "Docs/\xc3\xbc";
  const struct {
    std::string name;
    const char *bytes;
    std::string rule;
  } bad[] = {
      {"Zorvane.exe", nullptr, "missing; the game's program"},
      {uuml + "bersicht.txt", "u with diaeresis", "the same name as " + Uuml + "bersicht.txt"},
      {"data", "a file where a folder is", "a file, where Data/"},
      {"Music/keep.zvpart.old", "another form", "part files"},
      {"Maps/nul.map", "device", "device"},
      {"Maps/ends-with-dot.", "dot", "ends in a dot"},
      {"Maps/back\\slash", "separator", "folder separator"},
      {"Maps/latin1-\xe9.txt", "not UTF-8", "not UTF-8"},
      {"Empty", nullptr, "an empty folder"},
  };
  std::filesystem::rename(root + "/Zorvane.exe", root + "/zorvane.exe");
  write(Uuml + "bersicht.txt", "U with diaeresis");
  for (const auto &b : bad)
    if (b.bytes)
      write(b.name, b.bytes);
  std::filesystem::create_directories(root + "/Empty");

  GameFolderFacts refused;  // filled only for a folder that can be shipped
  problems = CheckGameFolder(root, GameFolderMaxBytes, &refused);
  for (const auto &b : bad) {
    int lines = 0;
    for (const std::string &line : problems)
      if (line.rfind(root + "/" + b.name + ": ", 0) == 0 && line.find(b.rule) != std::string::npos)
        ++lines;
    EXPECT_EQ(lines, 1) << b.name;
  }
  EXPECT_EQ(problems.size(), sizeof(bad) / sizeof(bad[0]));
  EXPECT_EQ(refused.files, 0);
  RemoveScratchDir(dir);
}
