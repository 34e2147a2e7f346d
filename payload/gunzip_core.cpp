#include "payload/gunzip_core.h"

#include <cstdio>

#include "payload/whole_file.h"

const char *GzipErrorPrefix = "Setup";

namespace {

void ReportDirect(const GzipReporter *reporter, const char *format, const char *path)
{
  char message[GzipMessageSize];
  std::snprintf(message, sizeof message, format, path);
  reporter->showDirect(reporter->context, message);
}

}  // namespace

void FormatGzipError(char *out, size_t outSize, const char *text)
{
  std::snprintf(out, outSize, "%s: %s\n", GzipErrorPrefix, text);
}

bool GunzipFileReporting(const char *outputPath, const char *inputPath,
                         const GzipReporter *reporter)
{
  gzFile input = gzopen(inputPath, "rb");
  if (input == nullptr) {
    ReportDirect(reporter, "Can't open file %s\n", inputPath);
    return false;
  }
  FILE *output = CreateNewFile(outputPath);
  if (output == nullptr) {
    gzclose(input);
    ReportDirect(reporter, "Can't create file %s\n", outputPath);
    return false;
  }
  return GunzipStreamReporting(input, output, reporter);
}

bool GunzipStreamReporting(gzFile input, FILE *output, const GzipReporter *reporter)
{
  unsigned char block[GunzipBlockSize];
  for (;;) {
    int count = gzread(input, block, sizeof block);
    if (count < 0) {
      int code = Z_OK;
      reporter->showError(reporter->context, gzerror(input, &code));
      std::fclose(output);
      gzclose(input);
      return false;
    }
    if (count == 0) {
      break;
    }
    if (std::fwrite(block, 1, static_cast<size_t>(count), output) != static_cast<size_t>(count)) {
      reporter->showError(reporter->context, "failed fwrite");
      std::fclose(output);
      gzclose(input);
      return false;
    }
  }

  bool whole = true;
  if (std::fclose(output) != 0) {
    reporter->showError(reporter->context, "failed fclose");
    whole = false;
  }
  // A gzip stream cut short ends gzread quietly; gzclose is where zlib says
  // so (Z_BUF_ERROR), and such output is not whole.
  if (gzclose(input) != Z_OK) {
    reporter->showError(reporter->context, "failed gzclose");
    whole = false;
  }
  return whole;
}
