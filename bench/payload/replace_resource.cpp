// Makes a copy of setup.exe that carries another payload: resource 15734
// (RCDATA, language neutral) replaced with the given gzip file.
//   payload_bench_resource.exe SETUP.EXE OUT.EXE PAYLOAD.GZ
#include <windows.h>

#include <cstdio>
#include <vector>

#include "resources/resource.h"

int main(int argc, char **argv)
{
  if (argc != 4) {
    std::printf("usage: payload_bench_resource SETUP.EXE OUT.EXE PAYLOAD.GZ\n");
    return 2;
  }
  FILE *file = std::fopen(argv[3], "rb");
  if (file == nullptr) {
    std::printf("cannot read %s\n", argv[3]);
    return 1;
  }
  std::vector<char> payload;
  char block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
    payload.insert(payload.end(), block, block + got);
  }
  std::fclose(file);
  if (!CopyFileA(argv[1], argv[2], FALSE)) {
    std::printf("cannot copy %s\n", argv[1]);
    return 1;
  }
  HANDLE update = BeginUpdateResourceA(argv[2], FALSE);
  bool ok = update != nullptr &&
            UpdateResourceA(update, MAKEINTRESOURCEA(10), MAKEINTRESOURCEA(IDR_PAYLOAD),
                            MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), payload.data(),
                            static_cast<DWORD>(payload.size()));
  ok = update != nullptr && EndUpdateResourceA(update, !ok) && ok;
  std::printf("%s: payload of %lu bytes %s\n", argv[2], static_cast<unsigned long>(payload.size()),
              ok ? "in place" : "NOT replaced");
  return ok ? 0 : 1;
}
