// Which banner a screen gets, and the stored form of the banners drawn for
// scales above 100 %. No Windows header, so it is tested natively.
//
// The banner is drawn for each scale the system offers. The 100 % one is
// the bitmap resource itself; each larger one is an RCDATA resource that
// holds its size unpacked (4 bytes, least significant first) and then, as
// one zlib stream, a packed 8-bit device-independent bitmap: the 40-byte
// header, 256 colour-table entries and the rows, bottom-up.
#pragma once

#include <cstddef>
#include <cstdint>

// The scales the banner is drawn for, in per cent, smallest first.
inline constexpr int BannerScales[] = {100, 125, 150, 175, 200, 225, 250, 300};
inline constexpr int BannerScaleCount = sizeof(BannerScales) / sizeof(BannerScales[0]);

// Resource id of the stored banner for a scale above 100 %.
inline constexpr int BannerResourceBase = 1000;
constexpr int BannerResourceId(int percent)
{
  return BannerResourceBase + percent;
}

// The scale whose banner suits a screen of `dpi` dots per inch: the one
// nearest to dpi / 96, the smaller on a tie; 100 for a dpi of 96 or less
// (and for a nonsensical 0 or less), 300 from 288 up.
int BannerPercentForDpi(int dpi);

// The largest banner unpacked: 300 % of the page, with room to spare. A
// stored size above it is refused rather than allocated.
inline constexpr size_t BannerMaxUnpackedSize = 4u << 20;

// The size that a stored banner unpacks to, from its first 4 bytes; 0 when
// the stored bytes are too short for the size and a stream, or the size is
// above BannerMaxUnpackedSize or too small for a header and colour table.
size_t BannerUnpackedSize(const uint8_t *stored, size_t storedSize);

// The header and colour table that come first in an unpacked banner.
inline constexpr size_t BannerHeadSize = 40 + 256 * 4;

// The shape of a stored banner, from its head.
struct PackedBanner {
  int32_t width = 0;
  int32_t height = 0;
  size_t rowsSize = 0;  // bytes of the rows that follow the head
};

// Unpacks only the head of a stored banner into head (BannerHeadSize bytes)
// and checks that it is what setup can show: a 40-byte header of a
// bottom-up, uncompressed 8-bit picture with 256 colours (or 0, meaning
// 256), one plane, a positive width and height, whose colour table and rows
// make exactly the stored unpacked size. The head is a BITMAPINFO, so the
// caller can make the bitmap before the rows are unpacked straight into it.
// false when the stream is damaged or short, or the picture is not such a
// bitmap.
bool ReadBannerHead(const uint8_t *stored, size_t storedSize, uint8_t *head, PackedBanner *banner);

// Unpacks the rows of the banner whose head gave `banner` into rows
// (rowsSize bytes, at least banner.rowsSize); nothing is written beyond
// rowsSize. false when the stream is damaged, ends early or goes on past
// the rows, or when the head unpacked again on the way is not the one that
// gave `banner`.
bool UnpackBannerRows(const uint8_t *stored, size_t storedSize, const PackedBanner &banner,
                      uint8_t *rows, size_t rowsSize);
