// zv-pack: packs the application's files into the setup payload.
//
//   zv-pack --count N --output payload.gz [--archive payload.dat]
//           (--dir ROOT | --entry NAME=PATH)...
//
// --dir adds every file below ROOT under its relative path; --entry adds one
// file under the archive name NAME. Refuses, naming the file and the rule,
// anything the installer's reader must not meet, and writes nothing then.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tools/packer/pack.h"

namespace {

int Usage()
{
  std::fprintf(stderr, "usage: zv-pack --count N --output FILE.gz [--archive FILE] "
                       "(--dir ROOT | --entry NAME=PATH)...\n");
  return 2;
}

}  // namespace

int main(int argc, char **argv)
{
  int count = -1;
  std::string output;
  std::string archive;
  std::vector<PackInput> inputs;
  std::string error;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (i + 1 >= argc)
      return Usage();
    std::string value = argv[++i];
    if (arg == "--count") {
      char *end = nullptr;
      long parsed = std::strtol(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != '\0' || parsed < 1 || parsed > 100000)
        return Usage();
      count = static_cast<int>(parsed);
    } else if (arg == "--output") {
      output = value;
    } else if (arg == "--archive") {
      archive = value;
    } else if (arg == "--dir") {
      if (!CollectTree(value, &inputs, &error)) {
        std::fprintf(stderr, "zv-pack: %s\n", error.c_str());
        return 1;
      }
    } else if (arg == "--entry") {
      size_t equals = value.find('=');
      if (equals == std::string::npos)
        return Usage();
      inputs.push_back(PackInput{value.substr(0, equals), value.substr(equals + 1), 0});
    } else {
      return Usage();
    }
  }
  if (count < 0 || output.empty())
    return Usage();
  if (!CheckPackInputs(&inputs, count, &error)) {
    std::fprintf(stderr, "zv-pack: refused: %s\n", error.c_str());
    return 1;
  }
  if (!WritePayload(inputs, output, archive, &error)) {
    std::fprintf(stderr, "zv-pack: %s\n", error.c_str());
    return 1;
  }
  return 0;
}
