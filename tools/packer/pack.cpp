#include "tools/packer/pack.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "payload/archive_entry.h"
#include "payload/entry_name.h"
#include "common/ascii_text.h"

namespace fs = std::filesystem;

namespace {

constexpr size_t CopyBlock = 1 << 16;

std::string Refusal(const PackInput &input, const std::string &rule)
{
  return input.sourcePath + " (\"" + input.name + "\"): " + rule;
}

bool SameNameNoCase(const std::string &a, const std::string &b)
{
  return a.size() == b.size() && SameTextNoCase(a.data(), b.data(), a.size());
}

bool Deflate(GzipWriter *writer, int flush)
{
  unsigned char out[CopyBlock];
  int code = Z_OK;
  do {
    writer->stream.next_out = out;
    writer->stream.avail_out = sizeof(out);
    code = deflate(&writer->stream, flush);
    if (code == Z_STREAM_ERROR)
      return false;
    size_t produced = sizeof(out) - writer->stream.avail_out;
    if (produced > 0 && std::fwrite(out, 1, produced, writer->file) != produced)
      return false;
  } while (writer->stream.avail_out == 0 || (flush == Z_FINISH && code != Z_STREAM_END));
  return true;
}

bool WriteBoth(GzipWriter *gzip, FILE *archive, const void *data, size_t size)
{
  if (archive != nullptr && std::fwrite(data, 1, size, archive) != size)
    return false;
  return GzipAppend(gzip, data, size);
}

}  // namespace

bool CollectTree(const std::string &root, std::vector<PackInput> *inputs, std::string *error)
{
  std::error_code failure;
  fs::recursive_directory_iterator walk(root, fs::directory_options::follow_directory_symlink,
                                        failure);
  if (failure) {
    *error = root + ": cannot read the directory: " + failure.message();
    return false;
  }
  for (const fs::directory_entry &item : walk) {
    if (item.is_directory())
      continue;
    std::string relative = fs::relative(item.path(), root).generic_string();
    if (!item.is_regular_file()) {
      *error = item.path().string() + ": not a regular file";
      return false;
    }
    if (relative.find('\\') != std::string::npos) {
      *error = item.path().string() + ": a file or directory name contains \"\\\"";
      return false;
    }
    std::replace(relative.begin(), relative.end(), '/', '\\');
    inputs->push_back(PackInput{relative, item.path().string(), 0});
  }
  return true;
}

bool CheckPackNames(std::vector<PackInput> *inputs, int expectedCount, std::string *error)
{
  std::sort(inputs->begin(), inputs->end(),
            [](const PackInput &a, const PackInput &b) { return a.name < b.name; });
  if (static_cast<long long>(inputs->size()) != expectedCount) {
    *error = std::to_string(inputs->size()) + " files given, exactly " +
             std::to_string(expectedCount) + " asked for";
    for (const PackInput &input : *inputs)
      *error += "\n  " + input.name;
    return false;
  }
  for (size_t i = 0; i < inputs->size(); ++i) {
    PackInput &input = (*inputs)[i];
    EntryNameVerdict verdict = CheckPackName(input.name.data(), input.name.size());
    if (verdict != NameAccepted) {
      *error = Refusal(input, DescribeNameVerdict(verdict));
      return false;
    }
    for (size_t j = 0; j < i; ++j) {
      if (SameNameNoCase((*inputs)[j].name, input.name)) {
        *error = Refusal(input, "the same name as \"" + (*inputs)[j].name +
                                    "\" on a file system that ignores case");
        return false;
      }
    }
  }
  return true;
}

bool CheckPackInputs(std::vector<PackInput> *inputs, int expectedCount, std::string *error)
{
  if (!CheckPackNames(inputs, expectedCount, error))
    return false;
  for (PackInput &input : *inputs) {
    std::error_code failure;
    uint64_t size = fs::file_size(input.sourcePath, failure);
    if (failure) {
      *error = Refusal(input, "cannot be read: " + failure.message());
      return false;
    }
    if (size == 0) {
      *error = Refusal(input, "the file has 0 bytes; every entry needs at least 1");
      return false;
    }
    if (size > UINT32_MAX) {
      *error = Refusal(input, "the file is larger than 4 GiB - 1, the most an entry holds");
      return false;
    }
    input.size = size;
  }
  return true;
}

bool GzipBegin(GzipWriter *writer, FILE *file)
{
  writer->file = file;
  writer->stream = z_stream{};
  writer->crc = static_cast<uint32_t>(crc32(0L, Z_NULL, 0));
  writer->length = 0;
  writer->failed = false;
  // Negative window bits: raw deflate, since the header and trailer are
  // written here, byte for byte.
  if (deflateInit2(&writer->stream, 9, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
    writer->failed = true;
    return false;
  }
  if (std::fwrite(GzipHeader, 1, sizeof(GzipHeader), file) != sizeof(GzipHeader))
    writer->failed = true;
  return !writer->failed;
}

bool GzipAppend(GzipWriter *writer, const void *data, size_t size)
{
  if (writer->failed)
    return false;
  const unsigned char *bytes = static_cast<const unsigned char *>(data);
  while (size > 0) {
    uInt chunk = size > CopyBlock ? static_cast<uInt>(CopyBlock) : static_cast<uInt>(size);
    writer->crc = static_cast<uint32_t>(crc32(writer->crc, bytes, chunk));
    writer->length += chunk;
    writer->stream.next_in = const_cast<unsigned char *>(bytes);
    writer->stream.avail_in = chunk;
    if (!Deflate(writer, Z_NO_FLUSH)) {
      writer->failed = true;
      return false;
    }
    bytes += chunk;
    size -= chunk;
  }
  return true;
}

bool GzipFinish(GzipWriter *writer)
{
  if (!writer->failed) {
    writer->stream.next_in = nullptr;
    writer->stream.avail_in = 0;
    if (!Deflate(writer, Z_FINISH))
      writer->failed = true;
  }
  deflateEnd(&writer->stream);
  if (writer->failed)
    return false;
  uint8_t trailer[8];
  for (int i = 0; i < 4; ++i) {
    trailer[i] = static_cast<uint8_t>(writer->crc >> (8 * i));
    trailer[4 + i] = static_cast<uint8_t>(writer->length >> (8 * i));
  }
  return std::fwrite(trailer, 1, sizeof(trailer), writer->file) == sizeof(trailer);
}

bool WritePayload(const std::vector<PackInput> &inputs, const std::string &outputPath,
                  const std::string &archivePath, std::string *error)
{
  FILE *output = std::fopen(outputPath.c_str(), "wb");
  if (output == nullptr) {
    *error = outputPath + ": cannot create: " + std::strerror(errno);
    return false;
  }
  FILE *archive = nullptr;
  if (!archivePath.empty()) {
    archive = std::fopen(archivePath.c_str(), "wb");
    if (archive == nullptr) {
      *error = archivePath + ": cannot create: " + std::strerror(errno);
      std::fclose(output);
      return false;
    }
  }

  GzipWriter gzip;
  bool ok = GzipBegin(&gzip, output);
  std::vector<unsigned char> block(CopyBlock);
  for (const PackInput &input : inputs) {
    if (!ok)
      break;
    uint8_t header[EntryMaxHeaderBytes];
    size_t headerSize = EncodeEntryHeader(input.name.data(), input.name.size(),
                                          static_cast<uint32_t>(input.size), header);
    ok = headerSize != 0 && WriteBoth(&gzip, archive, header, headerSize);
    FILE *source = ok ? std::fopen(input.sourcePath.c_str(), "rb") : nullptr;
    if (source == nullptr) {
      *error = input.sourcePath + ": cannot read";
      ok = false;
      break;
    }
    uint64_t copied = 0;
    size_t got = 0;
    while (ok && (got = std::fread(block.data(), 1, block.size(), source)) > 0) {
      copied += got;
      ok = copied <= input.size && WriteBoth(&gzip, archive, block.data(), got);
    }
    std::fclose(source);
    if (ok && copied != input.size)
      ok = false;
    if (!ok)
      *error = input.sourcePath + ": changed size while being packed, or a write failed";
  }
  bool finished = GzipFinish(&gzip);
  ok = ok && finished;
  if (std::fclose(output) != 0)
    ok = false;
  if (archive != nullptr && std::fclose(archive) != 0)
    ok = false;
  if (!ok) {
    if (error->empty())
      *error = outputPath + ": writing failed";
    std::remove(outputPath.c_str());
  }
  return ok;
}
