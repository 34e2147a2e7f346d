// The gzip step over Windows file handles (see gunzip.h).
#include "payload/gunzip.h"

#include <fcntl.h>
#include <io.h>

#include <cstdint>

namespace {

// Closes an end that could not be opened as a stream: through its descriptor
// once the C runtime owns the handle.
void ReleaseEnd(int descriptor, HANDLE handle)
{
  if (descriptor >= 0)
    _close(descriptor);
  else
    CloseHandle(handle);
}

}  // namespace

bool GunzipHeld(HANDLE input, HANDLE output, const char *outputPath, const char *inputPath,
                const GzipReporter *reporter)
{
  // The C runtime's descriptors take over the handles: gzclose and fclose
  // close them.
  gzFile gzipInput = nullptr;
  if (input != INVALID_HANDLE_VALUE) {
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(input), _O_RDONLY | _O_BINARY);
    gzipInput = descriptor >= 0 ? gzdopen(descriptor, "rb") : nullptr;
    if (gzipInput == nullptr)
      ReleaseEnd(descriptor, input);
  }
  FILE *plainOutput = nullptr;
  if (output != INVALID_HANDLE_VALUE) {
    int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(output), _O_WRONLY | _O_BINARY);
    plainOutput = descriptor >= 0 ? _fdopen(descriptor, "wb") : nullptr;
    if (plainOutput == nullptr)
      ReleaseEnd(descriptor, output);
  }
  return GunzipOpenedReporting(gzipInput, plainOutput, outputPath, inputPath, reporter);
}
