// CreateDir makes exactly one directory level and reports 0, changing
// nothing, when the directory exists or its parent is missing.
#include "setup_common/dir_ops.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string FreshTempFolder(const char *name)
{
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  std::string folder = std::string(temp) + name;
  RemoveDirectoryA((folder + "\\inner").c_str());
  DeleteFileA((folder + "\\keep.txt").c_str());
  RemoveDirectoryA(folder.c_str());
  return folder;
}

bool IsDirectory(const std::string &path)
{
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

TEST(CreateDir, CreatesOneNewLevel)
{
  std::string folder = FreshTempFolder("zv_create_new");
  EXPECT_NE(0, CreateDir(folder.c_str()));
  EXPECT_TRUE(IsDirectory(folder));
  RemoveDirectoryA(folder.c_str());
}

TEST(CreateDir, ExistingDirectoryGivesZeroAndKeepsItsContents)
{
  std::string folder = FreshTempFolder("zv_create_existing");
  ASSERT_NE(0, CreateDirectoryA(folder.c_str(), nullptr));
  HANDLE file = CreateFileA((folder + "\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  DWORD written = 0;
  WriteFile(file, "kept", 4, &written, nullptr);
  CloseHandle(file);

  EXPECT_EQ(0, CreateDir(folder.c_str()));
  EXPECT_TRUE(IsDirectory(folder));
  WIN32_FILE_ATTRIBUTE_DATA data;
  ASSERT_TRUE(GetFileAttributesExA((folder + "\\keep.txt").c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(4u, data.nFileSizeLow);
  DeleteFileA((folder + "\\keep.txt").c_str());
  RemoveDirectoryA(folder.c_str());
}

TEST(CreateDir, MissingParentGivesZeroAndCreatesNothing)
{
  std::string folder = FreshTempFolder("zv_create_missing");
  EXPECT_EQ(0, CreateDir((folder + "\\inner").c_str()));
  EXPECT_FALSE(IsDirectory(folder));
  EXPECT_FALSE(IsDirectory(folder + "\\inner"));
}
