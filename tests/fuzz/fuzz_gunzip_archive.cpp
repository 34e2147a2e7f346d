// libFuzzer target: the gzip step (zlib's gzip reader and stdio, as setup
// runs it) on arbitrary bytes, then the archive walk on what it produced
// when it reports success.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "payload/gunzip_rules.h"
#include "tests/fuzz/archive_walk.h"
#include "tests/payload/file_by_path.h"

namespace {

int MessageCount;

void Count(void *, const char *text)
{
  Require(text != nullptr && text[0] != '\0');
  ++MessageCount;
}

std::string ScratchPath(const char *name)
{
  return "/tmp/zvfuzz-" + std::to_string(getpid()) + "-" + name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  static const std::string input = ScratchPath("filesdata.gz");
  static const std::string output = ScratchPath("filesdata.dat");
  FILE *file = std::fopen(input.c_str(), "wb");
  if (file == nullptr)
    return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);

  MessageCount = 0;
  GzipReporter reporter = {Count, Count, nullptr};
  bool ok = GunzipFileReporting(output.c_str(), input.c_str(), &reporter);
  // Success and silence go together; every failure is told.
  Require(ok == (MessageCount == 0));
  if (ok) {
    std::vector<uint8_t> archive;
    FILE *result = std::fopen(output.c_str(), "rb");
    Require(result != nullptr);
    uint8_t block[16384];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof(block), result)) > 0)
      archive.insert(archive.end(), block, block + got);
    std::fclose(result);
    WalkArchive(archive.data(), archive.size());
  }
  std::remove(output.c_str());
  return 0;
}
