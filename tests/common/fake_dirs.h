// A file system of directory names for the folder-making rules: creation
// needs the parent to exist, removal needs the folder to be empty.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "common/parent_dirs.h"

struct FakeFs {
  std::set<std::string> dirs{"C:\\", "C:\\Program files"};
  std::set<std::string> denied;  // creation of these fails (access denied)
  std::vector<std::string> created;
  std::vector<std::string> removed;
  int creates = 0;
};

inline std::string Parent(const std::string &path)
{
  size_t at = path.find_last_of('\\');
  if (at == std::string::npos)
    return "";
  return at <= 2 ? path.substr(0, at + 1) : path.substr(0, at);
}

inline bool FakeCreate(const char *path, void *context)
{
  FakeFs *fs = static_cast<FakeFs *>(context);
  ++fs->creates;
  std::string p = path;
  if (fs->dirs.count(p) || fs->denied.count(p))
    return false;
  std::string parent = Parent(p);
  if (!parent.empty() && !fs->dirs.count(parent))
    return false;
  fs->dirs.insert(p);
  fs->created.push_back(p);
  return true;
}

inline bool FakeIsDirectory(const char *path, void *context)
{
  return static_cast<FakeFs *>(context)->dirs.count(path) != 0;
}

inline bool FakeRemove(const char *path, void *context)
{
  FakeFs *fs = static_cast<FakeFs *>(context);
  std::string p = path;
  for (const std::string &d : fs->dirs)
    if (d.size() > p.size() && d.compare(0, p.size(), p) == 0 && d[p.size()] == '\\')
      return false;  // not empty
  fs->removed.push_back(p);
  return fs->dirs.erase(p) != 0;
}

inline DirOps FakeOps(FakeFs *fs)
{
  return DirOps{FakeCreate, FakeIsDirectory, FakeRemove, fs};
}
