// The gzip step: one gzip file in, one plain file out, through zlib's gzip
// file reader (gzopen "rb", gzread in 16,384-byte blocks, gzclose, gzerror)
// and stdio. Every problem is reported once through a GzipReporter and the
// caller learns whether the output is whole and verified: the payload is
// never installed from data that failed zlib's checks. Input that is not
// gzip at all passes through unchanged, as zlib's reader does.
//
// No Windows header here; the message boxes are one reporter
// (payload/gunzip.h), the tests bring their own.
#pragma once

#include <zlib.h>

#include <cstddef>
#include <cstdio>

inline constexpr int GunzipBlockSize = 16384;
// What the step reads and writes at a time around those blocks: zlib's own
// input buffer (gzbuffer) and the output stream's buffer (setvbuf). With
// zlib's and the C runtime's defaults, one call into them and the system
// for each 8 KiB read and each block written cost 13 to 15 % of the step's
// processor time under Wine; these take most of that away. The input
// buffer stays small: zlib then decodes into a buffer of twice its size
// before handing out blocks, and what that buffer holds when a stream error
// comes is never written (at most 64 KiB, against one 16 KiB block with the
// defaults), so the data decoded before a failed check still reaches the
// output. Fixed sizes: the memory used does not grow with the payload.
inline constexpr unsigned GunzipReadBufferSize = 32 * 1024;
inline constexpr size_t GunzipWriteBufferSize = 256 * 1024;
// Room for the longest message: a prefix, ": ", a path of up to 511
// characters, zlib's message and the line end.
inline constexpr int GzipMessageSize = 1024;

struct GzipReporter {
  // Shown as it is ("Can't open file ...", "Can't create file ...").
  void (*showDirect)(void *context, const char *text);
  // Shown after GzipErrorPrefix (resources/setup_texts.h) and ": " (stream
  // errors, failed writes and closes).
  void (*showError)(void *context, const char *text);
  void *context;
};

// Decompresses the open gzip input into the open output, then closes both.
// Both must be fresh (nothing read or written yet): the step sets their
// buffers before the first block.
// input or output null means that end could not be opened: "Can't open
// file" names inputPath, "Can't create file" outputPath, and the other end
// is closed. zlib's message about a file it opened by descriptor names
// inputPath instead. Returns true only when the whole stream was read,
// written and both files closed without error. After a stream error the
// partly written output stays.
bool GunzipOpenedReporting(gzFile input, FILE *output, const char *outputPath,
                           const char *inputPath, const GzipReporter *reporter);

// "%s: %s\n" with GzipErrorPrefix and text, cut to fit out.
void FormatGzipError(char *out, size_t outSize, const char *text);
