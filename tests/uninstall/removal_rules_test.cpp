// The uninstaller's rules on what it finds at its mark's name.
#include "app/uninstall/running_alone_rules.h"

#include <gtest/gtest.h>

namespace {

TEST(UninstallMark, OnlyAnElevatedUninstallersMarkKeepsAnotherOut)
{
  EXPECT_TRUE(MayRunBesideMark(MarkCreated, MarkOwnedByOther, false));
  EXPECT_FALSE(MayRunBesideMark(MarkExisted, MarkOwnedByAdministrators, false));
  EXPECT_FALSE(MayRunBesideMark(MarkExisted, MarkOwnedBySystem, false));
  EXPECT_TRUE(MayRunBesideMark(MarkExisted, MarkOwnedByAdministrators, true));
  // A name taken first by any user's program, or held so this process
  // cannot open it, blocks nothing.
  EXPECT_TRUE(MayRunBesideMark(MarkExisted, MarkOwnedByOther, false));
  EXPECT_TRUE(MayRunBesideMark(MarkUnopened, MarkOwnedByOther, false));
}

}  // namespace
