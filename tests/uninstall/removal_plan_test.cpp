// The uninstaller's plan against a fake disk, its last message and its
// command line.
#include "uninstall/removal_report.h"
#include "common/ascii_text.h"
#include "common/install_facts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

std::string Upper(std::string text)
{
  for (char &c : text)
    c = UpperAscii(c);
  return text;
}

// Paths compare without regard to case, as on Windows.
// A path in aliases leads to the folder it names (a junction, a short
// name); every path has an identity but those in unreadable. A path's real
// path is the one in reals ("" when it cannot be had), or itself.
struct FakeDisk {
  std::map<std::string, PathKind> kinds;
  std::map<std::string, std::string> links;
  std::map<std::string, std::string> aliases;
  std::set<std::string> unreadable;
  std::map<std::string, std::string> reals;
  void Add(const std::string &path, PathKind kind = PathFile)
  {
    kinds[Upper(path)] = kind;
  }
};

PathKind FakeKind(const char *path, void *context)
{
  auto &kinds = static_cast<FakeDisk *>(context)->kinds;
  auto found = kinds.find(Upper(path));
  return found == kinds.end() ? PathMissing : found->second;
}

bool FakeTarget(const char *link, char *target, size_t size, void *context)
{
  auto &links = static_cast<FakeDisk *>(context)->links;
  auto found = links.find(Upper(link));
  if (found == links.end() || found->second.size() >= size)
    return false;
  std::strcpy(target, found->second.c_str());
  return true;
}

bool FakeIdentity(const char *path, FolderIdentity *id, void *context)
{
  auto *disk = static_cast<FakeDisk *>(context);
  std::string key = Upper(path);
  if (disk->unreadable.count(key) != 0)
    return false;
  auto alias = disk->aliases.find(key);
  if (alias != disk->aliases.end())
    key = Upper(alias->second);
  id->volume = 7;
  id->index = std::hash<std::string>()(key);
  return true;
}

bool FakeRealPath(const char *path, char *real, size_t size, void *context)
{
  auto &reals = static_cast<FakeDisk *>(context)->reals;
  auto found = reals.find(Upper(path));
  std::string result = found == reals.end() ? std::string("\\\\?\\") + path : found->second;
  if (result.empty() || result.size() >= size)
    return false;
  std::strcpy(real, result.c_str());
  return true;
}

const char Prog[] = "C:\\Program files\\The Zorvane";
const char Group[] = "C:\\ProgramData\\Start Menu\\Programs\\The Zorvane";
const char Desktop[] = "C:\\users\\Public\\Desktop";
const char *const Names[] = {"Maps\\M1.map", "Readme.rtf", "Sounds\\S1.wav", "Zorvane.exe",
                             "uninstall.exe"};

// A default installation: everything setup made, the desktop link too.
struct Installed : ::testing::Test {
  FakeDisk disk;
  RemovalLookup lookup = {FakeKind, FakeTarget, FakeIdentity, FakeRealPath, &disk};
  RegisteredInstall facts = {Prog, Group, Desktop, "C:\\windows", nullptr, Names, 5};
  RemovalPlan plan;
  void SetUp() override
  {
    for (const char *folder : {"", "\\Maps", "\\Sounds", "\\AImages"})
      disk.Add(std::string(Prog) + folder, PathFolder);
    for (const char *name : Names)
      disk.Add(std::string(Prog) + "\\" + name);
    disk.Add(Group, PathFolder);
    for (const char *link : {"\\TheZorvane.lnk", "\\Uninstall.lnk", "\\Readme.lnk"})
      disk.Add(std::string(Group) + link);
    disk.links[Upper(std::string(Group) + "\\TheZorvane.lnk")] =
        std::string(Prog) + "\\Zorvane.exe";
    disk.links[Upper(std::string(Group) + "\\Uninstall.lnk")] =
        std::string(Prog) + "\\uninstall.exe";
    disk.links[Upper(std::string(Group) + "\\Readme.lnk")] = std::string(Prog) + "\\Readme.rtf";
    disk.Add(std::string(Desktop) + "\\TheZorvane.lnk");
    disk.links[Upper(std::string(Desktop) + "\\TheZorvane.lnk")] =
        "c:\\PROGRAM FILES\\The Zorvane\\Zorvane.exe";
  }
  // The steps as "action path" lines, paths relative to Prog where inside.
  std::vector<std::string> Steps(bool handOff = false)
  {
    EXPECT_EQ(PlanRemoval(facts, handOff, lookup, &plan), FolderAccepted);
    std::vector<std::string> lines;
    for (int i = 0; i < plan.count; ++i) {
      std::string path = plan.steps[i].path;
      if (path.rfind(Prog, 0) == 0)
        path = "P" + path.substr(std::strlen(Prog));
      const char *actions[] = {"file ", "folder ", "key ", "handoff"};
      lines.push_back(actions[plan.steps[i].action] + path);
    }
    return lines;
  }
};

TEST_F(Installed, RemovesLinksFilesFoldersBottomUpThenTheKeys)
{
  std::vector<std::string> expected = {
      "file C:\\users\\Public\\Desktop\\TheZorvane.lnk",
      std::string("file ") + Group + "\\TheZorvane.lnk",
      std::string("file ") + Group + "\\Uninstall.lnk",
      std::string("file ") + Group + "\\Readme.lnk",
      std::string("folder ") + Group,
      "file P\\Maps\\M1.map",
      "file P\\Readme.rtf",
      "file P\\Sounds\\S1.wav",
      "file P\\Zorvane.exe",
      "folder P\\Maps",
      "folder P\\Sounds",
      "folder P\\AImages",
      "key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\The Zorvane",
      "key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\The Zorvane",
      "file P\\uninstall.exe",
      "folder P"};
  EXPECT_EQ(Steps(), expected);
  EXPECT_EQ(plan.steps[4].role, RoleGroupFolder);
  // The keys, then the uninstaller and its folder, go only after all else.
  for (int i = 0; i < plan.count; ++i)
    EXPECT_EQ(WaitsForEarlierSteps(plan.steps[i]), i >= 12) << i;
  EXPECT_EQ(plan.steps[15].role, RoleProgramFolder);
}

TEST_F(Installed, TheCopyHandsOffBeforeTheFirstProcessFileAndTheProgramFolder)
{
  std::vector<std::string> steps = Steps(true);
  ASSERT_EQ(steps.size(), 17u);
  std::vector<std::string> tail(steps.end() - 6, steps.end());
  std::vector<std::string> expected = {
      "folder P\\AImages",
      "key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\The Zorvane",
      "key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\The Zorvane",
      "handoff",
      "file P\\uninstall.exe",
      "folder P"};
  EXPECT_EQ(tail, expected);
}

TEST_F(Installed, LeavesWhatIsNotSetupsAndNeverEntersALink)
{
  disk.links[Upper(std::string(Desktop) + "\\TheZorvane.lnk")] = "D:\\Games\\Other.exe";
  disk.Add(std::string(Prog) + "\\Maps", PathReparse);
  disk.kinds.erase(Upper(std::string(Prog) + "\\Readme.rtf"));
  disk.Add(std::string(Prog) + "\\Zorvane.exe", PathFolder);
  facts.groupDir = "C:\\";
  std::vector<std::string> expected = {
      "file P\\Sounds\\S1.wav",
      "folder P\\Sounds",
      "folder P\\AImages",
      "key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\The Zorvane",
      "key SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\The Zorvane",
      "file P\\uninstall.exe",
      "folder P"};
  EXPECT_EQ(Steps(), expected);
}

TEST_F(Installed, DeeperFoldersGoBeforeTheFoldersAroundThem)
{
  const char *deep[] = {"Data\\Deep\\x.bin", "Data\\y.bin", "uninstall.exe"};
  facts = {Prog, nullptr, nullptr, "C:\\windows", nullptr, deep, 3};
  for (const char *folder : {"\\Data", "\\Data\\Deep"})
    disk.Add(std::string(Prog) + folder, PathFolder);
  for (const char *name : deep)
    disk.Add(std::string(Prog) + "\\" + name);
  std::vector<std::string> steps = Steps();
  std::vector<std::string> folders(steps.begin() + 2, steps.begin() + 5);
  std::vector<std::string> expected = {"folder P\\Data\\Deep", "folder P\\Data",
                                       "folder P\\AImages"};
  EXPECT_EQ(folders, expected);
}

TEST_F(Installed, RefusesAFolderThatDoesNotLookLikeTheInstallation)
{
  std::string longDir = std::string(Prog) + "\\" + std::string(250, 'x');
  struct Case {
    const char *dir;
    FolderVerdict verdict;
  } cases[] = {
      {"C:\\", FolderIsDriveRoot},
      {"c:", FolderNotFullPath},
      {"Program files\\The Zorvane", FolderNotFullPath},
      {"\\\\server\\share\\The Zorvane", FolderNotFullPath},
      {"C:\\Program files\\..\\windows", FolderNotFullPath},
      {"C:\\Windows.", FolderNotFullPath},
      {"C:\\Program files\\\\The Zorvane", FolderNotFullPath},
      {"C:\\WINDOWS\\", FolderHoldsWindows},
      {"C:\\Program files", FolderNotOurs},  // no uninstall.exe in it
      {longDir.c_str(), FolderTooLong},
      {"C:\\Program files\\The Zorvane\\", FolderAccepted},
  };
  for (const Case &c : cases) {
    facts.programDir = c.dir;
    EXPECT_EQ(PlanRemoval(facts, false, lookup, &plan), c.verdict) << c.dir;
    // A refused folder leaves an empty plan.
    EXPECT_EQ(c.verdict != FolderAccepted ? plan.count : 0, 0) << c.dir;
  }
  disk.Add("D:\\OS\\uninstall.exe");
  disk.Add("D:\\OS", PathFolder);
  EXPECT_EQ(CheckProgramDir("D:\\OS", "D:\\OS\\Windows", lookup), FolderHoldsWindows);
  EXPECT_EQ(CheckProgramDir("D:\\OS", "D:\\OSWindows", lookup), FolderAccepted);
  // The rule setup installs by: a key naming ProgramData, where an
  // uninstall.exe stands, was not written by setup; its own folder passes.
  NeverInstallFolders never = {};
  AddReservedFolder(&never, "C:\\windows", ReservedWithInside, true);
  AddReservedFolder(&never, "C:\\ProgramData", ReservedAtOrAbove);
  disk.Add("C:\\ProgramData\\uninstall.exe");
  disk.Add("C:\\ProgramData", PathFolder);
  EXPECT_EQ(CheckProgramDir("C:\\ProgramData", "C:\\windows", lookup, &never), FolderNeverInstall);
  EXPECT_EQ(CheckProgramDir("C:\\ProgramData", "C:\\windows", lookup), FolderAccepted);
  facts.programDir = Prog;
  facts.neverInstall = &never;
  EXPECT_EQ(PlanRemoval(facts, false, lookup, &plan), FolderAccepted);
  disk.Add(Prog, PathReparse);
  EXPECT_EQ(CheckProgramDir(Prog, "C:\\windows", lookup), FolderNotOurs);
}

// Only links that point at the file setup made them for go, from the group
// folder as from the desktop, and only from a folder named after the
// product: "Scdir" naming the public desktop leaves even a link there that
// points at the program alone, and that is no refusal.
TEST_F(Installed, GroupLinksAndFolderGoOnlyWhenTheyAreSetups)
{
  disk.links[Upper(std::string(Group) + "\\Uninstall.lnk")] = std::string(Prog) + "\\Zorvane.exe";
  disk.links[Upper(std::string(Group) + "\\Readme.lnk")] = "D:\\Other\\Readme.rtf";
  std::vector<std::string> steps = Steps();
  EXPECT_EQ(steps[1], std::string("file ") + Group + "\\TheZorvane.lnk");
  EXPECT_EQ(steps[2], std::string("folder ") + Group);

  facts.groupDir = "C:\\users\\Public\\Desktop\\";
  facts.desktopDir = nullptr;
  disk.Add(Desktop, PathFolder);
  steps = Steps();
  EXPECT_EQ(steps[0], "file P\\Maps\\M1.map");
  for (const std::string &step : steps)
    EXPECT_EQ(step.find("Desktop"), std::string::npos) << step;
}

// The Windows folder is told by identity: under a short name, behind a
// junction, above "Progdir" or below it; and when it cannot be read or
// identified nothing is removed.
TEST_F(Installed, RefusesTheWindowsFolderByIdentityAndWithoutIt)
{
  struct Case {
    const char *dir;
    const char *alias;  // what dir, or the folder around it, really is
    const char *aliasOf;
  } cases[] = {
      {"C:\\WINDOW~1\\Zorvane", "C:\\WINDOW~1", "C:\\windows"},
      {"C:\\Games", "C:\\Games", "C:\\windows"},
      {"C:\\Games\\Zorvane", "C:\\Games", "C:\\windows"},
      {"C:\\Top", "C:\\Top", "C:\\"},
  };
  for (const Case &c : cases) {
    disk.Add(c.dir, PathFolder);
    disk.Add(std::string(c.dir) + "\\uninstall.exe");
    disk.aliases[Upper(c.alias)] = c.aliasOf;
    EXPECT_EQ(CheckProgramDir(c.dir, "C:\\windows", lookup), FolderHoldsWindows) << c.dir;
    disk.aliases.clear();
    EXPECT_EQ(CheckProgramDir(c.dir, "C:\\windows", lookup), FolderAccepted) << c.dir;
  }
  facts.windowsDir = "";
  EXPECT_EQ(PlanRemoval(facts, false, lookup, &plan), FolderWindowsUnknown);
  facts.windowsDir = nullptr;
  EXPECT_EQ(PlanRemoval(facts, false, lookup, &plan), FolderWindowsUnknown);
  facts.windowsDir = "C:\\windows";
  disk.unreadable.insert("C:\\WINDOWS");
  EXPECT_EQ(PlanRemoval(facts, false, lookup, &plan), FolderWindowsUnknown);
  EXPECT_EQ(plan.count, 0);
  disk.unreadable = {"C:\\PROGRAM FILES"};
  EXPECT_EQ(PlanRemoval(facts, false, lookup, &plan), FolderHoldsWindows);
}

// A junction into a folder inside Windows, as "Progdir" or on its way, is
// told by the real path it leads to, walked up by identity; without a real
// path that can be walked, nothing is removed.
TEST_F(Installed, RefusesAJunctionIntoAFolderInsideWindows)
{
  disk.aliases[Upper("\\\\host\\c$\\windows")] = "C:\\windows";
  struct Case {
    const char *dir;
    const char *real;
    FolderVerdict verdict;
  } cases[] = {
      {"C:\\Games", "\\\\?\\C:\\windows\\System32", FolderHoldsWindows},
      {"C:\\J\\Sys\\Zorvane", "\\\\?\\C:\\Windows\\System32\\Zorvane", FolderHoldsWindows},
      {"Z:\\Zorvane", "\\\\?\\UNC\\host\\c$\\windows\\Zorvane", FolderHoldsWindows},
      {"Y:\\Zorvane", "\\\\?\\UNC\\host\\games\\Zorvane", FolderAccepted},
      {"D:\\Games", "\\\\?\\D:\\Games", FolderAccepted},
      {"D:\\Lost", "", FolderHoldsWindows},
      {"D:\\Volume", "\\\\?\\Volume{1}\\Zorvane", FolderHoldsWindows},
      {"D:\\Share", "\\\\?\\UNC\\host", FolderHoldsWindows},
  };
  for (const Case &c : cases) {
    disk.Add(c.dir, PathFolder);
    disk.Add(std::string(c.dir) + "\\uninstall.exe");
    disk.reals[Upper(c.dir)] = c.real;
    EXPECT_EQ(CheckProgramDir(c.dir, "C:\\windows", lookup), c.verdict) << c.dir;
  }
}

// A folder below a link is not entered, however plain it looks.
TEST_F(Installed, NothingGoesInsideAFolderBelowALink)
{
  const char *deep[] = {"Maps\\Deep\\x.map", "uninstall.exe"};
  facts.names = deep;
  facts.nameCount = 2;
  disk.Add(std::string(Prog) + "\\Maps", PathReparse);
  disk.Add(std::string(Prog) + "\\Maps\\Deep", PathFolder);
  disk.Add(std::string(Prog) + "\\Maps\\Deep\\x.map");
  for (const std::string &step : Steps())
    EXPECT_EQ(step.find("Maps"), std::string::npos) << step;
}

TEST_F(Installed, RefusesWhatNoFolderNameHas)
{
  std::string limit = "C:\\" + std::string(MaxWindowsPath - 3, 'x');
  disk.Add(limit, PathFolder);
  disk.kinds.erase(Upper(std::string(Prog) + "\\uninstall.exe"));
  struct Case {
    std::string dir;
    FolderVerdict verdict;
  } cases[] = {
      {"C:\\WINDOWS \\", FolderNotFullPath},
      {"C:\\Program files/The Zorvane", FolderNotFullPath},
      {"C:\\Program files\\The\x1fZorvane", FolderNotFullPath},
      {"C:\\Program files\\The\x01Zorvane", FolderNotFullPath},
      {"@:\\The Zorvane", FolderNotFullPath},
      {"[:\\The Zorvane", FolderNotFullPath},
      {"`:\\The Zorvane", FolderNotFullPath},
      {"{:\\The Zorvane", FolderNotFullPath},
      {"z:\\The Zorvane", FolderNotOurs},
      {limit, FolderNotOurs},  // within the limit, but no uninstall.exe
      {limit + "y", FolderTooLong},
      {Prog, FolderNotOurs},  // the folder is there, its uninstall.exe is not
  };
  for (const Case &c : cases)
    EXPECT_EQ(CheckProgramDir(c.dir.c_str(), "C:\\windows", lookup), c.verdict) << c.dir;
}

// A key goes only when it holds nothing setup did not write: each of its
// own values, in any case, and no other, not even one of the other key's.
TEST(ProductKeys, OnlyTheValuesSetupWritesLetAKeyGo)
{
  std::string appPaths = std::string(AppPathsKey) + "\\" + ProductTitle;
  std::string uninstall = std::string(UninstallKey) + "\\" + ProductTitle;
  for (const char *name : UninstallKeyValues) {
    EXPECT_TRUE(SetupWroteValue(uninstall.c_str(), Upper(name).c_str())) << name;
    EXPECT_FALSE(SetupWroteValue(appPaths.c_str(), name)) << name;
  }
  for (const char *name : AppPathsKeyValues) {
    EXPECT_TRUE(SetupWroteValue(appPaths.c_str(), name)) << name;
    EXPECT_FALSE(SetupWroteValue(uninstall.c_str(), name)) << name;
  }
  EXPECT_FALSE(SetupWroteValue(appPaths.c_str(), "Pat"));
  EXPECT_FALSE(SetupWroteValue(uninstall.c_str(), "Foreign"));
  EXPECT_FALSE(SetupWroteValue("SOFTWARE\\Other", AppPathValue));
}

}  // namespace
