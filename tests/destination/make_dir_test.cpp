#include "destination/make_dir.h"
#include "tests/common/fake_dirs.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

DestinationOutcome Settle(FakeFs &fs, const char *dir)
{
  return SettleDestination(dir, FakeOps(&fs));
}

}  // namespace

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
