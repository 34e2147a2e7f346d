// The banner's scale for a screen and the check of a stored banner.
#include "setup_common/banner_scale.h"

#include <zlib.h>

#include <cstdint>

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

namespace {

// Inflates the stream that follows the stored size: exactly BannerHeadSize
// bytes into head, then, when rows is given, exactly rowsSize bytes into
// rows, which must end the stream.
bool Inflate(const uint8_t *stored, size_t storedSize, uint8_t *head, uint8_t *rows,
             size_t rowsSize)
{
  // zlib counts in uInt; a resource or a banner never comes near that.
  const uInt Most = ~static_cast<uInt>(0);
  if (storedSize - 4 > Most || rowsSize > Most)
    return false;
  z_stream stream = {};
  stream.next_in = const_cast<Bytef *>(stored + 4);
  stream.avail_in = static_cast<uInt>(storedSize - 4);
  if (inflateInit(&stream) != Z_OK)
    return false;
  stream.next_out = head;
  stream.avail_out = static_cast<uInt>(BannerHeadSize);
  int status = inflate(&stream, Z_SYNC_FLUSH);
  bool whole = stream.avail_out == 0 && (status == Z_OK || status == Z_STREAM_END);
  if (whole && rows != nullptr) {
    stream.next_out = rows;
    stream.avail_out = static_cast<uInt>(rowsSize);
    status = inflate(&stream, Z_FINISH);
    whole = status == Z_STREAM_END && stream.avail_out == 0;
  }
  inflateEnd(&stream);
  return whole;
}

// The shape of an unpacked head, if it is a picture setup can show and its
// rows make exactly `size` bytes with it.
bool CheckHead(const uint8_t *head, size_t size, PackedBanner *banner)
{
  const int32_t width = static_cast<int32_t>(Read32(head + 4));
  const int32_t height = static_cast<int32_t>(Read32(head + 8));
  const uint32_t colours = Read32(head + 32);
  if (Read32(head) != HeaderSize || width <= 0 || height <= 0 || Read16(head + 12) != 1 ||
      Read16(head + 14) != 8 || Read32(head + 16) != 0 || (colours != 0 && colours != 256))
    return false;
  // Rows of width bytes, padded to whole 32-bit words.
  const uint64_t rowSize = (static_cast<uint64_t>(width) + 3) & ~static_cast<uint64_t>(3);
  const uint64_t rowsSize = rowSize * static_cast<uint64_t>(height);
  if (BannerHeadSize + rowsSize != size)
    return false;
  banner->width = width;
  banner->height = height;
  banner->rowsSize = static_cast<size_t>(rowsSize);
  return true;
}

}  // namespace

bool ReadBannerHead(const uint8_t *stored, size_t storedSize, uint8_t *head, PackedBanner *banner)
{
  const size_t size = BannerUnpackedSize(stored, storedSize);
  return size != 0 && head != nullptr && Inflate(stored, storedSize, head, nullptr, 0) &&
         CheckHead(head, size, banner);
}

bool UnpackBannerRows(const uint8_t *stored, size_t storedSize, const PackedBanner &banner,
                      uint8_t *rows, size_t rowsSize)
{
  const size_t size = BannerUnpackedSize(stored, storedSize);
  uint8_t head[BannerHeadSize];
  PackedBanner found;
  if (size == 0 || rows == nullptr || rowsSize < banner.rowsSize ||
      !Inflate(stored, storedSize, head, rows, banner.rowsSize) || !CheckHead(head, size, &found))
    return false;
  return found.width == banner.width && found.height == banner.height &&
         found.rowsSize == banner.rowsSize;
}
