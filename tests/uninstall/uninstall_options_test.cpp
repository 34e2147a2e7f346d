#include "uninstall/uninstall_options.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(UninstallCommandLine, ReadsSilentAndTheCopysHandOff)
{
  UninstallOptions options;
  ReadUninstallOptions("  /s  ", &options);
  EXPECT_TRUE(options.silent);
  EXPECT_FALSE(options.isCopy);
  ReadUninstallOptions("/SILENT /FROM=12:34x", &options);
  EXPECT_FALSE(options.silent);
  EXPECT_FALSE(options.isCopy);
  // A process id is 32 bits.
  ReadUninstallOptions("/FROM=4294967296:1", &options);
  EXPECT_FALSE(options.isCopy);
  ReadUninstallOptions("/FROM=4294967295:1", &options);
  EXPECT_TRUE(options.isCopy);
  EXPECT_EQ(options.firstProcess, 4294967295u);

  char line[128];
  ASSERT_TRUE(FormatCopyCommandLine(line, sizeof(line), "C:\\T\\uninstall.exe", "/S", 4242, 0x1c4));
  EXPECT_STREQ(line, "\"C:\\T\\uninstall.exe\" /S /FROM=4242:452");
  ReadUninstallOptions(std::strchr(line + 1, '"') + 1, &options);
  EXPECT_TRUE(options.silent && options.isCopy);
  EXPECT_EQ(options.firstProcess, 4242u);
  EXPECT_EQ(options.resultPipe, 452u);
  EXPECT_FALSE(FormatCopyCommandLine(line, 30, "C:\\T\\uninstall.exe", "", 1, 2));
}

}  // namespace
