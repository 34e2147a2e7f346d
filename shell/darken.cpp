// Row layout and checkerboard darkening of the background picture.
#include "shell/darken.h"

#include <algorithm>
#include <array>
#include <cstring>

uint16_t CanvasBitCount(int32_t screenBitsPerPixel)
{
  return screenBitsPerPixel <= 8 ? 8 : 24;
}

uint32_t DibRowSize(int32_t width, uint32_t bitCount)
{
  if (width <= 0)
    return 0;
  const uint64_t bits = static_cast<uint64_t>(bitCount) * static_cast<uint64_t>(width);
  const uint64_t bytes = ((bits + 31) & ~static_cast<uint64_t>(31)) / 8;
  return bytes > UINT32_MAX ? 0 : static_cast<uint32_t>(bytes);
}

uint32_t DibImageSize(int32_t width, int32_t height, uint32_t bitCount)
{
  if (height <= 0)
    return 0;
  const uint64_t size =
      static_cast<uint64_t>(DibRowSize(width, bitCount)) * static_cast<uint64_t>(height);
  return size > UINT32_MAX ? 0 : static_cast<uint32_t>(size);
}

int32_t RowsThatFit(int32_t height, uint32_t rowSize, size_t bufferSize)
{
  if (height <= 0 || rowSize == 0)
    return 0;
  const uint64_t whole = static_cast<uint64_t>(bufferSize) / rowSize;
  return whole < static_cast<uint64_t>(height) ? static_cast<int32_t>(whole) : height;
}

namespace {

// Eight 3-byte pixels make 24 bytes, three 64-bit words: the pattern's
// shortest period that is a whole number of words. A group of 16 pixels (six
// words, three 16-byte vectors) lets the compiler use vector registers. A
// word mask keeps the bytes of the pixels that stay (0xFF) and clears those
// that go black.
constexpr int GroupPixels = 16;
constexpr int GroupBytes = GroupPixels * 3;
constexpr int GroupWords = GroupBytes / 8;

struct GroupMasks {
  uint64_t word[GroupWords];
};

GroupMasks MakeGroupMasks(int firstBlack)
{
  std::array<uint8_t, GroupBytes> bytes{};
  for (int b = 0; b < GroupBytes; ++b)
    bytes[b] = ((b / 3) % 2 == firstBlack) ? 0x00 : 0xFF;
  GroupMasks masks;
  std::memcpy(masks.word, bytes.data(), sizeof(masks.word));
  return masks;
}

// Clears pixels firstBlack, firstBlack + 2, ... of one row of width pixels.
void DarkenRow(uint8_t *row, int32_t width, int firstBlack, const GroupMasks &masks)
{
  const int32_t groups = width / GroupPixels;
  uint8_t *p = row;
  for (int32_t g = 0; g < groups; ++g, p += GroupBytes) {
    uint64_t w[GroupWords];
    std::memcpy(w, p, sizeof(w));
    for (int i = 0; i < GroupWords; ++i)
      w[i] &= masks.word[i];
    std::memcpy(p, w, sizeof(w));
  }
  // The last width % 16 pixels, one at a time; the group ended on an even
  // pixel index, so the parity carries over unchanged.
  for (int32_t x = groups * GroupPixels + firstBlack; x < width; x += 2) {
    uint8_t *pixel = row + 3 * static_cast<size_t>(x);
    pixel[0] = 0;
    pixel[1] = 0;
    pixel[2] = 0;
  }
}

// Four 32-bit pixels, their unused bytes zero, as the three 32-bit words
// of 12 bytes of a 24-bit row. Three word stores: one copy of 12 bytes may
// become a string move (rep movs) in a build for size, which costs more
// than the pixels.
void PackFour(uint32_t a, uint32_t b, uint32_t c, uint32_t d, uint8_t *out)
{
  const uint32_t first = a | (b << 24), second = (b >> 8) | (c << 16), third = (c >> 16) | (d << 8);
  std::memcpy(out, &first, sizeof(first));
  std::memcpy(out + 4, &second, sizeof(second));
  std::memcpy(out + 8, &third, sizeof(third));
}

}  // namespace

int32_t DarkenCheckerboard(uint8_t *bits, size_t bufferSize, int32_t width, int32_t height)
{
  const uint32_t rowSize = DibRowSize(width, 24);
  const int32_t rows = RowsThatFit(height, rowSize, bits == nullptr ? 0 : bufferSize);
  if (rows == 0)
    return 0;
  const GroupMasks masks[2] = {MakeGroupMasks(0), MakeGroupMasks(1)};
  for (int32_t r = 0; r < rows; ++r) {
    const int firstBlack = r & 1;
    DarkenRow(bits + static_cast<size_t>(r) * rowSize, width, firstBlack, masks[firstBlack]);
  }
  return rows;
}

int32_t DarkenAndCopy32(uint32_t *pixels, size_t pixelsSize, int32_t width, int32_t height,
                        uint8_t *bits24, size_t bits24Size)
{
  const uint32_t rowSize = DibRowSize(width, 24);
  const uint32_t rowSize32 = DibRowSize(width, 32);
  if (pixels == nullptr || bits24 == nullptr)
    return 0;
  const int32_t rows = std::min(RowsThatFit(height, rowSize, bits24Size),
                                RowsThatFit(height, rowSize32, pixelsSize));
  // Keep masks of an even and an odd pixel: colour only, or nothing.
  constexpr uint32_t Colour = 0x00FFFFFF;
  const uint32_t keep[2][2] = {{0, Colour}, {Colour, 0}};
  for (int32_t r = 0; r < rows; ++r) {
    const uint32_t evenKeep = keep[r & 1][0];
    const uint32_t oddKeep = keep[r & 1][1];
    uint32_t *in = pixels + static_cast<size_t>(r) * static_cast<uint32_t>(width);
    uint8_t *out = bits24 + static_cast<size_t>(r) * rowSize;
    int32_t x = 0;
    // Four pixels make three 32-bit words of the 24-bit row.
    for (; x + 4 <= width; x += 4, in += 4, out += 12) {
      const uint32_t a = in[0] & evenKeep;
      const uint32_t b = in[1] & oddKeep;
      const uint32_t c = in[2] & evenKeep;
      const uint32_t d = in[3] & oddKeep;
      in[0] = a;
      in[1] = b;
      in[2] = c;
      in[3] = d;
      PackFour(a, b, c, d, out);
    }
    for (; x < width; ++x, ++in, out += 3) {
      const uint32_t w = *in & ((x & 1) == 0 ? evenKeep : oddKeep);
      *in = w;
      out[0] = static_cast<uint8_t>(w);
      out[1] = static_cast<uint8_t>(w >> 8);
      out[2] = static_cast<uint8_t>(w >> 16);
    }
  }
  return rows;
}

int32_t DarkenInPlace32(uint32_t *pixels, size_t pixelsSize, int32_t width, int32_t height)
{
  if (pixels == nullptr)
    return 0;
  const int32_t rows = RowsThatFit(height, DibRowSize(width, 32), pixelsSize);
  constexpr uint32_t Colour = 0x00FFFFFF;
  for (int32_t r = 0; r < rows; ++r) {
    // Pixel 0 is black in an even row, pixel 1 in an odd one.
    const uint32_t evenKeep = (r & 1) == 0 ? 0 : Colour;
    const uint32_t oddKeep = evenKeep ^ Colour;
    uint32_t *in = pixels + static_cast<size_t>(r) * static_cast<uint32_t>(width);
    int32_t x = 0;
    for (; x + 2 <= width; x += 2) {
      in[x] &= evenKeep;
      in[x + 1] &= oddKeep;
    }
    if (x < width)
      in[x] &= evenKeep;
  }
  return rows;
}

int32_t Copy32To24(const uint32_t *pixels, size_t pixelsSize, int32_t width, int32_t height,
                   uint8_t *bits24, size_t bits24Size)
{
  if (pixels == nullptr || bits24 == nullptr)
    return 0;
  const uint32_t rowSize = DibRowSize(width, 24);
  const int32_t rows = std::min(RowsThatFit(height, rowSize, bits24Size),
                                RowsThatFit(height, DibRowSize(width, 32), pixelsSize));
  for (int32_t r = 0; r < rows; ++r) {
    const uint32_t *in = pixels + static_cast<size_t>(r) * static_cast<uint32_t>(width);
    uint8_t *out = bits24 + static_cast<size_t>(r) * rowSize;
    int32_t x = 0;
    for (; x + 4 <= width; x += 4, in += 4, out += 12)
      PackFour(in[0] & 0x00FFFFFF, in[1] & 0x00FFFFFF, in[2] & 0x00FFFFFF, in[3] & 0x00FFFFFF, out);
    for (; x < width; ++x, ++in, out += 3) {
      out[0] = static_cast<uint8_t>(*in);
      out[1] = static_cast<uint8_t>(*in >> 8);
      out[2] = static_cast<uint8_t>(*in >> 16);
    }
  }
  return rows;
}
