// Stand-in payload for a build that has no packer: a gzip member (RFC 1952)
// whose data is empty, so the executable links and the copy page finds a
// valid gzip resource.
#include "tools/artgen/artgen.h"

std::vector<uint8_t> EmptyGzip()
{
  return {
      0x1F, 0x8B, 0x08, 0x00,  // magic, deflate, no flags
      0x00, 0x00, 0x00, 0x00,  // modification time 0
      0x00, 0x0B,              // extra flags, operating system
      0x03, 0x00,              // one final fixed-Huffman block holding only end-of-block
      0x00, 0x00, 0x00, 0x00,  // CRC-32 of no data
      0x00, 0x00, 0x00, 0x00,  // length 0
  };
}
