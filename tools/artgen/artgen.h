// Artwork and resource-script fragments that the Windows build compiles into
// setup.exe, made by code so that the same sources always give the same
// bytes. Plain C++ with no Windows header: the generator runs on the build
// machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A palette image. Pixels are palette indices, top row first. The palette
// holds 0x00RRGGBB values. A non-empty mask marks transparent pixels with 1
// (the icon's AND mask).
struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
  std::vector<uint32_t> palette;
  std::vector<uint8_t> mask;
};

// Banner picture: the whole background of a wizard page.
inline constexpr int BannerWidth = 556;
inline constexpr int BannerHeight = 384;

// Resource id of the licence agreement text.
inline constexpr int LicenceStringId = 150;
// Most characters the agreement page can show (its buffer holds 7,000
// characters including the terminator).
inline constexpr size_t LicenceMaxChars = 6999;

// Encoders (image_codec.cpp).
// An 8-bit, bottom-up, uncompressed BMP file with the image's full palette
// (256 entries; a shorter palette is padded with black).
std::vector<uint8_t> EncodeBmp8(const IndexedImage &image);
// The banner as setup stores it for a larger scale (setup_common/banner_scale.h):
// the size of the packed 8-bit bitmap (header, 256 colours, rows bottom-up)
// and that bitmap as one zlib stream, compressed as far as zlib goes. Empty
// when zlib fails.
std::vector<uint8_t> PackBanner(const IndexedImage &image);
// An .ico file holding the one image with its AND mask, at 4 bits per pixel
// (16-entry palette) or 8 bits per pixel (256 entries). Returns an empty
// vector when an index does not fit the chosen depth.
std::vector<uint8_t> EncodeIcon(const IndexedImage &image, int bitsPerPixel);
// An .ico file holding several images (each with its AND mask, all at the
// same depth), in the order given; empty when one does not fit the depth.
std::vector<uint8_t> EncodeIcon(const std::vector<IndexedImage> &images, int bitsPerPixel);

// Pictures (banner.cpp, icons.cpp).
// The banner drawn for a display scale in per cent (100 to 300): the same
// scene at ScaledBannerSide(BannerWidth) x ScaledBannerSide(BannerHeight)
// pixels, drawn at that size rather than enlarged; at 100 % exactly the
// 556 x 384 picture.
IndexedImage DrawBanner(int percent = 100);
// A side of the 100 % banner at a scale, rounded to the nearest pixel.
int ScaledBannerSide(int side, int percent);
IndexedImage DrawSetupIcon();  // 32 x 32, 16 colours
// The browsers' list images at size x size pixels (16, 24, 32 or 48): the
// 16 x 16 ones drawn pixel by pixel, the larger from their shapes.
IndexedImage DrawFolderIcon(bool isNew, int size = 16);  // yellow, or green when new
IndexedImage DrawUpIcon(int size = 16);                  // up arrow
inline constexpr int ListIconSizes[] = {16, 24, 32, 48};

// The standard 16-colour palette (black, maroon, green, olive, navy, purple,
// teal, silver, grey, red, lime, yellow, blue, fuchsia, aqua, white).
extern const uint32_t StandardPalette16[16];

// Licence fragment (licence_rc.cpp).
// Line breaks of any kind (LF, CR LF) become CR LF; trailing line breaks are
// dropped. Refuses characters outside printable ASCII and tab.
bool NormaliseLicence(const std::string &source, std::string *text, std::string *error);
// The resource-script fragment `STRINGTABLE { 150, "..." }` for windres,
// with the text's quotes doubled and its control characters escaped.
// Refuses a text of more than LicenceMaxChars characters.
bool BuildLicenceRc(const std::string &text, std::string *script, std::string *error);
