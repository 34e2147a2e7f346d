// The gzip step as setup runs it: the problems are shown in message boxes
// with no owner window and the system's default caption.
#pragma once

#include <windows.h>

#include "payload/gunzip_core.h"

// Decompresses the gzip file inputPath into outputPath; true only when the
// output is whole and passed zlib's checks.
bool GunzipFile(const char *outputPath, const char *inputPath);
