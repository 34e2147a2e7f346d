#include "shell/wizard_rules.h"

#include "resources/setup_texts.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(SpineRules, DriveRootKeepsLetterAndColonOnly)
{
  char root[512] = "D:\\";
  TrimDriveRoot(root);
  EXPECT_STREQ("D:", root);

  char deeper[512] = "D:\\Games";
  TrimDriveRoot(deeper);
  EXPECT_STREQ("D:\\Games", deeper);

  char shortest[512] = "D:\\G";  // four characters: not a root
  TrimDriveRoot(shortest);
  EXPECT_STREQ("D:\\G", shortest);

  char empty[512] = "";  // a failed query stays empty
  TrimDriveRoot(empty);
  EXPECT_STREQ("", empty);
}

TEST(SpineRules, ClosingWordAndShellCallFollowInstallMode)
{
  EXPECT_STREQ(RegisteredWord, ClosingWord(0));
  EXPECT_STREQ(InstalledWord, ClosingWord(1));
  EXPECT_STREQ(InstalledWord, ClosingWord(2));
  EXPECT_FALSE(OpensGroupFolder(0));
  EXPECT_TRUE(OpensGroupFolder(1));
  EXPECT_FALSE(OpensGroupFolder(2));
}
