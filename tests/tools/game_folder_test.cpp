// The checks of a game's folder before release.sh builds from it: a folder
// that can be shipped is counted; one that cannot gets one line per
// problem, naming the file and the rule.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/payload/temp_files.h"
#include "tools/packer/game_folder.h"

namespace {

class GameFolderTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    dir_ = MakeScratchDir();
    ASSERT_FALSE(dir_.path.empty());
    root_ = dir_.path + "/game";
    Write("Zorvane.exe", "MZ program");
    Write("Readme.rtf", "{\\rtf1 read me}");
    Write("Data/Levels/level1.dat", std::string(1000, 'x'));
  }
  void TearDown() override
  {
    RemoveScratchDir(dir_);
  }
  void Write(const std::string &name, const std::string &bytes)
  {
    std::filesystem::create_directories(std::filesystem::path(root_ + "/" + name).parent_path());
    WriteFileBytes(root_ + "/" + name, bytes);
  }
  // The problem lines that name this path below the folder, and the rule.
  int Lines(const std::vector<std::string> &problems, const std::string &name,
            const std::string &rule)
  {
    int found = 0;
    for (const std::string &line : problems)
      if (line.rfind(root_ + "/" + name + ": ", 0) == 0 && line.find(rule) != std::string::npos)
        ++found;
    return found;
  }

  ScratchDir dir_;
  std::string root_;
};

TEST_F(GameFolderTest, AFolderThatCanBeShippedIsCounted)
{
  GameFolderFacts facts;
  std::vector<std::string> problems = CheckGameFolder(root_, GameFolderMaxBytes, &facts);
  EXPECT_TRUE(problems.empty()) << problems[0];
  EXPECT_EQ(facts.files, 3);
  EXPECT_EQ(facts.bytes, 10u + 15u + 1000u);
  // One byte over the limit is refused, naming the folder and the figure.
  problems = CheckGameFolder(root_, 1024, &facts);
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0], root_ + ": its files hold 1025 bytes, more than the 1024 a setup can "
                                 "carry (README: Ship your game)");
}

TEST_F(GameFolderTest, EachProblemIsOneLineNamingTheFileAndTheRule)
{
  std::filesystem::remove(root_ + "/Readme.rtf");
  std::filesystem::rename(root_ + "/Zorvane.exe", root_ + "/zorvane.exe");
  Write("Uninstall.exe", "own");
  Write("Data/levels/LEVEL1.DAT", "twin");
  Write("data", "a file where a folder is");
  Write("Saves/slot.sav", "");
  Write("Music/theme.ogg.0123456789abcdef.zvpart", "left over");
  Write("Music/keep.zvpart.old", "another form");
  Write("Maps/nul.map", "device");
  Write("Maps/ends-with-dot.", "dot");
  Write("Maps/back\\slash", "separator");
  Write("Maps/latin1-\xe9.txt", "not UTF-8");
  Write("Docs/\xc3\x9c"
        "bersicht.txt",
        "U with diaeresis");
  Write("Docs/\xc3\xbc"
        "bersicht.txt",
        "u with diaeresis");
  Write(std::string(200, 'd') + "/" + std::string(40, 'f'), "long");
  std::filesystem::create_directories(root_ + "/Empty");
  ASSERT_EQ(symlink("Zorvane.exe", (root_ + "/Link.exe").c_str()), 0);
  ASSERT_EQ(mkfifo((root_ + "/Pipe").c_str(), 0600), 0);

  GameFolderFacts facts;
  std::vector<std::string> problems = CheckGameFolder(root_, GameFolderMaxBytes, &facts);
  EXPECT_EQ(Lines(problems, "Zorvane.exe", "missing; the game's program"), 1);
  EXPECT_EQ(Lines(problems, "Readme.rtf", "missing"), 1);
  EXPECT_EQ(Lines(problems, "Uninstall.exe", "the project's own uninstall.exe"), 1);
  EXPECT_EQ(Lines(problems, "Data/levels/LEVEL1.DAT", "the same name as Data/Levels/level1.dat"),
            1);
  EXPECT_EQ(Lines(problems, "data", "a file, where Data/"), 1);
  EXPECT_EQ(Lines(problems, "Saves/slot.sav", "an empty file"), 1);
  EXPECT_EQ(Lines(problems, "Music/theme.ogg.0123456789abcdef.zvpart", "part files"), 1);
  EXPECT_EQ(Lines(problems, "Music/keep.zvpart.old", "part files"), 1);
  EXPECT_EQ(Lines(problems, "Maps/nul.map", "device"), 1);
  EXPECT_EQ(Lines(problems, "Maps/ends-with-dot.", "ends in a dot"), 1);
  EXPECT_EQ(Lines(problems, "Maps/back\\slash", "folder separator"), 1);
  EXPECT_EQ(Lines(problems, "Maps/latin1-\xe9.txt", "not UTF-8"), 1);
  EXPECT_EQ(Lines(problems,
                  "Docs/\xc3\xbc"
                  "bersicht.txt",
                  "the same name as Docs/\xc3\x9c"
                  "bersicht.txt"),
            1);
  EXPECT_EQ(Lines(problems, std::string(200, 'd') + "/" + std::string(40, 'f'),
                  "too long for the default install folder"),
            1);
  EXPECT_EQ(Lines(problems, "Empty", "an empty folder"), 1);
  EXPECT_EQ(Lines(problems, "Link.exe", "a symbolic link"), 1);
  EXPECT_EQ(Lines(problems, "Pipe", "not a plain file or folder"), 1);
  EXPECT_EQ(problems.size(), 17u);
  EXPECT_EQ(facts.files, 0);
}

}  // namespace
