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

// The list images at the larger sizes, drawn from their shapes rather than
// enlarged from the 16 x 16 rows, so that their edges stay one or two
// pixels wide. Shapes are given in the 16-unit square of the small image.
bool InsideFolder(double x, double y)
{
  const bool tab = x >= 1.0 && x < 8.5 && y >= 2.0 && y < 5.0;
  const bool body = x >= 1.0 && x < 15.5 && y >= 4.0 && y < 14.5;
  return tab || body;
}

bool InsideUpArrow(double x, double y)
{
  // The head: apex at (8, 0.5), base from 1 to 15 at 7.5; the shaft 5.5 wide.
  const bool head = y >= 0.5 && y < 7.5 && std::fabs(x - 8.0) <= (y - 0.5) * 7.0 / 7.0;
  const bool shaft = y >= 7.5 && y < 14.5 && x >= 5.25 && x < 10.75;
  return head || shaft;
}

// Draws a shape at `size` pixels: a black outline `line` pixels wide, then
// a band as wide again lit on the sides facing up and left and shaded on
// those facing down and right, and the fill inside.
IndexedImage DrawShape(int size, bool (*inside)(double, double), uint8_t fill, uint8_t lit,
                       uint8_t shade)
{
  IndexedImage image = BlankIcon(size);
  const int line = size >= 48 ? 2 : 1;
  const double unit = 16.0 / size;
  std::vector<uint8_t> in(static_cast<size_t>(size) * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      in[static_cast<size_t>(y) * size + x] = inside((x + 0.5) * unit, (y + 0.5) * unit) ? 1 : 0;
  auto outside = [&](int x, int y) {
    return x < 0 || y < 0 || x >= size || y >= size || in[static_cast<size_t>(y) * size + x] == 0;
  };
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      if (outside(x, y))
        continue;
      bool edge = false, litSide = false, shadeSide = false;
      for (int d = 1; d <= 2 * line; ++d) {
        const bool near = outside(x - d, y) || outside(x + d, y) || outside(x, y - d) ||
                          outside(x, y + d) || outside(x - d, y - d) || outside(x + d, y - d) ||
                          outside(x - d, y + d) || outside(x + d, y + d);
        if (d <= line && near)
          edge = true;
        litSide = litSide || outside(x - d, y) || outside(x, y - d);
        shadeSide = shadeSide || outside(x + d, y) || outside(x, y + d);
      }
      const uint8_t colour = litSide ? lit : (shadeSide ? shade : fill);
      Put(image, x, y, edge ? static_cast<uint8_t>(Black) : colour);
    }
  }
  return image;
}

// A four-pointed yellow sparkle centred at (cx, cy) of the 16-unit square.
void DrawSparkle(IndexedImage &image, double cx, double cy)
{
  const int size = image.width;
  const int line = size >= 48 ? 2 : 1;
  const double unit = 16.0 / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double dx = std::fabs((x + 0.5) * unit - cx), dy = std::fabs((y + 0.5) * unit - cy);
      const double half = line * unit / 2.0 + 0.01;
      const bool arm = (dx <= half && dy <= 3.0) || (dy <= half && dx <= 3.0);
      const bool diagonal = std::fabs(dx - dy) <= half && dx <= 1.6;
      if (arm || diagonal)
        Put(image, x, y, Yellow);
    }
  }
}

}  // namespace

IndexedImage DrawFolderIcon(bool isNew, int size)
{
  if (size == 16)
    return isNew ? IconFromRows(NewFolderRows, Lime, Green)
                 : IconFromRows(FolderRows, Yellow, Olive);
  IndexedImage image = isNew ? DrawShape(size, InsideFolder, Lime, White, Green)
                             : DrawShape(size, InsideFolder, Yellow, White, Olive);
  if (isNew)
    DrawSparkle(image, 12.5, 3.0);
  return image;
}

IndexedImage DrawUpIcon(int size)
{
  if (size == 16)
    return IconFromRows(UpRows, Blue, Navy);
  return DrawShape(size, InsideUpArrow, Blue, White, Navy);
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
