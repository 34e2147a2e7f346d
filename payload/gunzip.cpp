// Message boxes for the gzip step. The boxes have no owner, so the copy
// page stays enabled while one is up and a Cancel click reaches it.
#include "payload/gunzip.h"

namespace {

void ShowPlainBox(void *, const char *text)
{
  MessageBoxA(nullptr, text, nullptr, MB_OK);
}

void ShowErrorBox(void *, const char *text)
{
  ShowGzipError(text);
}

}  // namespace

const GzipReporter GzipMessageBoxes = {ShowPlainBox, ShowErrorBox, nullptr};

void ShowGzipError(const char *text)
{
  char message[GzipMessageSize];
  FormatGzipError(message, sizeof message, text);
  MessageBoxA(nullptr, message, nullptr, MB_OK);
}

BOOL GunzipFile(const char *outputPath, const char *inputPath)
{
  return GunzipFileReporting(outputPath, inputPath, &GzipMessageBoxes) ? TRUE : FALSE;
}

BOOL GunzipStream(gzFile input, FILE *output)
{
  return GunzipStreamReporting(input, output, &GzipMessageBoxes) ? TRUE : FALSE;
}
