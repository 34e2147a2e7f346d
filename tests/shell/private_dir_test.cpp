// The private work folder as Windows (here Wine) sees it: the descriptor
// read back from the folder, the held folder that cannot be renamed, names
// in the way left alone, and the removal.
#include "shell/private_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shell/private_dir_rules.h"
#include "shell/random_bits.h"

namespace {

std::string TestParent()
{
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
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
  FormatPrivateDirName(name, sizeof name, "zt", bits);
  return parent + "\\" + name;
}

void SidOf(AccessTrustee trustee, DWORD *sid, DWORD size)
{
  if (trustee == TrusteeCurrentUser) {
    HANDLE token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    DWORD user[128];
    DWORD length = 0;
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &length));
    CopySid(size, sid, reinterpret_cast<TOKEN_USER *>(user)->User.Sid);
    CloseHandle(token);
    return;
  }
  ASSERT_TRUE(
      CreateWellKnownSid(trustee == TrusteeSystem ? WinLocalSystemSid : WinBuiltinAdministratorsSid,
                         nullptr, sid, &size));
}

// Wine stores what was set but gives the user for Administrators.
bool SameTrustee(PSID found, AccessTrustee expected)
{
  DWORD sid[32];
  DWORD user[32];
  SidOf(expected, sid, sizeof sid);
  SidOf(TrusteeCurrentUser, user, sizeof user);
  return EqualSid(found, sid) || (expected == TrusteeAdministrators && EqualSid(found, user));
}

}  // namespace

TEST(PrivateDir, DescriptorReadBackEntryByEntryWhileItExists)
{
  std::string parent = TestParent();
  char path[MAX_PATH];
  HANDLE held = INVALID_HANDLE_VALUE;
  ASSERT_TRUE(MakePrivateDir(parent.c_str(), "zv", path, sizeof path, &held));
  // zv and 16 hex digits.
  EXPECT_EQ(std::strlen(path), parent.size() + 1 + 2 + 16);

  DWORD buffer[512];
  DWORD needed = 0;
  ASSERT_TRUE(GetKernelObjectSecurity(held, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                      buffer, sizeof buffer, &needed));
  PrivateDirAccess expected = DescribePrivateDirAccess(ProcessIsElevated());
  PSID owner = nullptr;
  BOOL defaulted = FALSE;
  ASSERT_TRUE(GetSecurityDescriptorOwner(buffer, &owner, &defaulted));
  EXPECT_TRUE(SameTrustee(owner, expected.owner));
  BOOL present = FALSE;
  ACL *acl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(buffer, &present, &acl, &defaulted));
  ASSERT_TRUE(present && acl != nullptr);
  ASSERT_EQ(acl->AceCount, expected.entryCount);  // nothing inherited from the parent
  for (int index = 0; index < expected.entryCount; ++index) {
    ACCESS_ALLOWED_ACE *ace = nullptr;
    ASSERT_TRUE(GetAce(acl, index, reinterpret_cast<void **>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE) << index;
    EXPECT_EQ(ace->Header.AceFlags, expected.entries[index].inheritFlags) << index;
    EXPECT_EQ(ace->Mask, expected.entries[index].mask) << index;
    EXPECT_TRUE(SameTrustee(&ace->SidStart, expected.entries[index].trustee)) << index;
  }

  // Held without delete sharing: no rename, no swap for a junction.
  std::string moved = std::string(path) + "-moved";
  EXPECT_FALSE(MoveFileA(path, moved.c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  EXPECT_NE(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);

  // A file left inside goes with the folder.
  std::string inside = std::string(path) + "\\left.dat";
  HANDLE file = CreateFileA(inside.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  EXPECT_TRUE(ClosePrivateDir(held, path));
  EXPECT_EQ(GetFileAttributesA(path), INVALID_FILE_ATTRIBUTES);
}

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
  ASSERT_TRUE(MakePrivateDirDrawing(parent.c_str(), "zt", path, sizeof path, &held, CountingBits));
  EXPECT_EQ(std::string(path), NameFor(parent, 0x54));
  EXPECT_TRUE(ClosePrivateDir(held, path));

  // Each planted thing is as it was.
  EXPECT_EQ(GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY,
            static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  for (const std::string *name : {&file, &target, &link, &folderContent}) {
    char content[16] = {};
    HANDLE planted = CreateFileA(name->c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(planted, INVALID_HANDLE_VALUE) << *name;
    DWORD read = 0;
    ReadFile(planted, content, sizeof content, &read, nullptr);
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

TEST(PrivateDir, RandomBitsDiffer)
{
  uint64_t first = 0;
  uint64_t second = 0;
  ASSERT_TRUE(RandomBits64(&first));
  ASSERT_TRUE(RandomBits64(&second));
  EXPECT_NE(first, second);
}
