// The floors of the copy pipeline, each the least its step can cost:
//   payload_bench_floor.exe FOLDER
// FOLDER holds filesdata.gz (run.sh copies the payload there untimed).
//   gzip_floor  the gzip step as a bare loop: gzopen "rb", gzread in
//               16,384-byte blocks, fwrite of what each read gave into
//               FOLDER\filesdata.dat (a stream "wb" over a new file),
//               fclose, gzclose; nothing else in the process;
//   copy_floor  a plain copy of the bytes of FOLDER\filesdata.dat into one
//               file per entry below FOLDER\files (folders made as needed),
//               through one 1 MiB block (the fastest plain copy measured
//               under Wine: smaller blocks cost more calls, larger ones fall
//               out of the cache);
//   inflate     zlib alone: the same gzread loop to nowhere (what the gzip
//               step costs before anything is written).
// Every file is made new (CREATE_NEW), as setup makes its own: one made
// with CREATE_ALWAYS, which fopen "wb" asks for, was written out to disk
// at its close under Wine on ext4 (the close ran the file system's
// write-out in this process), which made the copy floor 155 to 162 ms
// against 86 to 90 ms at 300 MB, above the setup it is the floor of.
// Each is printed as wall milliseconds (NAME_ms) and as this thread's
// processor time (NAME_cpu, 10 ms steps under Wine). filesdata.gz is
// deleted before the copy; the files made are left for run.sh to remove.
#include <windows.h>
#include <zlib.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/payload/thread_time.h"
#include "payload/archive_entry.h"

namespace {

constexpr int GzipBlock = 16384;
constexpr DWORD CopyBlock = 1 << 20;
unsigned char Block[CopyBlock];

struct Clock {
  LARGE_INTEGER wall;
  double cpu;
};

Clock Start()
{
  Clock clock;
  clock.cpu = ThreadMs();
  QueryPerformanceCounter(&clock.wall);
  return clock;
}

void Print(const char *name, const Clock &from)
{
  LARGE_INTEGER frequency, now;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  std::printf("%s_ms=%.1f %s_cpu=%.0f ", name,
              1000.0 * static_cast<double>(now.QuadPart - from.wall.QuadPart) /
                  static_cast<double>(frequency.QuadPart),
              name, ThreadMs() - from.cpu);
}

// A new file for writing (never one that stands: see above).
HANDLE CreateNew(const char *path)
{
  return CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A stdio stream "wb" over a new file; null when it cannot be made.
FILE *OpenNewStream(const char *path)
{
  HANDLE file = CreateNew(path);
  if (file == INVALID_HANDLE_VALUE)
    return nullptr;
  int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_WRONLY | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(file);
    return nullptr;
  }
  FILE *stream = _fdopen(descriptor, "wb");
  if (stream == nullptr)
    _close(descriptor);
  return stream;
}

// The gzip loop; output null reads to nowhere.
bool GzipLoop(const std::string &gz, const char *output)
{
  gzFile input = gzopen(gz.c_str(), "rb");
  FILE *out = output != nullptr ? OpenNewStream(output) : nullptr;
  if (input == nullptr || (output != nullptr && out == nullptr))
    return false;
  bool ok = true;
  int count = 0;
  while ((count = gzread(input, Block, GzipBlock)) > 0)
    if (out != nullptr &&
        std::fwrite(Block, 1, static_cast<size_t>(count), out) != static_cast<size_t>(count))
      ok = false;
  if (out != nullptr && std::fclose(out) != 0)
    ok = false;
  return gzclose(input) == Z_OK && count == 0 && ok;
}

size_t ReadHandle(void *context, void *buffer, size_t size)
{
  DWORD got = 0;
  if (!ReadFile(static_cast<HANDLE>(context), buffer, static_cast<DWORD>(size), &got, nullptr))
    return 0;
  return got;
}

// Makes each folder of the path below the files folder (the leaf is the file).
void MakeParents(std::string path, size_t rootLength)
{
  for (size_t at = path.find('\\', rootLength + 1); at != std::string::npos;
       at = path.find('\\', at + 1)) {
    path[at] = '\0';
    CreateDirectoryA(path.c_str(), nullptr);
    path[at] = '\\';
  }
}

// The entries of the archive into files, data through one block.
bool PlainCopy(const std::string &archivePath, const std::string &files, int *entries)
{
  HANDLE archive = CreateFileA(archivePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (archive == INVALID_HANDLE_VALUE)
    return false;
  CreateDirectoryA(files.c_str(), nullptr);
  ByteSource source = {archive, ReadHandle};
  EntryHeader header;
  bool ok = true;
  *entries = 0;
  while (ok && ReadEntryHeader(&source, &header) == EntryHeaderRead) {
    std::string path = files + "\\" + header.name;
    MakeParents(path, files.size());
    HANDLE out = CreateNew(path.c_str());
    ok = out != INVALID_HANDLE_VALUE;
    for (uint32_t left = header.dataSize; ok && left > 0;) {
      DWORD block = left < CopyBlock ? left : CopyBlock;
      DWORD got = 0, written = 0;
      ok = ReadFile(archive, Block, block, &got, nullptr) && got == block &&
           WriteFile(out, Block, block, &written, nullptr) && written == block;
      left -= block;
    }
    if (out != INVALID_HANDLE_VALUE && !CloseHandle(out))
      ok = false;
    ++*entries;
  }
  CloseHandle(archive);
  return ok;
}

}  // namespace

int main(int argc, char **argv)
{
  if (argc != 2) {
    std::printf("usage: payload_bench_floor FOLDER (with FOLDER\\filesdata.gz)\n");
    return 2;
  }
  std::string folder = argv[1];
  std::string gz = folder + "\\filesdata.gz";
  std::string dat = folder + "\\filesdata.dat";

  Clock clock = Start();
  bool inflated = GzipLoop(gz, nullptr);
  Print("inflate", clock);

  clock = Start();
  bool unpacked = GzipLoop(gz, dat.c_str());
  Print("gzip_floor", clock);

  // The setup's gzip step leaves no compressed file behind (it goes with its
  // handle): neither does this, before the copy, so that both copies meet
  // the same amount of unwritten data in the system's cache.
  DeleteFileA(gz.c_str());
  int entries = 0;
  clock = Start();
  bool copied = unpacked && PlainCopy(dat, folder + "\\files", &entries);
  Print("copy_floor", clock);

  bool ok = inflated && unpacked && copied;
  std::printf("entries=%d ok=%d\n", entries, ok ? 1 : 0);
  return ok ? 0 : 1;
}
