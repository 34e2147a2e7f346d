// The banner's scale for a screen and the check of a stored banner.
#include "setup_common/banner_scale.h"

#include <zlib.h>

namespace {

// Header, 256 colour-table entries of 4 bytes.
constexpr size_t HeaderSize = 40;
constexpr size_t ColourTableSize = 256 * 4;

uint32_t Read32(const uint8_t *bytes)
{
  return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
         static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t Read16(const uint8_t *bytes)
{
  return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

}  // namespace

int BannerPercentForDpi(int dpi)
{
  int best = BannerScales[0];
  // Compared in 96ths of a per cent: |percent * 96 - dpi * 100|.
  long bestDistance = -1;
  for (int percent : BannerScales) {
    const long difference = static_cast<long>(percent) * 96 - static_cast<long>(dpi) * 100;
    const long distance = difference < 0 ? -difference : difference;
    if (bestDistance < 0 || distance < bestDistance) {
      best = percent;
      bestDistance = distance;
    }
  }
  return best;
}

size_t BannerUnpackedSize(const uint8_t *stored, size_t storedSize)
{
  // The size and at least a zlib header.
  if (stored == nullptr || storedSize < 4 + 2)
    return 0;
  const uint32_t size = Read32(stored);
  if (size < HeaderSize + ColourTableSize || size > BannerMaxUnpackedSize)
    return 0;
  return size;
}

bool UnpackBanner(const uint8_t *stored, size_t storedSize, uint8_t *out, size_t outSize,
                  PackedBanner *banner)
{
  const size_t size = BannerUnpackedSize(stored, storedSize);
  if (size == 0 || out == nullptr || outSize < size)
    return false;
  uLongf unpacked = static_cast<uLongf>(size);
  if (uncompress(out, &unpacked, stored + 4, static_cast<uLong>(storedSize - 4)) != Z_OK ||
      unpacked != size)
    return false;

  const int32_t width = static_cast<int32_t>(Read32(out + 4));
  const int32_t height = static_cast<int32_t>(Read32(out + 8));
  const uint32_t colours = Read32(out + 32);
  if (Read32(out) != HeaderSize || width <= 0 || height <= 0 || Read16(out + 12) != 1 ||
      Read16(out + 14) != 8 || Read32(out + 16) != 0 || (colours != 0 && colours != 256))
    return false;
  // Rows of width bytes, padded to whole 32-bit words.
  const uint64_t rowSize = (static_cast<uint64_t>(width) + 3) & ~static_cast<uint64_t>(3);
  if (HeaderSize + ColourTableSize + rowSize * static_cast<uint64_t>(height) != size)
    return false;
  banner->width = width;
  banner->height = height;
  banner->bitsOffset = HeaderSize + ColourTableSize;
  return true;
}
