// Shortcut files written through the shell's link object, read back
// through a fresh link object.
#include "integration/shell_link.h"

#include <gtest/gtest.h>
#include <objidl.h>
#include <shlobj.h>

#include <string>

namespace {

// Removes dir and everything below it.
void RemoveTree(const std::string &dir)
{
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..")
        continue;
      std::string path = dir + "\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(dir.c_str());
}

// A fresh, empty directory under the temporary directory for one test;
// whatever an earlier run left there is removed first.
std::string MakeScratchDir(const char *name)
{
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string dir = std::string(temp) + "zv-link-" + name;
  RemoveTree(dir);
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

struct LinkContents {
  HRESULT loaded;
  std::string path;
  std::string description;
};

LinkContents ReadLink(const std::string &linkPath)
{
  LinkContents contents{E_FAIL, "", ""};
  CoInitialize(nullptr);
  IShellLinkA *link = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void **>(&link)))) {
    IPersistFile *file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file)))) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, linkPath.c_str(), -1, wide, MAX_PATH);
      contents.loaded = file->Load(wide, STGM_READ);
      char text[MAX_PATH] = "";
      link->GetPath(text, MAX_PATH, nullptr, 0);
      contents.path = text;
      text[0] = '\0';
      link->GetDescription(text, MAX_PATH);
      contents.description = text;
      file->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return contents;
}

int CountDirectoryEntries(const std::string &dir)
{
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE)
    return 0;
  int count = 0;
  do {
    if (found.cFileName[0] != '.')
      ++count;
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

// COM is left uninitialised: a new initialisation is the first again.
bool ComIsUninitialised()
{
  HRESULT first = CoInitialize(nullptr);
  CoUninitialize();
  return first == S_OK;
}

TEST(ShellLink, WritesTargetAndDescription)
{
  std::string dir = MakeScratchDir("write");
  std::string target = dir + "\\Zorvane.exe";
  HANDLE file = CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);
  std::string link = dir + "\\TheZorvane.lnk";

  EXPECT_EQ(CreateShellLink(target.c_str(), link.c_str(), "The Zorvane"), S_OK);
  EXPECT_TRUE(ComIsUninitialised());
  LinkContents read = ReadLink(link);
  ASSERT_EQ(read.loaded, S_OK);
  EXPECT_STRCASEEQ(read.path.c_str(), target.c_str());
  EXPECT_EQ(read.description, "The Zorvane");
}

TEST(ShellLink, SavesEvenWhenTheTargetDoesNotExist)
{
  std::string dir = MakeScratchDir("missing-target");
  std::string link = dir + "\\Readme.lnk";
  EXPECT_TRUE(SUCCEEDED(CreateShellLink("C:\\no such dir\\Readme.rtf", link.c_str(), "Readme")));
  LinkContents read = ReadLink(link);
  ASSERT_EQ(read.loaded, S_OK);
  EXPECT_EQ(read.description, "Readme");
}

TEST(ShellLink, WritingTheSameLinkTwiceReplacesIt)
{
  std::string dir = MakeScratchDir("overwrite");
  std::string link = dir + "\\Uninstall.lnk";
  ASSERT_TRUE(SUCCEEDED(CreateShellLink("C:\\first\\one.exe", link.c_str(), "First")));
  ASSERT_TRUE(SUCCEEDED(CreateShellLink("C:\\second\\uninstall.exe", link.c_str(), "Uninstall")));
  EXPECT_EQ(CountDirectoryEntries(dir), 1);
  LinkContents read = ReadLink(link);
  ASSERT_EQ(read.loaded, S_OK);
  EXPECT_STRCASEEQ(read.path.c_str(), "C:\\second\\uninstall.exe");
  EXPECT_EQ(read.description, "Uninstall");
}

TEST(ShellLink, AFolderThatDoesNotExistFailsTheSave)
{
  std::string dir = MakeScratchDir("no-folder");
  std::string link = dir + "\\absent\\TheZorvane.lnk";
  HRESULT result = CreateShellLink("C:\\x.exe", link.c_str(), "The Zorvane");
  EXPECT_TRUE(FAILED(result)) << std::hex << result;
  EXPECT_EQ(GetFileAttributesA((dir + "\\absent").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(ComIsUninitialised());
}

// A directory whose full path has exactly length characters.
std::string MakeDirOfLength(const std::string &base, size_t length)
{
  std::string dir = base;
  while (dir.size() < length) {
    size_t part = length - dir.size() - 1;
    if (part > 60)
      part = 60;
    dir += "\\" + std::string(part, 'd');
    CreateDirectoryA(dir.c_str(), nullptr);
  }
  return dir;
}

TEST(ShellLink, ALinkPathOf259CharactersFitsAndOf260FailsWithoutWriting)
{
  std::string base = MakeScratchDir("long");
  std::string dir = MakeDirOfLength(base, 240);
  ASSERT_EQ(dir.size(), 240u);
  ASSERT_NE(GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES);

  std::string fits = dir + "\\" + std::string(259 - 240 - 1 - 4, 'n') + ".lnk";
  ASSERT_EQ(fits.size(), 259u);
  EXPECT_EQ(CreateShellLink("C:\\x.exe", fits.c_str(), "The Zorvane"), S_OK);
  EXPECT_NE(GetFileAttributesA(fits.c_str()), INVALID_FILE_ATTRIBUTES);
  DeleteFileA(fits.c_str());

  // One more character: nothing is saved, not even under a cut name.
  std::string tooLong = dir + "\\" + std::string(259 - 240 - 1 - 4 + 1, 'n') + ".lnk";
  ASSERT_EQ(tooLong.size(), 260u);
  HRESULT result = CreateShellLink("C:\\x.exe", tooLong.c_str(), "The Zorvane");
  EXPECT_TRUE(FAILED(result)) << std::hex << result;
  EXPECT_EQ(CountDirectoryEntries(dir), 0);
  EXPECT_TRUE(ComIsUninitialised());
}

}  // namespace
