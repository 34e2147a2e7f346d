// The wizard pages' background picture: a night sky over dark hills with a
// ringed planet, lettered "THE ZORVANE" in the top-left corner. The lower
// part, where the pages put their buttons and fields, is kept dark and
// plain so that the controls read well on it.
//
// The palette is made of five colour ramps; every pixel is a value along
// one ramp, rounded to a palette entry with an 8 x 8 ordered dither so the
// gradients show no bands at 256 colours.
#include <algorithm>
#include <cmath>

#include "tools/artgen/artgen.h"
#include "tools/artgen/pixel_font.h"

namespace {

struct Stop {
  double at;
  uint32_t rgb;
};

struct Ramp {
  int first;  // first palette index
  int count;  // number of entries
};

constexpr Ramp SkyRamp = {0, 96};
constexpr Ramp PlanetRamp = {96, 64};
constexpr Ramp RingRamp = {160, 32};
constexpr Ramp GroundRamp = {192, 32};
constexpr Ramp LightRamp = {224, 32};

const Stop SkyStops[] = {
    {0.0, 0x050818}, {0.35, 0x121840}, {0.7, 0x342764}, {0.88, 0x6a3a74}, {1.0, 0xb45c78}};
const Stop PlanetStops[] = {
    {0.0, 0x060b18}, {0.3, 0x113152}, {0.62, 0x2b7aa3}, {0.86, 0x78c4d8}, {1.0, 0xe6f8f4}};
const Stop RingStops[] = {{0.0, 0x241a0e}, {0.5, 0x957439}, {1.0, 0xf4dfac}};
const Stop GroundStops[] = {{0.0, 0x02030a}, {0.55, 0x0d0e26}, {1.0, 0x2c2450}};
const Stop LightStops[] = {{0.0, 0x3a3022}, {0.5, 0xc4a460}, {1.0, 0xfffbea}};

// Standard 8 x 8 ordered-dither thresholds (0..63).
const uint8_t Bayer[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21},
};

// Planet and ring geometry, in pixels.
constexpr double PlanetX = 420.0;
constexpr double PlanetY = 118.0;
constexpr double PlanetRadius = 66.0;
constexpr double RingTilt = -0.34;    // radians
constexpr double RingFlatten = 0.28;  // minor / major axis
constexpr double RingInner = 1.35;    // in planet radii
constexpr double RingOuter = 2.05;

// Title lettering.
constexpr int TitleX = 18;
constexpr int TitleY = 7;
constexpr int TitleScale = 3;

uint8_t Channel(uint32_t rgb, int shift)
{
  return static_cast<uint8_t>((rgb >> shift) & 0xFF);
}

template <size_t N> void FillRamp(std::vector<uint32_t> &palette, Ramp ramp, const Stop (&stops)[N])
{
  for (int i = 0; i < ramp.count; ++i) {
    double t = ramp.count > 1 ? static_cast<double>(i) / (ramp.count - 1) : 0.0;
    size_t s = 0;
    while (s + 2 < N && t > stops[s + 1].at)
      ++s;
    double span = stops[s + 1].at - stops[s].at;
    double f = span > 0 ? (t - stops[s].at) / span : 0.0;
    f = f < 0 ? 0 : (f > 1 ? 1 : f);
    uint32_t rgb = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
      double a = Channel(stops[s].rgb, shift);
      double b = Channel(stops[s + 1].rgb, shift);
      uint32_t c = static_cast<uint32_t>(std::lround(a + (b - a) * f));
      rgb |= (c & 0xFF) << shift;
    }
    palette[static_cast<size_t>(ramp.first + i)] = rgb;
  }
}

double Clamp01(double v)
{
  return v < 0 ? 0 : (v > 1 ? 1 : v);
}

// Palette entry for a value along a ramp, dithered by pixel position.
uint8_t Dithered(Ramp ramp, double value, int x, int y)
{
  double scaled = Clamp01(value) * (ramp.count - 1);
  double threshold = (Bayer[y & 7][x & 7] + 0.5) / 64.0;
  double base = std::floor(scaled);
  int step = static_cast<int>(base) + (scaled - base >= threshold ? 1 : 0);
  if (step > ramp.count - 1)
    step = ramp.count - 1;
  return static_cast<uint8_t>(ramp.first + step);
}

// Palette entry for a value along a ramp, without dither (for lettering).
uint8_t Plain(Ramp ramp, double value)
{
  return static_cast<uint8_t>(ramp.first + std::lround(Clamp01(value) * (ramp.count - 1)));
}

double FarRidge(double x)
{
  return 266.0 + 12.0 * std::sin(x * 0.0115 + 0.8) + 7.0 * std::sin(x * 0.029 + 2.1) +
         3.0 * std::sin(x * 0.071);
}

double NearRidge(double x)
{
  return 302.0 + 9.0 * std::sin(x * 0.0085 + 2.6) + 5.0 * std::sin(x * 0.023 + 0.4);
}

double SkyValue(double x, double y)
{
  double v = std::pow(Clamp01(y / 300.0), 1.25) * 0.82;
  double gx = (x - 250.0) / 230.0;
  double gy = (y - 292.0) / 70.0;
  return v + 0.22 * std::exp(-(gx * gx + gy * gy));
}

// Ring coordinates of a point: radius in planet radii on the ring plane,
// and whether the point lies on the near half (in front of the planet).
void RingPoint(double dx, double dy, double *radius, bool *front)
{
  double u = dx * std::cos(RingTilt) + dy * std::sin(RingTilt);
  double w = -dx * std::sin(RingTilt) + dy * std::cos(RingTilt);
  *radius = std::sqrt(u * u + (w / RingFlatten) * (w / RingFlatten));
  *front = w > 0;
}

bool OnRing(double radius)
{
  return radius >= RingInner && radius <= RingOuter && !(radius > 1.68 && radius < 1.74);
}

double RingValue(double radius)
{
  double band = 0.5 + 0.5 * std::sin(radius * 29.0);
  double edge = std::min(radius - RingInner, RingOuter - radius) / 0.12;
  return (0.45 + 0.4 * band) * Clamp01(0.35 + edge);
}

double PlanetValue(double dx, double dy)
{
  double nz = std::sqrt(std::max(0.0, 1.0 - dx * dx - dy * dy));
  const double lx = -0.58, ly = -0.52, lz = 0.63;
  double lambert = std::max(0.0, dx * lx + dy * ly + nz * lz);
  double latitude = dy * std::cos(RingTilt) - dx * std::sin(RingTilt);
  double bands = 0.9 + 0.1 * std::sin(latitude * 15.0 + 0.6 * std::sin(dx * 6.0));
  double rim = 0.12 * std::pow(1.0 - nz, 3.0) * (lambert > 0.05 ? 1.0 : 0.3);
  return 0.05 + 0.9 * lambert * bands + rim;
}

// What covers each pixel, so that stars land only on open sky.
enum Layer : uint8_t { LayerSky, LayerPlanet, LayerRing, LayerHills, LayerText };

// The picture at a scale: every pixel is drawn from the point of the
// 100 % picture that its centre covers, so a larger picture shows the same
// scene in finer detail rather than enlarged pixels. Details that are whole
// pixels of the 100 % picture (stars, lettering, the rule) cover the block
// of pixels that their pixel covers at the scale.
struct Canvas {
  IndexedImage &image;
  std::vector<uint8_t> &layers;
  double scale;
};

// The pixels that pixel `at` of the 100 % picture covers along one axis:
// from *first up to, not including, *last.
void CoveredSpan(double scale, int at, int limit, int *first, int *last)
{
  *first = std::clamp(static_cast<int>(std::floor(at * scale)), 0, limit);
  *last = std::clamp(static_cast<int>(std::floor((at + 1) * scale)), 0, limit);
}

void DrawScene(Canvas &canvas)
{
  IndexedImage &image = canvas.image;
  std::vector<uint8_t> &layers = canvas.layers;
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      double px = (x + 0.5) / canvas.scale, py = (y + 0.5) / canvas.scale;
      size_t at = static_cast<size_t>(y) * image.width + x;
      uint8_t index;
      Layer layer;
      double near = NearRidge(px), far = FarRidge(px);
      double dx = (px - PlanetX) / PlanetRadius, dy = (py - PlanetY) / PlanetRadius;
      double ringRadius;
      bool ringFront;
      RingPoint(dx, dy, &ringRadius, &ringFront);
      bool inPlanet = dx * dx + dy * dy <= 1.0;
      bool inRing = OnRing(ringRadius);
      if (py >= near) {
        double depth = Clamp01((py - near) / 70.0);
        index = Dithered(GroundRamp, py - near < 1.5 ? 0.62 : 0.30 * (1.0 - depth) + 0.04, x, y);
        layer = LayerHills;
      } else if (py >= far) {
        double depth = Clamp01((py - far) / 45.0);
        index = Dithered(GroundRamp, 0.85 - 0.35 * depth, x, y);
        layer = LayerHills;
      } else if (inRing && (ringFront || !inPlanet)) {
        double shade = (!ringFront && !inPlanet) ? 0.8 : 1.0;
        index = Dithered(RingRamp, RingValue(ringRadius) * shade, x, y);
        layer = LayerRing;
      } else if (inPlanet) {
        index = Dithered(PlanetRamp, PlanetValue(dx, dy), x, y);
        layer = LayerPlanet;
      } else {
        index = Dithered(SkyRamp, SkyValue(px, py), x, y);
        layer = LayerSky;
      }
      image.pixels[at] = index;
      layers[at] = layer;
    }
  }
}

// Deterministic pseudo-random numbers for the star field.
uint32_t NextRandom(uint32_t &state)
{
  state = state * 1664525u + 1013904223u;
  return state >> 8;
}

// Sets the pixels that pixel (x, y) of the 100 % picture covers to `index`,
// marking them `layer`.
void PutBlock(Canvas &canvas, int x, int y, uint8_t index, Layer layer)
{
  int left, right, top, bottom;
  CoveredSpan(canvas.scale, x, canvas.image.width, &left, &right);
  CoveredSpan(canvas.scale, y, canvas.image.height, &top, &bottom);
  for (int oy = top; oy < bottom; ++oy) {
    for (int ox = left; ox < right; ++ox) {
      size_t at = static_cast<size_t>(oy) * canvas.image.width + ox;
      canvas.image.pixels[at] = index;
      canvas.layers[at] = layer;
    }
  }
}

// A star's pixel of the 100 % picture, drawn as a square of whole pixels
// at the scale (its side the scale rounded, at least 1) around the point
// where its centre lies: stars keep one shape at every scale. dx, dy move
// it by whole squares (the arms of a big star). Only open sky is lit.
void PutStarPixel(Canvas &canvas, int x, int y, int dx, int dy, double brightness)
{
  const int side = std::max(1, static_cast<int>(std::lround(canvas.scale)));
  const int left = static_cast<int>(std::lround((x + 0.5) * canvas.scale - side / 2.0)) + dx * side;
  const int top = static_cast<int>(std::lround((y + 0.5) * canvas.scale - side / 2.0)) + dy * side;
  const uint8_t index = Plain(LightRamp, brightness);
  for (int oy = std::max(top, 0); oy < std::min(top + side, canvas.image.height); ++oy) {
    for (int ox = std::max(left, 0); ox < std::min(left + side, canvas.image.width); ++ox) {
      size_t at = static_cast<size_t>(oy) * canvas.image.width + ox;
      if (canvas.layers[at] == LayerSky)
        canvas.image.pixels[at] = index;
    }
  }
}

void DrawStars(Canvas &canvas)
{
  uint32_t state = 0x5A0E2026u;
  for (int i = 0; i < 170; ++i) {
    int x = static_cast<int>(NextRandom(state) % static_cast<uint32_t>(BannerWidth));
    int y = static_cast<int>(NextRandom(state) % 280u);
    double brightness = 0.35 + (NextRandom(state) % 1000u) / 1000.0 * 0.65;
    bool big = NextRandom(state) % 100u < 9;
    // Leave the lettering's corner clear.
    if (y < 36 && x < 290)
      continue;
    // Fainter towards the horizon glow.
    brightness *= 1.0 - 0.45 * Clamp01((y - 150) / 130.0);
    PutStarPixel(canvas, x, y, 0, 0, brightness);
    if (big) {
      PutStarPixel(canvas, x, y, -1, 0, brightness * 0.55);
      PutStarPixel(canvas, x, y, 1, 0, brightness * 0.55);
      PutStarPixel(canvas, x, y, 0, -1, brightness * 0.55);
      PutStarPixel(canvas, x, y, 0, 1, brightness * 0.55);
    }
  }
}

// Draws text with the pixel font, each font pixel a square of `scale`
// pixels, with a dark drop shadow; brightness falls from `top` to `bottom`.
void DrawText(Canvas &canvas, const char *text, int left, int topY, int scale, double top,
              double bottom)
{
  for (int pass = 0; pass < 2; ++pass) {
    int offset = pass == 0 ? (scale > 1 ? 2 : 1) : 0;
    int x0 = left;
    for (const char *c = text; *c != 0; ++c, x0 += GlyphAdvance * scale) {
      const uint8_t *rows = GlyphRows(*c);
      for (int gy = 0; gy < GlyphHeight * scale; ++gy) {
        for (int gx = 0; gx < GlyphWidth * scale; ++gx) {
          if ((rows[gy / scale] & (0x10 >> (gx / scale))) == 0)
            continue;
          int x = x0 + gx + offset, y = topY + gy + offset;
          if (x < 0 || y < 0 || x >= BannerWidth || y >= BannerHeight)
            continue;
          double t = static_cast<double>(gy) / (GlyphHeight * scale - 1);
          PutBlock(canvas, x, y,
                   pass == 0 ? Plain(GroundRamp, 0.0) : Plain(LightRamp, top + (bottom - top) * t),
                   LayerText);
        }
      }
    }
  }
}

// A thin line under the title that fades out to the right.
void DrawTitleRule(Canvas &canvas, int left, int y, int length)
{
  for (int i = 0; i < length; ++i) {
    double fade = 1.0 - static_cast<double>(i) / length;
    // The layer is left as it was: the rule is drawn last.
    int left0, right0, top0, bottom0;
    CoveredSpan(canvas.scale, left + i, canvas.image.width, &left0, &right0);
    CoveredSpan(canvas.scale, y, canvas.image.height, &top0, &bottom0);
    for (int oy = top0; oy < bottom0; ++oy)
      for (int ox = left0; ox < right0; ++ox)
        canvas.image.pixels[static_cast<size_t>(oy) * canvas.image.width + ox] =
            Plain(LightRamp, 0.25 + 0.5 * fade);
  }
}

}  // namespace

int ScaledBannerSide(int side, int percent)
{
  return (side * percent + 50) / 100;
}

IndexedImage DrawBanner(int percent)
{
  IndexedImage image;
  image.width = ScaledBannerSide(BannerWidth, percent);
  image.height = ScaledBannerSide(BannerHeight, percent);
  image.pixels.assign(static_cast<size_t>(image.width) * image.height, 0);
  image.palette.assign(256, 0);
  FillRamp(image.palette, SkyRamp, SkyStops);
  FillRamp(image.palette, PlanetRamp, PlanetStops);
  FillRamp(image.palette, RingRamp, RingStops);
  FillRamp(image.palette, GroundRamp, GroundStops);
  FillRamp(image.palette, LightRamp, LightStops);

  std::vector<uint8_t> layers(image.pixels.size(), LayerSky);
  Canvas canvas{image, layers, percent / 100.0};
  DrawScene(canvas);
  DrawStars(canvas);
  const char *title = "THE ZORVANE";
  DrawText(canvas, title, TitleX, TitleY, TitleScale, 1.0, 0.62);
  int titleWidth = 11 * GlyphAdvance * TitleScale - TitleScale;
  DrawText(canvas, "SETUP", TitleX + titleWidth + 14, TitleY + 7, 2, 0.62, 0.45);
  DrawTitleRule(canvas, TitleX, TitleY + GlyphHeight * TitleScale + 4, 260);
  return image;
}
