// zv-names: the list of the payload's file names that the uninstaller is
// built with, taken from the staged application tree that zv-pack packs.
//
//   zv-names --count N --header OUT.h --dir ROOT [--program NAME]...
//   zv-names --count N --check LIST.h --archive ARCHIVE [--size-header OUT.h]
//
// The first form runs before the programs are built, so they cannot be in
// the tree yet: each --program names one that the pack step will add. The
// names are sorted and held to the packer's rules, as zv-pack does. The
// second form runs after packing and fails, naming the difference, unless
// the archive holds exactly the listed names in the listed order; with
// --size-header it then writes the installed size of the entries, in KiB
// rounded up, as the header setup registers it from.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "payload/archive_entry.h"
#include "tools/packer/pack.h"

namespace {

int Usage()
{
  std::fprintf(stderr, "usage: zv-names --count N --header OUT.h --dir ROOT [--program NAME]...\n"
                       "       zv-names --count N --check LIST.h --archive ARCHIVE "
                       "[--size-header OUT.h]\n");
  return 2;
}

// A name as a C++ string literal: the packer's rules keep quotes and control
// characters out, so only the separators need escaping.
std::string Literal(const std::string &name)
{
  std::string out = "\"";
  for (char c : name) {
    if (c == '\\')
      out += '\\';
    out += c;
  }
  return out + "\"";
}

bool WriteHeader(const std::string &path, const std::vector<PackInput> &inputs)
{
  FILE *file = std::fopen(path.c_str(), "w");
  if (file == nullptr)
    return false;
  std::fprintf(file, "// The payload's file names in packing order, written by zv-names from\n"
                     "// the staged application tree. Made by the build; not edited by hand.\n"
                     "#pragma once\n\n");
  std::fprintf(file, "inline constexpr int PayloadNameCount = %zu;\n", inputs.size());
  std::fprintf(file, "inline constexpr const char *const PayloadNames[PayloadNameCount] = {\n");
  for (const PackInput &input : inputs)
    std::fprintf(file, "    %s,\n", Literal(input.name).c_str());
  std::fprintf(file, "};\n");
  return std::fclose(file) == 0;
}

// Reads back the names of a header that WriteHeader wrote: one literal a
// line, four spaces before it and a comma after it.
bool ReadHeader(const std::string &path, std::vector<std::string> *names)
{
  FILE *file = std::fopen(path.c_str(), "r");
  if (file == nullptr)
    return false;
  char line[1024];
  while (std::fgets(line, sizeof(line), file) != nullptr) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
      text.pop_back();
    if (text.size() < 7 || text.compare(0, 5, "    \"") != 0 ||
        text.compare(text.size() - 2, 2, "\",") != 0)
      continue;
    std::string name;
    for (size_t i = 5; i + 2 < text.size(); ++i) {
      if (text[i] == '\\')
        ++i;
      name += text[i];
    }
    names->push_back(name);
  }
  std::fclose(file);
  return true;
}

// The names of the archive's entries, and the sum of their data sizes.
bool ReadArchiveNames(const std::string &path, int count, std::vector<std::string> *names,
                      uint64_t *dataBytes, std::string *error)
{
  FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = path + ": cannot be opened";
    return false;
  }
  ByteSource source = MakeFileSource(file);
  bool read = true;
  for (int i = 0; i < count && read; ++i) {
    EntryHeader header;
    if (ReadEntryHeader(&source, &header) != EntryHeaderRead ||
        std::fseek(file, static_cast<long>(header.dataSize), SEEK_CUR) != 0) {
      *error = path + ": entry " + std::to_string(i + 1) + " cannot be read";
      read = false;
    } else {
      names->push_back(header.name);
      *dataBytes += header.dataSize;
    }
  }
  if (read && std::fgetc(file) != EOF) {
    *error = path + ": holds more than " + std::to_string(count) + " entries";
    read = false;
  }
  std::fclose(file);
  return read;
}

int MakeList(const std::string &output, const std::vector<std::string> &roots,
             const std::vector<std::string> &programs, int count)
{
  std::vector<PackInput> inputs;
  std::string error;
  for (const std::string &root : roots) {
    if (!CollectTree(root, &inputs, &error)) {
      std::fprintf(stderr, "zv-names: %s\n", error.c_str());
      return 1;
    }
  }
  for (const std::string &program : programs)
    inputs.push_back(PackInput{program, "(built program) " + program, 0});
  if (!CheckPackNames(&inputs, count, &error)) {
    std::fprintf(stderr, "zv-names: refused: %s\n", error.c_str());
    return 1;
  }
  if (!WriteHeader(output, inputs)) {
    std::fprintf(stderr, "zv-names: %s: cannot be written\n", output.c_str());
    return 1;
  }
  return 0;
}

bool WriteSizeHeader(const std::string &path, uint64_t dataBytes)
{
  FILE *file = std::fopen(path.c_str(), "w");
  if (file == nullptr)
    return false;
  std::fprintf(file, "// The installed size of the payload's files in KiB, rounded up, written by\n"
                     "// zv-names from the packed archive. Made by the build; not edited by hand.\n"
                     "#pragma once\n\n#include <cstdint>\n\n");
  std::fprintf(file, "inline constexpr uint32_t PayloadInstalledKB = %lluu;\n",
               static_cast<unsigned long long>((dataBytes + 1023) / 1024));
  return std::fclose(file) == 0;
}

int CheckList(const std::string &list, const std::string &archive, int count,
              const std::string &sizeHeader)
{
  std::vector<std::string> listed;
  std::vector<std::string> packed;
  uint64_t dataBytes = 0;
  std::string error;
  if (!ReadHeader(list, &listed)) {
    std::fprintf(stderr, "zv-names: %s: cannot be read\n", list.c_str());
    return 1;
  }
  if (!ReadArchiveNames(archive, count, &packed, &dataBytes, &error)) {
    std::fprintf(stderr, "zv-names: %s\n", error.c_str());
    return 1;
  }
  if (listed == packed) {
    if (!sizeHeader.empty() && !WriteSizeHeader(sizeHeader, dataBytes)) {
      std::fprintf(stderr, "zv-names: %s: cannot be written\n", sizeHeader.c_str());
      return 1;
    }
    return 0;
  }
  std::fprintf(stderr, "zv-names: the uninstaller's list %s and the payload %s differ:\n",
               list.c_str(), archive.c_str());
  size_t rows = listed.size() > packed.size() ? listed.size() : packed.size();
  for (size_t i = 0; i < rows; ++i) {
    const char *a = i < listed.size() ? listed[i].c_str() : "(none)";
    const char *b = i < packed.size() ? packed[i].c_str() : "(none)";
    std::fprintf(stderr, "  %c %-24s %s\n", std::strcmp(a, b) == 0 ? ' ' : '*', a, b);
  }
  return 1;
}

}  // namespace

int main(int argc, char **argv)
{
  int count = -1;
  std::string header;
  std::string check;
  std::string archive;
  std::string sizeHeader;
  std::vector<std::string> roots;
  std::vector<std::string> programs;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string arg = argv[i];
    std::string value = argv[i + 1];
    if (arg == "--count")
      count = std::atoi(value.c_str());
    else if (arg == "--header")
      header = value;
    else if (arg == "--check")
      check = value;
    else if (arg == "--archive")
      archive = value;
    else if (arg == "--size-header")
      sizeHeader = value;
    else if (arg == "--dir")
      roots.push_back(value);
    else if (arg == "--program")
      programs.push_back(value);
    else
      return Usage();
  }
  if (argc % 2 == 0 || count < 1 || header.empty() == check.empty() ||
      (!header.empty() && !sizeHeader.empty()))
    return Usage();
  if (!header.empty())
    return MakeList(header, roots, programs, count);
  return archive.empty() ? Usage() : CheckList(check, archive, count, sizeHeader);
}
