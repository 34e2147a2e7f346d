// The checkerboard darkening of the background snapshot at full-HD and 4K
// sizes, against memset of the same buffer as the floor: the pass reads and
// writes every row once, so it cannot beat a plain fill of the same bytes.
//   bench_darken [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "shell/darken.h"

namespace {

// The buffer the program commits: image size plus 3 bytes, filled with a
// picture so that the pass works on real data rather than fresh zero pages.
std::vector<uint8_t> SnapshotBuffer(int width, int height)
{
  std::vector<uint8_t> buffer(DibImageSize(width, height, 24) + 3);
  for (size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<uint8_t>(i * 13 + 7);
  return buffer;
}

void BM_Darken(benchmark::State &state)
{
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  std::vector<uint8_t> buffer = SnapshotBuffer(width, height);
  for (auto _ : state) {
    benchmark::DoNotOptimize(DarkenCheckerboard(buffer.data(), buffer.size(), width, height));
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(buffer.size()));
}

void BM_MemsetFloor(benchmark::State &state)
{
  const int width = static_cast<int>(state.range(0));
  const int height = static_cast<int>(state.range(1));
  std::vector<uint8_t> buffer = SnapshotBuffer(width, height);
  for (auto _ : state) {
    std::memset(buffer.data(), 0, buffer.size());
    benchmark::DoNotOptimize(buffer.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(buffer.size()));
}

}  // namespace

BENCHMARK(BM_Darken)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_MemsetFloor)->Args({1920, 1080})->Args({3840, 2160})->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
