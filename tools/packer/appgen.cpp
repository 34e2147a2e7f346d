// zv-appgen: writes the generated files of the sample application that the
// payload carries: pictures, sounds, maps and data of mixed
// compressibility, a few MB in all. Every byte follows from fixed seeds, so
// the same build always packs the same payload.
//
//   zv-appgen [--repeat N] [--large MB] OUTDIR   (OUTDIR, OUTDIR/Maps and
//                                                OUTDIR/Sounds are created)
// --repeat writes every generated file N times over, end to end: a payload
// of the same shape and compressibility, N times the size, for benchmarks.
// --large writes Title.bmp over and over until it holds at least MB MiB
// (up to 4000): one entry far larger than any buffer of the installer, as a
// game's big data file is.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

int Repeat = 1;
// Title.bmp is written until it holds at least this many bytes (0: Repeat).
uint64_t LargeBytes = 0;

// SplitMix64: small, fast and the same on every machine.
struct Random {
  uint64_t state;
};

uint64_t NextRandom(Random *random)
{
  uint64_t z = (random->state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

void Put16(Bytes *out, uint32_t value)
{
  out->push_back(static_cast<uint8_t>(value));
  out->push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(Bytes *out, uint32_t value)
{
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

void PutText(Bytes *out, const char *text)
{
  while (*text != '\0')
    out->push_back(static_cast<uint8_t>(*text++));
}

bool WriteBytesTimes(const std::string &path, const Bytes &bytes, uint64_t times)
{
  FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::perror(path.c_str());
    return false;
  }
  bool ok = true;
  for (uint64_t i = 0; i < times && ok; ++i)
    ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok)
    std::fprintf(stderr, "zv-appgen: %s: write failed\n", path.c_str());
  return ok;
}

bool WriteBytes(const std::string &path, const Bytes &bytes)
{
  return WriteBytesTimes(path, bytes, static_cast<uint64_t>(Repeat));
}

// The large entry: whole copies of bytes until at least LargeBytes.
bool WriteLarge(const std::string &path, const Bytes &bytes)
{
  if (LargeBytes == 0)
    return WriteBytes(path, bytes);
  return WriteBytesTimes(path, bytes, (LargeBytes + bytes.size() - 1) / bytes.size());
}

// Packed texture atlas: mostly noise with a little structure, the part of
// the payload that hardly compresses.
Bytes MakeTextures()
{
  Random random = {0x5A0125EEull};
  Bytes out;
  PutText(&out, "ZVTX");
  Put32(&out, 1);
  while (out.size() < 655360) {
    uint64_t word = NextRandom(&random);
    for (int i = 0; i < 8 && out.size() < 655360; ++i)
      out.push_back(static_cast<uint8_t>(word >> (8 * i)));
    if ((word & 0xFF) < 24)
      for (int i = 0; i < 32 && out.size() < 655360; ++i)
        out.push_back(0x80);
  }
  return out;
}

// 24-bit bottom-up BMP: the title picture, smooth gradients and rings.
Bytes MakeTitlePicture()
{
  const int width = 320;
  const int height = 240;
  const int rowBytes = (width * 3 + 3) & ~3;
  Bytes out;
  PutText(&out, "BM");
  Put32(&out, static_cast<uint32_t>(54 + rowBytes * height));
  Put32(&out, 0);
  Put32(&out, 54);
  Put32(&out, 40);
  Put32(&out, width);
  Put32(&out, height);
  Put16(&out, 1);
  Put16(&out, 24);
  Put32(&out, 0);
  Put32(&out, static_cast<uint32_t>(rowBytes * height));
  Put32(&out, 2835);
  Put32(&out, 2835);
  Put32(&out, 0);
  Put32(&out, 0);
  for (int y = 0; y < height; ++y) {
    int row = 0;
    for (int x = 0; x < width; ++x) {
      int dx = x - width / 2;
      int dy = y - height / 2;
      int ring = ((dx * dx + dy * dy) / 300) % 2;
      out.push_back(static_cast<uint8_t>(64 + y / 2));       // blue
      out.push_back(static_cast<uint8_t>(ring ? 40 : 90));   // green
      out.push_back(static_cast<uint8_t>(x * 255 / width));  // red
      row += 3;
    }
    for (; row < rowBytes; ++row)
      out.push_back(0);
  }
  return out;
}

// A mono 16-bit PCM WAV file: tones with a little noise.
Bytes MakeWave(uint32_t samples, double frequency, uint64_t seed)
{
  Random random = {seed};
  Bytes out;
  PutText(&out, "RIFF");
  Put32(&out, 36 + samples * 2);
  PutText(&out, "WAVEfmt ");
  Put32(&out, 16);
  Put16(&out, 1);
  Put16(&out, 1);
  Put32(&out, 22050);
  Put32(&out, 44100);
  Put16(&out, 2);
  Put16(&out, 16);
  PutText(&out, "data");
  Put32(&out, samples * 2);
  for (uint32_t i = 0; i < samples; ++i) {
    double t = static_cast<double>(i) / 22050.0;
    double fade = 1.0 - static_cast<double>(i) / samples;
    double tone = std::sin(6.283185307179586 * frequency * t) * 9000.0 * fade;
    int noise = static_cast<int>(NextRandom(&random) % 64) - 32;
    int value = static_cast<int>(std::lround(tone)) + noise;
    Put16(&out, static_cast<uint32_t>(value) & 0xFFFF);
  }
  return out;
}

// Music bank: several voices of sampled sound, medium compressibility.
Bytes MakeMusic()
{
  Bytes out;
  PutText(&out, "ZVMU");
  const double notes[] = {261.63, 293.66, 329.63, 349.23, 392.0, 440.0};
  for (int voice = 0; voice < 6; ++voice) {
    Bytes wave = MakeWave(50000, notes[voice], 0x4D55ull + static_cast<uint64_t>(voice));
    out.insert(out.end(), wave.begin() + 44, wave.end());
  }
  return out;
}

// Word list for the in-game text: plain text, compresses well.
Bytes MakeWords()
{
  static const char *const syllables[] = {"zor", "va", "ne", "tar", "nel", "ka", "ri",  "mo",
                                          "lun", "de", "si", "ar",  "qu",  "el", "tho", "bri"};
  Random random = {0x776F7264ull};
  Bytes out;
  int line = 0;
  while (out.size() < 400000) {
    char prefix[32];
    std::snprintf(prefix, sizeof(prefix), "%06d ", line++);
    PutText(&out, prefix);
    uint64_t word = NextRandom(&random);
    int parts = 2 + static_cast<int>(word % 3);
    for (int i = 0; i < parts; ++i)
      PutText(&out, syllables[(word >> (4 + 4 * i)) & 15]);
    PutText(&out, "\r\n");
  }
  return out;
}

// Level records: fixed-size structures with small counters and names.
Bytes MakeLevels()
{
  Random random = {0x4C45564Cull};
  Bytes out;
  PutText(&out, "ZVLV");
  for (uint32_t level = 0; level < 4800; ++level) {
    Put32(&out, level);
    char name[24] = {};
    std::snprintf(name, sizeof(name), "Level %u", level);
    out.insert(out.end(), name, name + sizeof(name));
    for (int i = 0; i < 9; ++i)
      Put32(&out, static_cast<uint32_t>(NextRandom(&random) % 1000));
    for (int i = 0; i < 8; ++i)
      out.push_back(static_cast<uint8_t>(NextRandom(&random)));
  }
  return out;
}

// 8 x 16 glyph bitmaps of 256 characters in 24 weights.
Bytes MakeFonts()
{
  Bytes out;
  PutText(&out, "ZVFN");
  for (int weight = 0; weight < 24; ++weight) {
    for (int glyph = 0; glyph < 256; ++glyph) {
      for (int row = 0; row < 16; ++row) {
        unsigned bits = static_cast<unsigned>((glyph * 31 + row * 7 + weight) & 0xFF);
        out.push_back(static_cast<uint8_t>(row < 2 || row > 13 ? 0 : bits | (weight & 1)));
      }
    }
  }
  return out;
}

// A tile map: runs of terrain with scattered objects.
Bytes MakeMap(int number)
{
  Random random = {0x4D415000ull + static_cast<uint64_t>(number)};
  const int side = 256 + 64 * number;
  Bytes out;
  PutText(&out, "ZVMP");
  Put32(&out, static_cast<uint32_t>(side));
  Put32(&out, static_cast<uint32_t>(side));
  uint8_t terrain = 1;
  for (int i = 0; i < side * side; ++i) {
    uint64_t word = NextRandom(&random);
    if ((word & 63) == 0)
      terrain = static_cast<uint8_t>(1 + (word >> 8) % 6);
    out.push_back((word >> 16 & 31) == 0 ? static_cast<uint8_t>(0x40 | (word >> 24 & 15))
                                         : terrain);
  }
  return out;
}

bool MakeDir(const std::string &path)
{
  if (mkdir(path.c_str(), 0755) != 0) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
      std::perror(path.c_str());
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char **argv)
{
  int first = 1;
  long largeMiB = 0;
  bool usage = false;
  while (first + 2 < argc && argv[first][0] == '-') {
    std::string option = argv[first];
    long value = std::atol(argv[first + 1]);
    if (option == "--repeat") {
      Repeat = static_cast<int>(value);
      usage = usage || value < 1 || value > 1000;
    } else if (option == "--large") {
      largeMiB = value;
      usage = usage || value < 1 || value > 4000;
    } else {
      usage = true;
    }
    first += 2;
  }
  if (usage || argc != first + 1) {
    std::fprintf(stderr, "usage: zv-appgen [--repeat N] [--large MB] OUTDIR\n");
    return 2;
  }
  LargeBytes = static_cast<uint64_t>(largeMiB) << 20;
  std::string root = argv[first];
  if (!MakeDir(root) || !MakeDir(root + "/Maps") || !MakeDir(root + "/Sounds"))
    return 1;
  bool ok = WriteBytes(root + "/Textures.pak", MakeTextures()) &&
            WriteLarge(root + "/Title.bmp", MakeTitlePicture()) &&
            WriteBytes(root + "/Music.dat", MakeMusic()) &&
            WriteBytes(root + "/Words.dat", MakeWords()) &&
            WriteBytes(root + "/Levels.dat", MakeLevels()) &&
            WriteBytes(root + "/Fonts.dat", MakeFonts());
  for (int map = 1; ok && map <= 4; ++map) {
    char name[32];
    std::snprintf(name, sizeof(name), "/Maps/Map%02d.map", map);
    ok = WriteBytes(root + name, MakeMap(map));
  }
  ok = ok && WriteBytes(root + "/Sounds/Click.wav", MakeWave(4000, 1200.0, 0xC11Cull)) &&
       WriteBytes(root + "/Sounds/Step.wav", MakeWave(22050, 180.0, 0x57E9ull)) &&
       WriteBytes(root + "/Sounds/Theme.wav", MakeWave(264600, 220.0, 0x7E3Eull));
  return ok ? 0 : 1;
}
