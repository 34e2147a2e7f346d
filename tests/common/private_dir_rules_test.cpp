// The access of a private work folder, entry by entry, and its name.
#include "common/private_dir_rules.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(PrivateDirAccess, ElevatedGivesSystemAndAdministratorsAloneFullControl)
{
  PrivateDirAccess access = DescribePrivateDirAccess(true);
  EXPECT_EQ(access.owner, TrusteeAdministrators);
  EXPECT_TRUE(access.isProtected);
  ASSERT_EQ(access.entryCount, 2);
  EXPECT_EQ(access.entries[0].trustee, TrusteeSystem);
  EXPECT_EQ(access.entries[1].trustee, TrusteeAdministrators);
  for (int index = 0; index < access.entryCount; ++index) {
    EXPECT_EQ(access.entries[index].mask, 0x001F01FFu) << index;
    EXPECT_EQ(access.entries[index].inheritFlags, 0x03) << index;  // files and folders inside
  }
}

TEST(PrivateDirAccess, NotElevatedGivesTheUserAloneFullControl)
{
  PrivateDirAccess access = DescribePrivateDirAccess(false);
  EXPECT_EQ(access.owner, TrusteeCurrentUser);
  EXPECT_TRUE(access.isProtected);
  ASSERT_EQ(access.entryCount, 1);
  EXPECT_EQ(access.entries[0].trustee, TrusteeCurrentUser);
  EXPECT_EQ(access.entries[0].mask, 0x001F01FFu);
  EXPECT_EQ(access.entries[0].inheritFlags, 0x03);
}

// What Windows gives Program files: SYSTEM and Administrators change the
// folder, Users read and run (no write, append or delete), all inherited
// inside. A link or junction at its name is refused whatever it leads to.
TEST(InstallDirAccess, AdministratorsChangeItUsersReadAndRun)
{
  PrivateDirAccess access = DescribeInstallDirAccess();
  EXPECT_EQ(access.owner, TrusteeAdministrators);
  EXPECT_TRUE(access.isProtected);
  ASSERT_EQ(access.entryCount, 3);
  const AccessTrustee trustees[] = {TrusteeSystem, TrusteeAdministrators, TrusteeUsers};
  const uint32_t masks[] = {0x001F01FF, 0x001F01FF, 0x001200A9};
  for (int index = 0; index < 3; ++index) {
    EXPECT_EQ(access.entries[index].trustee, trustees[index]) << index;
    EXPECT_EQ(access.entries[index].mask, masks[index]) << index;
    EXPECT_EQ(access.entries[index].inheritFlags, 0x03) << index;
  }
}

TEST(PrivateDirName, PrefixAndSixteenHexDigitsOrNothing)
{
  char name[32];
  ASSERT_TRUE(FormatPrivateDirName(name, sizeof(name), "zv", 0x0123456789ABCDEFull));
  EXPECT_STREQ(name, "zv0123456789abcdef");
  ASSERT_TRUE(FormatPrivateDirName(name, sizeof(name), "zv", 0xF000000000000001ull));
  EXPECT_STREQ(name, "zvf000000000000001");
  // 18 characters and the terminator: one byte less changes nothing.
  std::memset(name, '#', sizeof(name));
  EXPECT_FALSE(FormatPrivateDirName(name, 18, "zv", 1));
  EXPECT_EQ(name[0], '#');
  EXPECT_TRUE(FormatPrivateDirName(name, 19, "zv", 1));
  EXPECT_STREQ(name, "zv0000000000000001");
  // Only that form is swept as a folder a killed setup left.
  EXPECT_TRUE(IsPrivateDirName(name, "zv"));
  for (const char *other : {"zv000000000000000", "zv00000000000000010", "zv000000000000000A",
                            "Zv0000000000000001", "zvx000000000000001", "zv", ""})
    EXPECT_FALSE(IsPrivateDirName(other, "zv")) << other;
}
