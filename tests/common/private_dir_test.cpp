// Names in the way of a private work folder are left alone; its removal
// goes through the held handle once the work files have gone with theirs,
// and deletes nothing by name: a folder with something left inside stays.
// (The payload scenarios read back the descriptor of setup's own work
// folder and try to rename it.)
#include "common/private_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/held_file.h"
#include "common/private_dir_rules.h"

namespace {

std::string TestParent()
{
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string parent = std::string(temp) + "private_dir_test";
  CreateDirectoryA(parent.c_str(), nullptr);
  return parent;
}

// Draws 1, 2, 3, ... so that a test knows the names tried.
uint64_t NextBits;
bool CountingBits(uint64_t *bits)
{
  *bits = NextBits++;
  return true;
}

std::string NameFor(const std::string &parent, uint64_t bits)
{
  char name[40];
  FormatPrivateDirName(name, sizeof(name), "zt", bits);
  return parent + "\\" + name;
}

}  // namespace

TEST(PrivateDir, NamesInTheWayAreNeitherOpenedNorDeleted)
{
  std::string parent = TestParent();
  NextBits = 0x51;
  std::string folder = NameFor(parent, 0x51);
  std::string file = NameFor(parent, 0x52);
  std::string link = NameFor(parent, 0x53);
  std::string target = parent + "\\link-target.txt";
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  std::string folderContent = folder + "\\kept.txt";
  for (const std::string *name : {&file, &target, &folderContent}) {
    HANDLE planted =
        CreateFileA(name->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(planted, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(planted, "planted", 7, &written, nullptr);
    CloseHandle(planted);
  }
  // A hard link: Wine's CreateSymbolicLinkA is a stub (the scenarios plant
  // symbolic links from outside).
  ASSERT_TRUE(CreateHardLinkA(link.c_str(), target.c_str(), nullptr));
  char path[MAX_PATH];
  HANDLE held = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(MakePrivateDirDrawing(parent.c_str(), "zt", HoldForRemoval, path, sizeof(path), &held,
                                    CountingBits));
  EXPECT_EQ(std::string(path), NameFor(parent, 0x54));
  BelowOpen request = {held,
                       "work.dat",
                       GENERIC_WRITE | DELETE,
                       0,
                       BelowCreateNew,
                       BelowNonDirectory | BelowDeleteOnClose,
                       FILE_ATTRIBUTE_TEMPORARY,
                       nullptr};
  HANDLE work = INVALID_HANDLE_VALUE;
  ASSERT_GE(OpenBelow(request, &work), 0);
  CloseHandle(work);
  EXPECT_TRUE(ClosePrivateDir(held));
  EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);

  // Held as the uninstaller holds the folder it runs from: a file left
  // inside stays, and so does the folder.
  ASSERT_TRUE(MakePrivateDir(parent.c_str(), "zt", path, sizeof(path), &held));
  std::string inside = std::string(path) + "\\left.dat";
  CloseHandle(CreateFileA(inside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
  EXPECT_FALSE(ClosePrivateDir(held, path));
  EXPECT_TRUE(DeleteFileA(inside.c_str()));
  RemoveDirectoryA(path);

  // Each planted thing is as it was.
  EXPECT_EQ(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  for (const std::string *name : {&file, &target, &link, &folderContent}) {
    char content[16] = {};
    HANDLE planted = CreateFileA(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(planted, INVALID_HANDLE_VALUE) << *name;
    DWORD read = 0;
    ReadFile(planted, content, sizeof(content), &read, nullptr);
    CloseHandle(planted);
    EXPECT_STREQ(content, "planted") << *name;
  }
  EXPECT_NE(GetFileAttributesA(link.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(link.c_str());
  DeleteFileA(folderContent.c_str());
  RemoveDirectoryA(folder.c_str());
  DeleteFileA(file.c_str());
  DeleteFileA(target.c_str());
}
