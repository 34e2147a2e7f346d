// The pixel arithmetic of the background picture: the layout of a
// device-independent bitmap's rows and the checkerboard that darkens a 24-bit
// snapshot. No Windows header, so it builds and is tested natively too.
#pragma once

#include <cstddef>
#include <cstdint>

// Bits per pixel of the picture's device-independent copy: 8 on a display of
// 8 bits per pixel or fewer (the palette path), 24 on any deeper display.
uint16_t CanvasBitCount(int32_t screenBitsPerPixel);

// Bytes in one stored row of a device-independent bitmap: bitCount x width
// bits rounded up to a whole number of 32-bit words. 0 for a width of 0 or
// less, or for a row that would not fit in 32 bits.
uint32_t DibRowSize(int32_t width, uint32_t bitCount);

// Row size times height for a bottom-up bitmap (the header's image size); 0
// when the height is 0 or less or the product would not fit in 32 bits.
uint32_t DibImageSize(int32_t width, int32_t height, uint32_t bitCount);

// How many whole rows of rowSize bytes fit in a buffer of bufferSize bytes,
// at most height (0 when height or rowSize is 0 or less).
int32_t RowsThatFit(int32_t height, uint32_t rowSize, size_t bufferSize);

// Darkens a bottom-up 24-bit pixel buffer with a checkerboard of black
// pixels. Rows are visited in storage order (row 0 is the bottom line of the
// screen); in an even row pixels 0, 2, 4 ... are set to black, in an odd row
// pixels 1, 3, 5 ..., so exactly one pixel of every horizontally or vertically
// adjacent pair is black. Every other byte, including row padding, keeps its
// value.
//
// The stride is the real row size of a 24-bit row of this width, which is how
// the system stores the rows. (The header's image size divided by its height
// gives the same value only while the image size is consistent with the
// width; a changed or truncated image size would make rows overlap or run
// past the buffer.) Only rows lying wholly inside the buffer are touched: with
// a short buffer the rows past its end stay as they are and nothing is written
// beyond it.
//
// Returns the number of rows darkened (0 for a height or width of 0 or less).
int32_t DarkenCheckerboard(uint8_t *bits, size_t bufferSize, int32_t width, int32_t height);

// The same checkerboard over a bottom-up 32-bit picture (width words a row,
// blue, green, red and an unused byte each), in one pass: in the picture
// every black pixel's word becomes 0 and every other keeps its colour with
// the unused byte cleared; and the darkened picture is written as 24-bit rows
// (blue, green, red; rows of DibRowSize(width, 24) bytes) into bits24. Row
// padding of bits24 is not written. Only rows lying wholly inside both
// buffers are touched (sizes in bytes). Returns the number of rows done (0
// for a height or width of 0 or less, or a null buffer).
int32_t DarkenAndCopy32(uint32_t *pixels, size_t pixelsSize, int32_t width, int32_t height,
                        uint8_t *bits24, size_t bits24Size);

// The same checkerboard over a bottom-up 32-bit picture, in place only:
// every black pixel's word becomes 0, every other keeps its colour with the
// unused byte cleared. Only rows lying wholly inside the buffer are touched.
// Returns the number of rows done (0 for a height or width of 0 or less, or
// a null buffer).
int32_t DarkenInPlace32(uint32_t *pixels, size_t pixelsSize, int32_t width, int32_t height);

// Writes the first height rows of a bottom-up 32-bit picture (blue, green,
// red and an unused byte each) as 24-bit rows of DibRowSize(width, 24) bytes
// into bits24, at the same row places. Row padding of bits24 is not written.
// Only rows lying wholly inside both buffers are written. Returns the number
// of rows written (0 for a height or width of 0 or less, or a null buffer).
int32_t Copy32To24(const uint32_t *pixels, size_t pixelsSize, int32_t width, int32_t height,
                   uint8_t *bits24, size_t bits24Size);
