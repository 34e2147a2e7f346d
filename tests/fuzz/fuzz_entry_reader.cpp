// libFuzzer target: the archive entry reader and the name and path rules on
// arbitrary archive bytes.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/archive_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  WalkArchive(data, size);
  return 0;
}
