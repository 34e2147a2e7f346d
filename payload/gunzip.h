// The gzip step over two open Windows files: the handles become the
// streams of gunzip_rules.h, and every problem goes to the reporter given.
#pragma once

#include <windows.h>

#include "payload/gunzip_rules.h"

// Decompresses the open gzip file input into the open file output; true
// only when the output is whole and passed zlib's checks. input is read from
// its current position, output written at its own. Both handles are taken
// over and closed whatever happens; INVALID_HANDLE_VALUE stands for an end
// that could not be opened: "Can't open file" names inputPath, "Can't
// create file" outputPath.
bool GunzipHeld(HANDLE input, HANDLE output, const char *outputPath, const char *inputPath,
                const GzipReporter *reporter);
