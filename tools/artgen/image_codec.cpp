// BMP and ICO encoders for palette images, writing the little-endian
// Windows structures byte by byte so that the output does not depend on the
// build machine's struct layout.
#include "tools/artgen/artgen.h"

#include <zlib.h>

namespace {

void Put16(std::vector<uint8_t> &out, uint32_t value)
{
  out.push_back(static_cast<uint8_t>(value & 0xFF));
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t> &out, uint32_t value)
{
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

// Bytes in one bitmap row: rows are padded to a multiple of 4 bytes.
uint32_t RowBytes(int width, int bitsPerPixel)
{
  return ((static_cast<uint32_t>(width) * bitsPerPixel + 31) / 32) * 4;
}

// BITMAPINFOHEADER (40 bytes), uncompressed.
void PutInfoHeader(std::vector<uint8_t> &out, int width, int height, int bitsPerPixel,
                   uint32_t imageBytes, uint32_t coloursUsed, uint32_t pixelsPerMetre)
{
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(width));
  Put32(out, static_cast<uint32_t>(height));
  Put16(out, 1);  // planes
  Put16(out, static_cast<uint32_t>(bitsPerPixel));
  Put32(out, 0);  // BI_RGB
  Put32(out, imageBytes);
  Put32(out, pixelsPerMetre);
  Put32(out, pixelsPerMetre);
  Put32(out, coloursUsed);
  Put32(out, 0);  // all colours important
}

// RGBQUAD entries: blue, green, red, reserved.
void PutPalette(std::vector<uint8_t> &out, const std::vector<uint32_t> &palette, size_t count)
{
  for (size_t i = 0; i < count; ++i) {
    uint32_t rgb = i < palette.size() ? palette[i] : 0;
    out.push_back(static_cast<uint8_t>(rgb & 0xFF));
    out.push_back(static_cast<uint8_t>((rgb >> 8) & 0xFF));
    out.push_back(static_cast<uint8_t>((rgb >> 16) & 0xFF));
    out.push_back(0);
  }
}

// Pixel rows bottom-up, packed at 4 or 8 bits per pixel.
void PutPixels(std::vector<uint8_t> &out, const IndexedImage &image, int bitsPerPixel)
{
  uint32_t rowBytes = RowBytes(image.width, bitsPerPixel);
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < image.width; ++x) {
      uint8_t index = image.pixels[static_cast<size_t>(y) * image.width + x];
      if (bitsPerPixel == 8)
        row[x] = index;
      else
        row[x / 2] |= static_cast<uint8_t>((x % 2 == 0) ? (index << 4) : index);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

// 1-bit AND mask, bottom-up: 1 where the pixel is transparent.
void PutMask(std::vector<uint8_t> &out, const IndexedImage &image)
{
  uint32_t rowBytes = RowBytes(image.width, 1);
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < image.width; ++x) {
      size_t at = static_cast<size_t>(y) * image.width + x;
      if (!image.mask.empty() && image.mask[at] != 0)
        row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), row.begin(), row.end());
  }
}

}  // namespace

namespace {

// The header, 256 colours and the rows: a packed device-independent bitmap.
void PutPackedDib8(std::vector<uint8_t> &out, const IndexedImage &image)
{
  const uint32_t imageBytes = RowBytes(image.width, 8) * static_cast<uint32_t>(image.height);
  PutInfoHeader(out, image.width, image.height, 8, imageBytes, 256, 2835);
  PutPalette(out, image.palette, 256);
  PutPixels(out, image, 8);
}

}  // namespace

std::vector<uint8_t> EncodeBmp8(const IndexedImage &image)
{
  const uint32_t paletteBytes = 256 * 4;
  const uint32_t pixelOffset = 14 + 40 + paletteBytes;
  const uint32_t imageBytes = RowBytes(image.width, 8) * static_cast<uint32_t>(image.height);
  std::vector<uint8_t> out;
  out.reserve(pixelOffset + imageBytes);
  // BITMAPFILEHEADER
  out.push_back('B');
  out.push_back('M');
  Put32(out, pixelOffset + imageBytes);
  Put32(out, 0);
  Put32(out, pixelOffset);
  PutPackedDib8(out, image);
  return out;
}

std::vector<uint8_t> PackBanner(const IndexedImage &image)
{
  std::vector<uint8_t> dib;
  PutPackedDib8(dib, image);
  uLongf packedSize = compressBound(static_cast<uLong>(dib.size()));
  std::vector<uint8_t> out;
  Put32(out, static_cast<uint32_t>(dib.size()));
  out.resize(4 + packedSize);
  if (compress2(out.data() + 4, &packedSize, dib.data(), static_cast<uLong>(dib.size()),
                Z_BEST_COMPRESSION) != Z_OK)
    return {};
  out.resize(4 + packedSize);
  return out;
}

std::vector<uint8_t> EncodeIcon(const IndexedImage &image, int bitsPerPixel)
{
  return EncodeIcon(std::vector<IndexedImage>{image}, bitsPerPixel);
}

std::vector<uint8_t> EncodeIcon(const std::vector<IndexedImage> &images, int bitsPerPixel)
{
  if (bitsPerPixel != 4 && bitsPerPixel != 8)
    return {};
  const size_t colours = static_cast<size_t>(1) << bitsPerPixel;
  std::vector<uint32_t> sizes;
  for (const IndexedImage &image : images) {
    for (uint8_t index : image.pixels)
      if (index >= colours)
        return {};
    const uint32_t xorBytes =
        RowBytes(image.width, bitsPerPixel) * static_cast<uint32_t>(image.height);
    const uint32_t andBytes = RowBytes(image.width, 1) * static_cast<uint32_t>(image.height);
    sizes.push_back(40 + static_cast<uint32_t>(colours) * 4 + xorBytes + andBytes);
  }

  std::vector<uint8_t> out;
  // ICONDIR: reserved, type 1 (icon), the number of images.
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(images.size()));
  // One ICONDIRENTRY each; the images follow the directory in its order.
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    // A dimension of 256 would be written as 0.
    out.push_back(static_cast<uint8_t>(images[i].width & 0xFF));
    out.push_back(static_cast<uint8_t>(images[i].height & 0xFF));
    out.push_back(static_cast<uint8_t>(colours < 256 ? colours : 0));
    out.push_back(0);
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bitsPerPixel));
    Put32(out, sizes[i]);
    Put32(out, offset);
    offset += sizes[i];
  }
  for (size_t i = 0; i < images.size(); ++i) {
    const IndexedImage &image = images[i];
    const uint32_t xorBytes =
        RowBytes(image.width, bitsPerPixel) * static_cast<uint32_t>(image.height);
    const uint32_t andBytes = RowBytes(image.width, 1) * static_cast<uint32_t>(image.height);
    // The image: its header gives twice the height (colour rows and mask).
    PutInfoHeader(out, image.width, image.height * 2, bitsPerPixel, xorBytes + andBytes, 0, 0);
    PutPalette(out, image.palette, colours);
    PutPixels(out, image, bitsPerPixel);
    PutMask(out, image);
  }
  return out;
}
