#include "tests/payload/file_by_path.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Opens a file for binary writing that this call creates: it fails when
// anything at all stands at path, a file or a link (dangling or not).
FILE *CreateNewFile(const char *path)
{
  // O_EXCL: the C runtime's CREATE_NEW, which fails on any name that exists
  // and follows no link.
#ifdef _WIN32
  int descriptor = _open(path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
  int descriptor = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
#endif
  if (descriptor < 0)
    return nullptr;
#ifdef _WIN32
  FILE *file = _fdopen(descriptor, "wb");
  if (file == nullptr)
    _close(descriptor);
#else
  FILE *file = fdopen(descriptor, "wb");
  if (file == nullptr)
    close(descriptor);
#endif
  return file;
}

}  // namespace

WholeFileResult WriteNewFile(const char *path, const void *data, uint32_t size)
{
  FILE *file = CreateNewFile(path);
  if (file == nullptr)
    return WholeFileNotCreated;
  bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
  bool closed = std::fclose(file) == 0;
  return written && closed ? WholeFileWritten : WholeFileShort;
}

namespace {

bool WriteToStdioFile(void *context, const void *data, size_t size)
{
  return std::fwrite(data, 1, size, static_cast<FILE *>(context)) == size;
}

}  // namespace

WholeFileResult CopyWholeFile(const char *path, const ByteSource *source, uint32_t size,
                              void *buffer, size_t bufferSize)
{
  FILE *file = std::fopen(path, "wb");
  if (file == nullptr)
    return WholeFileNotCreated;
  // The blocks are already large: stdio's own buffer would only add a copy.
  std::setvbuf(file, nullptr, _IONBF, 0);
  ByteSink sink = {file, WriteToStdioFile};
  WholeFileResult result = CopyThrough(&sink, source, size, buffer, bufferSize);
  if (std::fclose(file) != 0 && result == WholeFileWritten)
    result = WholeFileShort;
  return result;
}

bool GunzipFileReporting(const char *outputPath, const char *inputPath,
                         const GzipReporter *reporter)
{
  gzFile input = gzopen(inputPath, "rb");
  FILE *output = input != nullptr ? CreateNewFile(outputPath) : nullptr;
  return GunzipOpenedReporting(input, output, outputPath, inputPath, reporter);
}

std::string FilledText(const char *format, const std::string &path)
{
  char text[GzipMessageSize];
  std::snprintf(text, sizeof(text), format, path.c_str());
  return text;
}
