// The payload packer: collects the application's files, holds them to the
// archive writer's rules and writes the archive as one gzip member: the
// fixed 10-byte header 1f 8b 08 00 00 00 00 00 00 0b, raw deflate at level
// 9 (window 15, memory level 8), CRC-32 and length, nothing after it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zlib.h>

struct PackInput {
  std::string name;        // the archive name, "\" between components
  std::string sourcePath;  // where the bytes come from
  uint64_t size = 0;       // filled in by CheckPackInputs
};

// Adds every regular file below root, named by its path relative to root
// with "\" as separator. False, with a message, when the tree cannot be
// read or holds something that is neither a file nor a directory.
bool CollectTree(const std::string &root, std::vector<PackInput> *inputs, std::string *error);

// Sorts the inputs by name (byte order) and checks their names only:
// exactly expectedCount of them, each per CheckPackName, no two equal
// without regard to case. The files need not exist yet.
bool CheckPackNames(std::vector<PackInput> *inputs, int expectedCount, std::string *error);

// Sorts the inputs by name (byte order, so the same tree always packs the
// same way) and checks each against the writer's rules: exactly
// expectedCount entries, names per CheckPackName, no two names equal
// without regard to case, every file 1 byte to 4 GiB - 1. The message of a
// refusal names the file and the rule.
bool CheckPackInputs(std::vector<PackInput> *inputs, int expectedCount, std::string *error);

// One gzip member being written.
struct GzipWriter {
  FILE *file = nullptr;
  z_stream stream = {};
  uint32_t crc = 0;
  uint32_t length = 0;  // modulo 2^32, as the trailer holds it
  bool failed = false;
};

inline constexpr uint8_t GzipHeader[10] = {0x1f, 0x8b, 0x08, 0x00, 0x00,
                                           0x00, 0x00, 0x00, 0x00, 0x0b};

bool GzipBegin(GzipWriter *writer, FILE *file);
bool GzipAppend(GzipWriter *writer, const void *data, size_t size);
// Flushes the deflate stream and writes the trailer; releases the stream.
bool GzipFinish(GzipWriter *writer);

// Writes the checked inputs as archive entries into a gzip member at
// outputPath; when archivePath is not empty, also the plain archive there.
bool WritePayload(const std::vector<PackInput> &inputs, const std::string &outputPath,
                  const std::string &archivePath, std::string *error);
