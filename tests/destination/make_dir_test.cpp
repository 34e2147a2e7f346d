#include "destination/make_dir.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// A file system of directory names; creation needs the parent to exist.
struct FakeFs {
  std::set<std::string> dirs{"C:\\", "C:\\Program files"};
  std::set<std::string> denied;  // creation of these fails (access denied)
  std::vector<std::string> created;
  std::vector<std::string> removed;
  int creates = 0;
};

std::string Parent(const std::string &path)
{
  size_t at = path.find_last_of('\\');
  if (at == std::string::npos)
    return "";
  return at <= 2 ? path.substr(0, at + 1) : path.substr(0, at);
}

int FakeCreate(const char *path, void *context)
{
  FakeFs *fs = static_cast<FakeFs *>(context);
  ++fs->creates;
  std::string p = path;
  if (fs->dirs.count(p) || fs->denied.count(p))
    return 0;
  std::string parent = Parent(p);
  if (!parent.empty() && !fs->dirs.count(parent))
    return 0;
  fs->dirs.insert(p);
  fs->created.push_back(p);
  return 1;
}

int FakeIsDirectory(const char *path, void *context)
{
  return static_cast<FakeFs *>(context)->dirs.count(path) ? 1 : 0;
}

int FakeRemove(const char *path, void *context)
{
  FakeFs *fs = static_cast<FakeFs *>(context);
  std::string p = path;
  for (const std::string &d : fs->dirs)
    if (d.size() > p.size() && d.compare(0, p.size(), p) == 0 && d[p.size()] == '\\')
      return 0;  // not empty
  fs->removed.push_back(p);
  return fs->dirs.erase(p) ? 1 : 0;
}

int Settle(FakeFs &fs, const char *dir)
{
  return SettleDestination(dir, DirOps{FakeCreate, FakeIsDirectory, FakeRemove, &fs});
}

std::vector<std::string> Levels(const char *path)
{
  int ends[16];
  int n = ListParentLevels(path, ends, 16);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i)
    out.push_back(std::string(path, static_cast<size_t>(ends[i])));
  return out;
}

}  // namespace

TEST(DestParentLevels, OutermostFirstWithoutTheRoot)
{
  EXPECT_EQ(Levels("C:\\Program files\\Apps\\The Zorvane"),
            (std::vector<std::string>{"C:\\Program files", "C:\\Program files\\Apps"}));
  EXPECT_TRUE(Levels("C:\\The Zorvane").empty());
  EXPECT_EQ(Levels("Apps\\The Zorvane"), (std::vector<std::string>{"Apps"}));
  EXPECT_EQ(Levels("\\\\server\\share\\Apps\\X"),
            (std::vector<std::string>{"\\\\server\\share\\Apps"}));
  EXPECT_EQ(Levels("\\Apps\\X"), (std::vector<std::string>{"\\Apps"}));
  // Doubled and trailing separators give no empty level.
  EXPECT_EQ(Levels("C:\\A\\\\B\\"), (std::vector<std::string>{"C:\\A", "C:\\A\\\\B"}));
  int one[1];
  EXPECT_EQ(ListParentLevels("C:\\A\\B\\C\\D", one, 1), 1);
}

TEST(DestSettle, NewDirectoryIsCreated)
{
  FakeFs fs;
  EXPECT_EQ(Settle(fs, "C:\\Program files\\The Zorvane"), DestinationCreated);
  EXPECT_EQ(fs.created, (std::vector<std::string>{"C:\\Program files\\The Zorvane"}));
}

TEST(DestSettle, ExistingDirectoryIsReportedNotRecreated)
{
  FakeFs fs;
  fs.dirs.insert("C:\\Program files\\The Zorvane");
  EXPECT_EQ(Settle(fs, "C:\\Program files\\The Zorvane"), DestinationExists);
  EXPECT_TRUE(fs.created.empty());
  EXPECT_EQ(fs.creates, 1);
}

TEST(DestSettle, MissingParentsAreCreatedOutermostFirst)
{
  FakeFs fs;
  EXPECT_EQ(Settle(fs, "C:\\Program files\\Apps\\Games\\The Zorvane"), DestinationCreated);
  EXPECT_EQ(fs.created,
            (std::vector<std::string>{"C:\\Program files\\Apps", "C:\\Program files\\Apps\\Games",
                                      "C:\\Program files\\Apps\\Games\\The Zorvane"}));
}

TEST(DestSettle, DirectoryThatCannotBeMadeIsAFailure)
{
  FakeFs fs;
  fs.denied.insert("C:\\Program files\\The Zorvane");
  EXPECT_EQ(Settle(fs, "C:\\Program files\\The Zorvane"), DestinationFailed);
  EXPECT_TRUE(fs.removed.empty());
  // Parents made on the way are removed again, innermost first, when the
  // destination itself cannot be made; levels that were there stay.
  FakeFs chain;
  chain.denied.insert("C:\\Program files\\Apps\\Games\\Bad");
  EXPECT_EQ(Settle(chain, "C:\\Program files\\Apps\\Games\\Bad"), DestinationFailed);
  EXPECT_EQ(chain.removed, (std::vector<std::string>{"C:\\Program files\\Apps\\Games",
                                                     "C:\\Program files\\Apps"}));
  EXPECT_EQ(chain.dirs, (std::set<std::string>{"C:\\", "C:\\Program files"}));
  // A denied parent leaves the destination unmade as well.
  FakeFs parent;
  parent.denied.insert("C:\\Locked");
  EXPECT_EQ(Settle(parent, "C:\\Locked\\The Zorvane"), DestinationFailed);
  EXPECT_TRUE(parent.created.empty());
}
