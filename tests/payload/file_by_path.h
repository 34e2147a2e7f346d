// The payload's file steps by path, for the tests and the fuzz target: setup
// itself makes its files below held folder handles (payload/extraction.cpp)
// and never names them again, while a test's scratch folder is named by
// path. A new file here refuses every name that exists, a link included
// (O_EXCL), so a test never writes through something planted at its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "payload/archive_entry.h"
#include "payload/gunzip_rules.h"
#include "payload/whole_file.h"

// Creates path (refusing any name that exists) and writes size bytes of
// data (none for size 0: an empty file). A full disk shows as
// WholeFileShort, whether the write or the final flush in fclose runs out
// of room.
WholeFileResult WriteNewFile(const char *path, const void *data, uint32_t size);

// Creates (or truncates) path and copies size bytes from source into it
// with CopyThrough, one block of bufferSize bytes at a time, each full block
// one write call. The file stays as far as it got.
WholeFileResult CopyWholeFile(const char *path, const ByteSource *source, uint32_t size,
                              void *buffer, size_t bufferSize);

// The gzip step from inputPath into outputPath, a file this call creates
// (a name that exists is refused and left alone, and "Can't create file"
// names it): GunzipOpenedReporting over gzopen and a new file.
bool GunzipFileReporting(const char *outputPath, const char *inputPath,
                         const GzipReporter *reporter);

// One of the gzip step's texts with its %s filled with path, as the step
// shows it.
std::string FilledText(const char *format, const std::string &path);

// What a GzipReporter was told, for the tests to read: the texts shown as
// they are, and the errors shown after the prefix.
struct Messages {
  std::vector<std::string> direct;
  std::vector<std::string> errors;
};
inline void CollectDirect(void *context, const char *text)
{
  static_cast<Messages *>(context)->direct.push_back(text);
}
inline void CollectError(void *context, const char *text)
{
  static_cast<Messages *>(context)->errors.push_back(text);
}
