// The floor of the copy pipeline: zlib's gzip reader over the same file in
// the same 16,384-byte blocks, to nowhere.
//   payload_bench_floor.exe FILE.gz
#include <windows.h>
#include <psapi.h>
#include <zlib.h>

#include <cstdio>

int main(int argc, char **argv)
{
  if (argc != 2) {
    std::printf("usage: payload_bench_floor FILE.gz\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  gzFile input = gzopen(argv[1], "rb");
  if (input == nullptr) {
    std::printf("cannot open %s\n", argv[1]);
    return 1;
  }
  static unsigned char block[16384];
  long long total = 0;
  int count = 0;
  while ((count = gzread(input, block, sizeof(block))) > 0)
    total += count;
  int closed = gzclose(input);
  QueryPerformanceCounter(&end);
  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof(memory);
  GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof(memory));
  std::printf("floor_ms=%.1f bytes=%lld peak_private_kb=%lu ok=%d\n",
              1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart),
              total, static_cast<unsigned long>(memory.PeakPagefileUsage / 1024),
              count == 0 && closed == Z_OK);
  return count == 0 && closed == Z_OK ? 0 : 1;
}
