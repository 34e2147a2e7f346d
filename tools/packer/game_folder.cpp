#include "tools/packer/game_folder.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/part_file_name.h"
#include "payload/entry_name.h"
#include "tools/packer/pack.h"

namespace fs = std::filesystem;

namespace {

// The entries zv-pack accepts at most, the project's uninstall.exe among them.
constexpr size_t MaxFiles = 100000 - 1;

// The name as Windows compares names: without regard to case, for every
// letter of Unicode (NTFS upcases both names), not only A to Z. Bytes that
// are no UTF-8 (refused anyway) and, without a UTF-8 locale, letters beyond
// ASCII are compared as they are.
std::string Folded(const std::string &text)
{
  static locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length == 0 || i + length > text.size() || utf8 == static_cast<locale_t>(nullptr)) {
      out += c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : static_cast<char>(c);
      ++i;
      continue;
    }
    uint32_t code = length == 1 ? c : c & (0x7Fu >> length);
    for (size_t k = 1; k < length; ++k)
      code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    code = static_cast<uint32_t>(towupper_l(static_cast<wint_t>(code), utf8));
    if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code < 0x800) {
      out += static_cast<char>(0xC0 | (code >> 6));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
      out += static_cast<char>(0xE0 | (code >> 12));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (code >> 18));
      out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (code & 0x3F));
    }
    i += length;
  }
  return out;
}

// Windows takes the names through the UTF-8 code page of the programs'
// manifests: bytes that are no UTF-8 would come out as other characters.
bool IsUtf8(const std::string &text)
{
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t more = 0;
    if (c >= 0xC2 && c <= 0xDF)
      more = 1;
    else if (c >= 0xE0 && c <= 0xEF)
      more = 2;
    else if (c >= 0xF0 && c <= 0xF4)
      more = 3;
    else if (c >= 0x80)
      return false;
    if (i + more >= text.size())
      return false;
    for (size_t k = 1; k <= more; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
        return false;
    i += more + 1;
  }
  return true;
}

// Any component named like setup's part files, of the form it writes today
// or any other ending in the same suffix: setup and the uninstaller sweep
// such files as left over from a killed setup.
bool LooksLikePartFile(const std::string &name)
{
  std::string lower = name;
  for (char &c : lower)
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  return lower.find(PartFileSuffix) != std::string::npos;
}

void CheckFile(const fs::path &path, const std::string &shown, const std::string &name,
               uint64_t size, std::vector<std::string> *problems)
{
  if (name.find('\\') != std::string::npos) {
    problems->push_back(shown +
                        ": the name holds \"\\\", which Windows takes as a folder separator");
    return;
  }
  std::string archiveName = name;
  std::replace(archiveName.begin(), archiveName.end(), '/', '\\');
  if (!IsUtf8(name)) {
    problems->push_back(shown + ": the name is not UTF-8, so Windows would write other characters");
  } else {
    EntryNameVerdict verdict = CheckPackName(archiveName.data(), archiveName.size());
    if (verdict == NamePathTooLong)
      problems->push_back(shown + ": the name is too long for the default install folder \"" +
                          DefaultInstallDir + "\" (259 characters in all)");
    else if (verdict != NameAccepted)
      problems->push_back(shown + ": " + DescribeNameVerdict(verdict));
  }
  if (LooksLikePartFile(name))
    problems->push_back(shown + ": named like setup's part files (\"" + PartFileSuffix +
                        "\"), which setup and the uninstaller delete as left over");
  if (size == 0)
    problems->push_back(shown + ": an empty file; every file of the payload needs at least 1 byte "
                                "(the archive's rule): leave it out or give it content");
  else if (size > UINT32_MAX)
    problems->push_back(shown + ": larger than 4 GiB - 1 bytes, the most one file may hold");
  FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr)
    problems->push_back(shown + ": cannot be read");
  else
    std::fclose(file);
}

}  // namespace

std::vector<std::string> CheckGameFolder(const std::string &root, uint64_t maxBytes,
                                         GameFolderFacts *facts)
{
  std::vector<std::string> problems;
  std::error_code failure;
  if (!fs::is_directory(fs::status(root, failure))) {
    problems.push_back(root + ": not a folder");
    return problems;
  }
  std::vector<std::string> names;
  uint64_t bytes = 0;
  fs::recursive_directory_iterator walk(root, failure);
  fs::recursive_directory_iterator end;
  for (; !failure && walk != end; walk.increment(failure)) {
    const fs::path &path = walk->path();
    // Lexically: fs::relative resolves a symbolic link to what it points at.
    std::string name = path.lexically_relative(root).generic_string();
    std::string shown = root + "/" + name;
    fs::file_status status = walk->symlink_status(failure);
    if (failure)
      break;
    if (fs::is_symlink(status)) {
      problems.push_back(shown + ": a symbolic link; only plain files and folders are shipped");
    } else if (fs::is_directory(status)) {
      if (fs::is_empty(path, failure))
        problems.push_back(shown + ": an empty folder, which the payload cannot hold (it holds "
                                   "files only): put a file in it or leave it out");
    } else if (!fs::is_regular_file(status)) {
      problems.push_back(shown + ": not a plain file or folder (a device, pipe or socket)");
    } else {
      uint64_t size = fs::file_size(path, failure);
      if (failure)
        break;
      CheckFile(path, shown, name, size, &problems);
      names.push_back(name);
      bytes += size;
    }
  }
  if (failure) {
    problems.push_back(root + ": cannot be read whole: " + failure.message());
    return problems;
  }

  // Each name as Windows compares it (see Folded).
  std::vector<std::string> lower;
  for (const std::string &name : names)
    lower.push_back(Folded(name));
  auto has = [&names](const char *name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  if (!has("Zorvane.exe"))
    problems.push_back(root + "/Zorvane.exe: missing; the game's program must be at the top level "
                              "under this name (the links and the App Paths entry start it)");
  if (!has("Readme.rtf"))
    problems.push_back(root + "/Readme.rtf: missing; the Start-menu link \"Readme\" opens it");
  for (size_t i = 0; i < names.size(); ++i)
    if (lower[i] == "UNINSTALL.EXE")
      problems.push_back(
          root + "/" + names[i] +
          ": the setup adds the project's own uninstall.exe here; take this one out");

  // Two names Windows takes for one file, or a file where another name
  // needs a folder: the later would overwrite or fail to install.
  std::vector<size_t> order(names.size());
  for (size_t i = 0; i < order.size(); ++i)
    order[i] = i;
  std::sort(order.begin(), order.end(), [&lower, &names](size_t a, size_t b) {
    return lower[a] != lower[b] ? lower[a] < lower[b] : names[a] < names[b];
  });
  std::vector<std::string> sorted;
  for (size_t i : order)
    sorted.push_back(lower[i]);
  for (size_t k = 0; k < order.size(); ++k) {
    if (k > 0 && sorted[k] == sorted[k - 1])
      problems.push_back(root + "/" + names[order[k]] + ": the same name as " +
                         names[order[k - 1]] + " on Windows, which ignores case");
    std::string folder = sorted[k] + "/";
    auto inside = std::lower_bound(sorted.begin(), sorted.end(), folder);
    if (inside != sorted.end() && inside->compare(0, folder.size(), folder) == 0)
      problems.push_back(root + "/" + names[order[k]] + ": a file, where " +
                         names[order[inside - sorted.begin()]] +
                         " needs a folder of that name on Windows, which ignores case");
  }
  if (names.size() > MaxFiles)
    problems.push_back(root + ": " + std::to_string(names.size()) + " files, more than the " +
                       std::to_string(MaxFiles) + " a payload may hold");
  if (bytes > maxBytes)
    problems.push_back(root + ": its files hold " + std::to_string(bytes) +
                       " bytes, more than the " + std::to_string(maxBytes) +
                       " a setup can carry (README: Ship your game)");
  if (problems.empty()) {
    facts->files = static_cast<int>(names.size());
    facts->bytes = bytes;
  }
  return problems;
}
