// Message boxes for the gzip step. The boxes have no owner, so the copy
// page stays enabled while one is up and a Cancel click reaches it.
#include "payload/gunzip.h"

#include <fcntl.h>
#include <io.h>

#include <cstdint>

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

// Closes an end that could not be opened as a stream: through its descriptor
// once the C runtime owns the handle.
void ReleaseEnd(int descriptor, HANDLE handle)
{
  if (descriptor >= 0) {
    _close(descriptor);
  } else {
    CloseHandle(handle);
  }
}

}  // namespace

bool GunzipHeld(HANDLE input, HANDLE output, const char *outputPath, const char *inputPath)
{
  // The C runtime's descriptors take over the handles: gzclose and fclose
  // close them.
  gzFile gzipInput = nullptr;
  if (input != INVALID_HANDLE_VALUE) {
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(input), _O_RDONLY | _O_BINARY);
    gzipInput = descriptor >= 0 ? gzdopen(descriptor, "rb") : nullptr;
    if (gzipInput == nullptr) {
      ReleaseEnd(descriptor, input);
    }
  }
  FILE *plainOutput = nullptr;
  if (output != INVALID_HANDLE_VALUE) {
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(output), _O_WRONLY | _O_BINARY);
    plainOutput = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
    if (plainOutput == nullptr) {
      ReleaseEnd(descriptor, output);
    }
  }
  return GunzipOpenedReporting(gzipInput, plainOutput, outputPath, inputPath, &GzipMessageBoxes);
}
