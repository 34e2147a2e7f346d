// The program's icons, in the standard 16 colours: the class icon (a ringed
// planet, 32 x 32) and the three list images of the folder browsers
// (16 x 16): a yellow folder, an up arrow and a green folder for the folder
// to be created.
#include <algorithm>
#include <cmath>

#include "tools/artgen/artgen.h"

const uint32_t StandardPalette16[16] = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

namespace {

enum StandardColour : uint8_t {
  Black = 0,
  Maroon = 1,
  Green = 2,
  Olive = 3,
  Navy = 4,
  Purple = 5,
  Teal = 6,
  Silver = 7,
  Grey = 8,
  Red = 9,
  Lime = 10,
  Yellow = 11,
  Blue = 12,
  Fuchsia = 13,
  Aqua = 14,
  White = 15,
};

IndexedImage BlankIcon(int size)
{
  IndexedImage image;
  image.width = size;
  image.height = size;
  image.pixels.assign(static_cast<size_t>(size) * size, Black);
  image.mask.assign(static_cast<size_t>(size) * size, 1);
  image.palette.assign(StandardPalette16, StandardPalette16 + 16);
  return image;
}

void Put(IndexedImage &image, int x, int y, uint8_t colour)
{
  size_t at = static_cast<size_t>(y) * image.width + x;
  image.pixels[at] = colour;
  image.mask[at] = 0;
}

bool Opaque(const IndexedImage &image, int x, int y)
{
  if (x < 0 || y < 0 || x >= image.width || y >= image.height)
    return false;
  return image.mask[static_cast<size_t>(y) * image.width + x] == 0;
}

// Paints a 16 x 16 picture given as text rows: '.' is transparent, the
// other letters name colours.
IndexedImage IconFromRows(const char *const rows[16], uint8_t fill, uint8_t shade)
{
  IndexedImage image = BlankIcon(16);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      switch (rows[y][x]) {
        case 'k':
          Put(image, x, y, Black);
          break;
        case 'w':
          Put(image, x, y, White);
          break;
        case 'f':
          Put(image, x, y, fill);
          break;
        case 's':
          Put(image, x, y, shade);
          break;
        case 'g':
          Put(image, x, y, Grey);
          break;
        case 'y':
          Put(image, x, y, Yellow);
          break;
        default:
          break;
      }
    }
  }
  return image;
}

// A folder: 'f' is the folder's colour, 's' its shaded edge.
const char *const FolderRows[16] = {
    "................", "................", "..kkkkk.........", ".kwfffffk.......",
    ".kfffffffkkkkkk.", ".kfwwwwwwwwwwwfk", ".kfwfffffffffffk", ".kfwfffffffffffk",
    ".kfwfffffffffffk", ".kfwfffffffffffk", ".kfwfffffffffffk", ".kfwfffffffffffk",
    ".kfffffffffffffk", ".ksssssssssssssk", "..kkkkkkkkkkkkkk", "................",
};

// The folder to be created: the same folder with a sparkle on its corner.
const char *const NewFolderRows[16] = {
    "............y...", "..........y.y.y.", "..kkkkk....yyy..", ".kwfffffk.yyyyy.",
    ".kfffffffkkyyykk", ".kfwwwwwwwyfyfyk", ".kfwfffffffffffk", ".kfwfffffffffffk",
    ".kfwfffffffffffk", ".kfwfffffffffffk", ".kfwfffffffffffk", ".kfwfffffffffffk",
    ".kfffffffffffffk", ".ksssssssssssssk", "..kkkkkkkkkkkkkk", "................",
};

// An arrow pointing up: 'f' body, 'w' lit edge, 's' shaded edge.
const char *const UpRows[16] = {
    ".......kk.......", "......kwfk......", ".....kwffsk.....", "....kwffffsk....",
    "...kwffffffsk...", "..kwffffffffsk..", ".kwffffffffffsk.", ".kkkkkwffskkkkk.",
    ".....kwffsk.....", ".....kwffsk.....", ".....kwffsk.....", ".....kwffsk.....",
    ".....kwffsk.....", ".....kwffsk.....", ".....kkkkkk.....", "................",
};

}  // namespace

IndexedImage DrawFolderIcon(bool isNew)
{
  if (isNew)
    return IconFromRows(NewFolderRows, Lime, Green);
  return IconFromRows(FolderRows, Yellow, Olive);
}

IndexedImage DrawUpIcon()
{
  return IconFromRows(UpRows, Blue, Navy);
}

// A ringed planet lit from the upper left, its shading in four blues mixed
// by a 2 x 2 dither, with a yellow ring whose far half passes behind it.
IndexedImage DrawSetupIcon()
{
  IndexedImage image = BlankIcon(32);
  const double centre = 15.5, radius = 8.2, tilt = -0.42, flatten = 0.30;
  const double ringInner = 1.3, ringOuter = 1.8;
  const uint8_t shades[] = {Navy, Blue, Teal, Aqua, White};
  const int dither[2][2] = {{0, 2}, {3, 1}};
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      double dx = (x + 0.5 - centre) / radius, dy = (y + 0.5 - centre) / radius;
      double u = dx * std::cos(tilt) + dy * std::sin(tilt);
      double w = -dx * std::sin(tilt) + dy * std::cos(tilt);
      double ring = std::sqrt(u * u + (w / flatten) * (w / flatten));
      bool onRing = ring >= ringInner && ring <= ringOuter;
      bool inPlanet = dx * dx + dy * dy <= 1.0;
      if (onRing && (w > 0 || !inPlanet)) {
        bool lit = ring < (ringInner + ringOuter) / 2;
        Put(image, x, y, w > 0 ? (lit ? Yellow : Olive) : (lit ? Olive : Grey));
      } else if (inPlanet) {
        double nz = std::sqrt(std::max(0.0, 1.0 - dx * dx - dy * dy));
        double light = std::max(0.0, -0.58 * dx - 0.52 * dy + 0.63 * nz);
        double level = light * 4.0 + (dither[y & 1][x & 1] + 0.5) / 4.0 - 0.5;
        int step = static_cast<int>(std::floor(level + 0.5));
        step = step < 0 ? 0 : (step > 4 ? 4 : step);
        Put(image, x, y, shades[step]);
      }
    }
  }
  // A dark outline around the planet's disc where it borders transparency.
  IndexedImage outlined = image;
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (Opaque(image, x, y))
        continue;
      double dx = (x + 0.5 - centre) / radius, dy = (y + 0.5 - centre) / radius;
      double d = std::sqrt(dx * dx + dy * dy);
      if (d <= 1.0 + 1.2 / radius)
        Put(outlined, x, y, Black);
    }
  }
  return outlined;
}
