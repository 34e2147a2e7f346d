#include "payload/gunzip_rules.h"

#include <cstdio>
#include <cstring>

#include "resources/setup_texts.h"

namespace {

void ReportDirect(const GzipReporter *reporter, const char *format, const char *path)
{
  char message[GzipMessageSize];
  std::snprintf(message, sizeof(message), format, path);
  reporter->showDirect(reporter->context, message);
}

// zlib's message names a file opened by descriptor "<fd:N>": the file's
// own path stands there instead when it is known.
void ReportStreamError(gzFile input, const GzipReporter *reporter, const char *inputPath)
{
  int code = Z_OK;
  const char *text = gzerror(input, &code);
  const char *message = std::strstr(text, ": ");
  if (inputPath == nullptr || std::strncmp(text, "<fd:", 4) != 0 || message == nullptr) {
    reporter->showError(reporter->context, text);
    return;
  }
  char named[GzipMessageSize];
  std::snprintf(named, sizeof(named), "%s%s", inputPath, message);
  reporter->showError(reporter->context, named);
}

bool CopyStream(gzFile input, FILE *output, const GzipReporter *reporter, const char *inputPath)
{
  // Larger buffers only make fewer calls; when one cannot be had the
  // defaults stay and the step runs as before.
  gzbuffer(input, GunzipReadBufferSize);
  std::setvbuf(output, nullptr, _IOFBF, GunzipWriteBufferSize);
  unsigned char block[GunzipBlockSize];
  for (;;) {
    int count = gzread(input, block, sizeof(block));
    if (count < 0) {
      ReportStreamError(input, reporter, inputPath);
      std::fclose(output);
      gzclose(input);
      return false;
    }
    if (count == 0)
      break;
    if (std::fwrite(block, 1, static_cast<size_t>(count), output) != static_cast<size_t>(count)) {
      reporter->showError(reporter->context, FailedFwriteText);
      std::fclose(output);
      gzclose(input);
      return false;
    }
  }

  bool whole = true;
  if (std::fclose(output) != 0) {
    reporter->showError(reporter->context, FailedFcloseText);
    whole = false;
  }
  // A gzip stream cut short ends gzread quietly; gzclose is where zlib says
  // so (Z_BUF_ERROR), and such output is not whole.
  if (gzclose(input) != Z_OK) {
    reporter->showError(reporter->context, FailedGzcloseText);
    whole = false;
  }
  return whole;
}

}  // namespace

void FormatGzipError(char *out, size_t outSize, const char *text)
{
  std::snprintf(out, outSize, "%s: %s\n", GzipErrorPrefix, text);
}

bool GunzipOpenedReporting(gzFile input, FILE *output, const char *outputPath,
                           const char *inputPath, const GzipReporter *reporter)
{
  if (input == nullptr) {
    if (output != nullptr)
      std::fclose(output);
    ReportDirect(reporter, CantOpenFileFormat, inputPath);
    return false;
  }
  if (output == nullptr) {
    gzclose(input);
    ReportDirect(reporter, CantCreateFileFormat, outputPath);
    return false;
  }
  return CopyStream(input, output, reporter, inputPath);
}
