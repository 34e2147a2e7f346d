// Message boxes for the gzip step. The boxes have no owner, so the copy
// page stays enabled while one is up and a Cancel click reaches it.
#include "payload/gunzip.h"

namespace {

// "Can't open file ..." and "Can't create file ..." as they are.
void ShowPlainBox(void *, const char *text)
{
  MessageBoxA(nullptr, text, nullptr, MB_OK);
}

// GzipErrorPrefix, ": " and text, in a box with just an OK button.
void ShowGzipError(void *, const char *text)
{
  char message[GzipMessageSize];
  FormatGzipError(message, sizeof message, text);
  MessageBoxA(nullptr, message, nullptr, MB_OK);
}

const GzipReporter GzipMessageBoxes = {ShowPlainBox, ShowGzipError, nullptr};

}  // namespace

bool GunzipFile(const char *outputPath, const char *inputPath)
{
  return GunzipFileReporting(outputPath, inputPath, &GzipMessageBoxes);
}
