// A private scratch directory per test, removed with its contents.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

struct ScratchDir {
  std::string path;
};

inline ScratchDir MakeScratchDir()
{
  std::string pattern = (std::filesystem::temp_directory_path() / "zvpayXXXXXX").string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const char *made = mkdtemp(name.data());
  return ScratchDir{made != nullptr ? std::string(made) : std::string()};
}

inline void RemoveScratchDir(const ScratchDir &dir)
{
  std::error_code ignored;
  std::filesystem::remove_all(dir.path, ignored);
}

inline void WriteFileBytes(const std::string &path, const std::string &bytes)
{
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFileBytes(const std::string &path)
{
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
