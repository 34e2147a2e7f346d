// Checkerboard darkening and row layout of the background picture.
#include "shell/darken.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <cstdint>
#include <vector>

namespace {

// A buffer whose every byte is non-zero and varies with its offset, so a
// black pixel can only come from the pass and a moved write shows up.
std::vector<uint8_t> PatternBuffer(size_t size)
{
  std::vector<uint8_t> buffer(size);
  for (size_t i = 0; i < size; ++i)
    buffer[i] = static_cast<uint8_t>(1 + (i * 7 + i / 253) % 255);
  return buffer;
}

bool PixelBlack(const std::vector<uint8_t> &bits, size_t rowSize, int32_t r, int32_t x)
{
  const size_t at = static_cast<size_t>(r) * rowSize + 3 * static_cast<size_t>(x);
  return bits[at] == 0 && bits[at + 1] == 0 && bits[at + 2] == 0;
}

// Checks the whole buffer after a pass over `rows` rows: pixel x of row r is
// black exactly when x + r is even, and every other byte (kept pixels, row
// padding, rows not visited, bytes after the image) is unchanged.
void ExpectCheckerboard(const std::vector<uint8_t> &before, const std::vector<uint8_t> &after,
                        int32_t width, int32_t rows)
{
  ASSERT_EQ(before.size(), after.size());
  const size_t rowSize = DibRowSize(width, 24);
  size_t black = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    const size_t r = rowSize == 0 ? SIZE_MAX : i / rowSize;
    const size_t column = rowSize == 0 ? 0 : i % rowSize;
    const bool inPixels = r < static_cast<size_t>(rows) && column < 3 * static_cast<size_t>(width);
    const bool goesBlack = inPixels && (column / 3 + r) % 2 == 0;
    if (goesBlack) {
      ASSERT_EQ(after[i], 0) << "byte " << i << " row " << r << " column byte " << column;
      ++black;
    } else {
      ASSERT_EQ(after[i], before[i]) << "byte " << i << " changed";
    }
  }
  // Half of all pixel bytes, the extra pixel of an odd count going to the
  // rows that start black.
  size_t expected = 0;
  for (int32_t r = 0; r < rows; ++r)
    expected += 3 * static_cast<size_t>((width + ((r & 1) == 0 ? 1 : 0)) / 2);
  EXPECT_EQ(black, expected);
}

}  // namespace

TEST(DibRowSize, RoundsRowsUpToWholeWords)
{
  // 24 bits: 3 bytes per pixel padded to 4-byte multiples.
  EXPECT_EQ(DibRowSize(1, 24), 4u);
  EXPECT_EQ(DibRowSize(2, 24), 8u);
  EXPECT_EQ(DibRowSize(3, 24), 12u);
  EXPECT_EQ(DibRowSize(5, 24), 16u);
  EXPECT_EQ(DibRowSize(1024, 24), 3072u);
  EXPECT_EQ(DibRowSize(1366, 24), 4100u);
  // 8 bits: one byte per pixel padded the same way.
  EXPECT_EQ(DibRowSize(1, 8), 4u);
  EXPECT_EQ(DibRowSize(5, 8), 8u);
  EXPECT_EQ(DibRowSize(1024, 8), 1024u);
  for (int32_t width = 1; width < 200; ++width) {
    const uint32_t size = DibRowSize(width, 24);
    EXPECT_EQ(size % 4, 0u) << width;
    EXPECT_GE(size, 3u * width) << width;
    EXPECT_LT(size - 3u * width, 4u) << width;
  }
}

TEST(DibRowSize, EmptyAndOversizedRowsAreZero)
{
  EXPECT_EQ(DibRowSize(0, 24), 0u);
  EXPECT_EQ(DibRowSize(-1, 24), 0u);
  EXPECT_EQ(DibRowSize(INT32_MAX, 24), 0u);  // 6 GB: no 32-bit size
  EXPECT_EQ(DibImageSize(1024, 768, 24), 2359296u);
  EXPECT_EQ(DibImageSize(5, 3, 24), 48u);
  EXPECT_EQ(DibImageSize(1024, 0, 24), 0u);
  EXPECT_EQ(DibImageSize(1024, -768, 24), 0u);
  EXPECT_EQ(DibImageSize(65536, 65536, 24), 0u);  // 12 GB
}

TEST(CanvasBitCount, EightBitsOrFewerKeepThePalettePath)
{
  for (int32_t bits : {1, 4, 8})
    EXPECT_EQ(CanvasBitCount(bits), 8) << bits;
  for (int32_t bits : {15, 16, 24, 32})
    EXPECT_EQ(CanvasBitCount(bits), 24) << bits;
}

TEST(RowsThatFit, CountsOnlyWholeRows)
{
  EXPECT_EQ(RowsThatFit(768, 3072, 3072u * 768 + 3), 768);
  EXPECT_EQ(RowsThatFit(768, 3072, 3072u * 768), 768);
  EXPECT_EQ(RowsThatFit(768, 3072, 3072u * 768 - 1), 767);
  EXPECT_EQ(RowsThatFit(768, 3072, 3071), 0);
  EXPECT_EQ(RowsThatFit(0, 3072, 1 << 20), 0);
  EXPECT_EQ(RowsThatFit(-5, 3072, 1 << 20), 0);
  EXPECT_EQ(RowsThatFit(5, 0, 1 << 20), 0);
}

// Odd and even widths and heights, widths around the 16-pixel groups of the
// fast path, row sizes with 0 to 3 bytes of padding.
TEST(DarkenCheckerboard, BlackensEveryOtherPixelByRowParity)
{
  for (int32_t width :
       {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 15, 16, 17, 31, 32, 33, 47, 48, 49, 1023, 1024}) {
    for (int32_t height : {1, 2, 3, 4, 7, 8}) {
      SCOPED_TRACE(testing::Message() << width << " x " << height);
      // The buffer is what the program commits: image size plus 3 bytes.
      const std::vector<uint8_t> before = PatternBuffer(DibImageSize(width, height, 24) + 3);
      std::vector<uint8_t> after = before;
      EXPECT_EQ(DarkenCheckerboard(after.data(), after.size(), width, height), height);
      ExpectCheckerboard(before, after, width, height);
    }
  }
}

TEST(DarkenCheckerboard, OneOfEveryAdjacentPairIsBlack)
{
  const int32_t width = 37;
  const int32_t height = 11;
  const size_t rowSize = DibRowSize(width, 24);
  std::vector<uint8_t> bits = PatternBuffer(rowSize * height);
  ASSERT_EQ(DarkenCheckerboard(bits.data(), bits.size(), width, height), height);
  for (int32_t r = 0; r < height; ++r) {
    for (int32_t x = 0; x < width; ++x) {
      if (x + 1 < width) {
        EXPECT_NE(PixelBlack(bits, rowSize, r, x), PixelBlack(bits, rowSize, r, x + 1))
            << "row " << r << " pixels " << x << "," << x + 1;
      }
      if (r + 1 < height) {
        EXPECT_NE(PixelBlack(bits, rowSize, r, x), PixelBlack(bits, rowSize, r + 1, x))
            << "rows " << r << "," << r + 1 << " pixel " << x;
      }
    }
  }
  // The bottom line (row 0) starts black, the line above starts kept.
  EXPECT_TRUE(PixelBlack(bits, rowSize, 0, 0));
  EXPECT_FALSE(PixelBlack(bits, rowSize, 1, 0));
}

TEST(DarkenCheckerboard, NoRowsOrNoPixelsLeaveTheBufferAlone)
{
  const std::vector<uint8_t> before = PatternBuffer(4096);
  std::vector<uint8_t> bits = before;
  EXPECT_EQ(DarkenCheckerboard(bits.data(), bits.size(), 16, 0), 0);
  EXPECT_EQ(DarkenCheckerboard(bits.data(), bits.size(), 16, -4), 0);
  EXPECT_EQ(DarkenCheckerboard(bits.data(), bits.size(), 0, 4), 0);
  EXPECT_EQ(DarkenCheckerboard(bits.data(), bits.size(), -16, 4), 0);
  EXPECT_EQ(DarkenCheckerboard(bits.data(), 0, 16, 4), 0);
  EXPECT_EQ(DarkenCheckerboard(nullptr, 4096, 16, 4), 0);
  EXPECT_EQ(bits, before);
}

// A buffer shorter than the header promises (a truncated image size): only
// the rows that fit are darkened, nothing past the end is written. The
// vector is exactly the given size, so AddressSanitizer sees any overrun.
TEST(DarkenCheckerboard, ShortBufferDarkensOnlyWholeRowsInside)
{
  const int32_t width = 13;  // row size 40: 39 pixel bytes + 1 padding
  const int32_t height = 6;
  const size_t rowSize = DibRowSize(width, 24);
  for (size_t size : {rowSize * height - 1, rowSize * 3 + 20, rowSize - 1, rowSize}) {
    SCOPED_TRACE(size);
    const std::vector<uint8_t> before = PatternBuffer(size);
    std::vector<uint8_t> after = before;
    const int32_t rows = DarkenCheckerboard(after.data(), after.size(), width, height);
    EXPECT_EQ(rows, static_cast<int32_t>(size / rowSize));
    ExpectCheckerboard(before, after, width, rows);
  }
}

// The 32-bit pass gives what the 24-bit pass gives over the same picture:
// its 24-bit copy is the checkerboard over the colours (padding untouched),
// and the picture itself holds the same colours with the unused byte and
// the black pixels zero; so do its two steps, darkening in place and
// copying later. Short buffers on either side stop each at whole rows.
TEST(DarkenAndCopy32, MatchesTheTwentyFourBitPassInBothBuffers)
{
  for (int32_t width : {1, 2, 3, 4, 5, 7, 8, 9, 13, 16, 33}) {
    for (int32_t height : {1, 2, 5}) {
      SCOPED_TRACE(testing::Message() << width << " x " << height);
      const std::vector<uint8_t> picture = PatternBuffer(4 * static_cast<size_t>(width) * height);
      std::vector<uint32_t> words(static_cast<size_t>(width) * height);
      std::memcpy(words.data(), picture.data(), picture.size());
      const size_t rowSize = DibRowSize(width, 24);
      std::vector<uint8_t> expected = PatternBuffer(rowSize * height);
      for (size_t i = 0; i < words.size(); ++i)
        std::memcpy(&expected[(i / width) * rowSize + 3 * (i % width)], &words[i], 3);
      std::vector<uint8_t> copy = PatternBuffer(rowSize * height);
      ASSERT_EQ(DarkenCheckerboard(expected.data(), expected.size(), width, height), height);
      // The same in two steps: darkened in place (a second pass over the
      // rows done changes nothing), the rows copied later.
      std::vector<uint32_t> twice = words;
      std::vector<uint8_t> twiceCopy = copy;
      const size_t size24 = rowSize * height;
      EXPECT_EQ(DarkenInPlace32(twice.data(), 4 * twice.size() - 1, width, height), height - 1);
      EXPECT_EQ(DarkenInPlace32(twice.data(), 4 * twice.size(), width, height), height);
      EXPECT_EQ(
          Copy32To24(twice.data(), 4 * twice.size(), width, height, twiceCopy.data(), size24 - 1),
          height - 1);
      EXPECT_EQ(Copy32To24(twice.data(), 4 * twice.size(), width, height, twiceCopy.data(), size24),
                height);
      EXPECT_EQ(twiceCopy, expected);
      EXPECT_EQ(DarkenInPlace32(nullptr, 64, width, height), 0);
      EXPECT_EQ(Copy32To24(nullptr, 64, width, height, twiceCopy.data(), size24), 0);

      EXPECT_EQ(
          DarkenAndCopy32(words.data(), 4 * words.size(), width, height, copy.data(), copy.size()),
          height);
      EXPECT_EQ(copy, expected);
      for (size_t i = 0; i < words.size(); ++i) {
        uint32_t colour = 0;
        std::memcpy(&colour, &expected[(i / width) * rowSize + 3 * (i % width)], 3);
        ASSERT_EQ(words[i], colour) << "word " << i;
      }
      const std::vector<uint32_t> done = words;
      EXPECT_EQ(DarkenAndCopy32(words.data(), 4 * words.size() - 1, width, height, copy.data(),
                                copy.size()),
                height - 1);
      EXPECT_EQ(DarkenAndCopy32(words.data(), 4 * words.size(), width, height, copy.data(),
                                rowSize * height - 1),
                height - 1);
      EXPECT_EQ(DarkenAndCopy32(nullptr, 4 * words.size(), width, height, copy.data(), 64), 0);
      EXPECT_EQ(words, done) << "a second pass changes nothing";
      EXPECT_EQ(twice, done) << "the two steps leave the picture as the one pass";
    }
  }
}
