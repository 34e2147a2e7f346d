// Checks the generated artwork and licence fragment: the file headers that
// Windows reads, the icon masks, the licence's size and line ends, that the
// fragment's escaping reads back to the same text, and that the generator
// gives the same bytes on every run.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "setup_common/banner_scale.h"
#include "tools/artgen/artgen.h"

namespace {

uint32_t Read16(const std::vector<uint8_t> &b, size_t at)
{
  return b[at] | (b[at + 1] << 8);
}

uint32_t Read32(const std::vector<uint8_t> &b, size_t at)
{
  return Read16(b, at) | (Read16(b, at + 2) << 16);
}

std::vector<uint8_t> ReadBytes(const std::filesystem::path &path)
{
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::filesystem::path &path)
{
  std::vector<uint8_t> bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

// Reads back the text of string 150 from a STRINGTABLE fragment the way
// windres does: adjacent literals joined, "" a quote, C escapes decoded.
// Also reports whether any one literal holds "??" (a trigraph start for the
// preprocessor that windres runs first).
bool ParseLicenceRc(const std::string &script, std::string *text, bool *trigraphRisk)
{
  size_t at = script.find("STRINGTABLE");
  if (at == std::string::npos)
    return false;
  at = script.find('{', at);
  if (at == std::string::npos)
    return false;
  ++at;
  while (at < script.size() && std::isspace(static_cast<unsigned char>(script[at])))
    ++at;
  if (script.compare(at, 4, "150,") != 0)
    return false;
  at += 4;
  text->clear();
  *trigraphRisk = false;
  for (;;) {
    while (at < script.size() && std::isspace(static_cast<unsigned char>(script[at])))
      ++at;
    if (at >= script.size())
      return false;
    if (script[at] == '}')
      return true;
    if (script[at] != '"')
      return false;
    ++at;
    std::string literal;
    for (;;) {
      if (at >= script.size() || script[at] == '\n')
        return false;
      char c = script[at++];
      if (c == '"') {
        if (at < script.size() && script[at] == '"') {
          literal += '"';
          ++at;
          continue;
        }
        break;
      }
      if (c == '\\') {
        if (at >= script.size())
          return false;
        char e = script[at++];
        switch (e) {
          case 'r':
            literal += '\r';
            break;
          case 'n':
            literal += '\n';
            break;
          case 't':
            literal += '\t';
            break;
          case '\\':
            literal += '\\';
            break;
          default:
            return false;
        }
        continue;
      }
      literal += c;
    }
    if (literal.find("??") != std::string::npos)
      *trigraphRisk = true;
    *text += literal;
  }
}

std::string RoundTrip(const std::string &text)
{
  std::string script, error, back;
  bool trigraph = true;
  EXPECT_TRUE(BuildLicenceRc(text, &script, &error)) << error;
  EXPECT_TRUE(ParseLicenceRc(script, &back, &trigraph)) << script;
  EXPECT_FALSE(trigraph) << script;
  return back;
}

std::filesystem::path FreshDir(const char *name)
{
  std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      (std::string("zv-artgen-test-") + name + "-" + std::to_string(getpid()));
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

const char *const GeneratedFiles[] = {
    "tarnel.bmp",      "tarnel-125.zdib", "tarnel-150.zdib", "tarnel-175.zdib", "tarnel-200.zdib",
    "tarnel-225.zdib", "tarnel-250.zdib", "tarnel-300.zdib", "setup.ico",       "folder.ico",
    "up.ico",          "newfolder.ico",   "licence.rc"};

}  // namespace

TEST(ArtBanner, BmpHeaderIs556By384With256ColourPalette)
{
  IndexedImage banner = DrawBanner();
  std::vector<uint8_t> bmp = EncodeBmp8(banner);
  ASSERT_GE(bmp.size(), 54u + 1024u);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(Read32(bmp, 2), bmp.size());          // file size
  EXPECT_EQ(Read32(bmp, 10), 14u + 40u + 1024u);  // pixel offset
  EXPECT_EQ(Read32(bmp, 14), 40u);                // BITMAPINFOHEADER
  EXPECT_EQ(Read32(bmp, 18), 556u);
  EXPECT_EQ(Read32(bmp, 22), 384u);         // positive: bottom-up
  EXPECT_EQ(Read16(bmp, 26), 1u);           // planes
  EXPECT_EQ(Read16(bmp, 28), 8u);           // bits per pixel
  EXPECT_EQ(Read32(bmp, 30), 0u);           // BI_RGB
  EXPECT_EQ(Read32(bmp, 34), 556u * 384u);  // rows of 556 need no padding
  EXPECT_EQ(Read32(bmp, 46), 256u);         // colours used
  EXPECT_EQ(bmp.size(), 14u + 40u + 1024u + 556u * 384u);
  for (size_t i = 0; i < 256; ++i)
    EXPECT_EQ(bmp[54 + i * 4 + 3], 0) << "reserved byte of palette entry " << i;
  // Bottom-up: the file's first row is the picture's last one.
  const size_t pixels = 14 + 40 + 1024;
  for (int x = 0; x < 556; ++x) {
    ASSERT_EQ(bmp[pixels + x], banner.pixels[383u * 556u + x]) << x;
    ASSERT_EQ(bmp[pixels + 383u * 556u + x], banner.pixels[x]) << x;
  }
}

TEST(ArtBanner, UsesTheWholePaletteAndKeepsTheControlBandDark)
{
  IndexedImage banner = DrawBanner();
  ASSERT_EQ(banner.palette.size(), 256u);
  std::vector<bool> used(256, false);
  for (uint8_t p : banner.pixels)
    used[p] = true;
  int distinct = 0;
  for (bool u : used)
    distinct += u ? 1 : 0;
  EXPECT_GT(distinct, 150) << "the picture should be a smooth picture, not a few flat colours";

  // Buttons and fields of the pages sit at y >= 188 dialog units (about 305
  // pixels): that band must stay dark and even.
  double sum = 0, sumSquares = 0;
  size_t count = 0;
  for (int y = 310; y < 384; ++y) {
    for (int x = 0; x < 556; ++x) {
      uint32_t rgb = banner.palette[banner.pixels[static_cast<size_t>(y) * 556 + x]];
      double luma =
          0.299 * ((rgb >> 16) & 0xFF) + 0.587 * ((rgb >> 8) & 0xFF) + 0.114 * (rgb & 0xFF);
      sum += luma;
      sumSquares += luma * luma;
      ++count;
    }
  }
  double mean = sum / count;
  double deviation = std::sqrt(sumSquares / count - mean * mean);
  EXPECT_LT(mean, 40.0);
  EXPECT_LT(deviation, 12.0);
}

// Each larger scale: the scene drawn at the page's size for that scale, and
// what setup unpacks is the picture drawn, pixel for pixel; together they
// add less than a megabyte. A damaged or short copy is refused.
TEST(ArtBanner, EveryScaleUnpacksInSetupToThePictureDrawn)
{
  size_t stored = 0;
  for (int percent : BannerScales) {
    if (percent == 100)
      continue;
    SCOPED_TRACE(percent);
    IndexedImage banner = DrawBanner(percent);
    ASSERT_EQ(banner.width, (556 * percent + 50) / 100);
    ASSERT_EQ(banner.height, (384 * percent + 50) / 100);
    std::vector<uint8_t> packed = PackBanner(banner);
    stored += packed.size();
    uint8_t head[BannerHeadSize];
    PackedBanner shape;
    ASSERT_TRUE(ReadBannerHead(packed.data(), packed.size(), head, &shape));
    ASSERT_EQ(shape.width, banner.width);
    ASSERT_EQ(shape.height, banner.height);
    std::vector<uint8_t> rows(shape.rowsSize);
    ASSERT_TRUE(UnpackBannerRows(packed.data(), packed.size(), shape, rows.data(), rows.size()));
    const size_t row = (static_cast<size_t>(banner.width) + 3) & ~static_cast<size_t>(3);
    for (int y = 0; y < banner.height; ++y)
      ASSERT_EQ(0, std::memcmp(&rows[(banner.height - 1 - y) * row],
                               &banner.pixels[static_cast<size_t>(y) * banner.width],
                               static_cast<size_t>(banner.width)))
          << "row " << y;
    EXPECT_EQ(Read32(std::vector<uint8_t>(head, head + sizeof(head)), 40 + 4 * 200),
              banner.palette[200]);

    std::vector<uint8_t> damaged = packed;
    damaged[damaged.size() / 2] ^= 0x55;
    EXPECT_FALSE(UnpackBannerRows(damaged.data(), damaged.size(), shape, rows.data(), rows.size()));
    EXPECT_FALSE(
        UnpackBannerRows(packed.data(), packed.size() - 9, shape, rows.data(), rows.size()));
    EXPECT_FALSE(
        UnpackBannerRows(packed.data(), packed.size(), shape, rows.data(), rows.size() - 1));
    PackedBanner taller = shape;
    taller.height += 1;
    taller.rowsSize += row;
    rows.resize(taller.rowsSize);
    EXPECT_FALSE(UnpackBannerRows(packed.data(), packed.size(), taller, rows.data(), rows.size()));
  }
  EXPECT_LT(stored, 1u << 20);
  EXPECT_EQ(DrawBanner(100).pixels, DrawBanner().pixels);
}

TEST(ArtBanner, ScreenGetsTheNearestScale)
{
  const int dpi[] = {0, 96, 107, 108, 120, 144, 168, 192, 200, 216, 240, 264, 288, 480};
  const int percent[] = {100, 100, 100, 100, 125, 150, 175, 200, 200, 225, 250, 250, 300, 300};
  for (size_t i = 0; i < sizeof(dpi) / sizeof(dpi[0]); ++i)
    EXPECT_EQ(BannerPercentForDpi(dpi[i]), percent[i]) << dpi[i] << " dpi";
}

TEST(ArtIcons, DirectoryEntriesGiveSizeColoursAndMask)
{
  struct Case {
    const char *name;
    IndexedImage image;
    int size;
  };
  const Case cases[] = {{"setup", DrawSetupIcon(), 32},
                        {"folder", DrawFolderIcon(false), 16},
                        {"up", DrawUpIcon(), 16},
                        {"new folder", DrawFolderIcon(true), 16}};
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> ico = EncodeIcon(c.image, 4);
    const uint32_t size = static_cast<uint32_t>(c.size);
    const uint32_t xorRow = ((size * 4 + 31) / 32) * 4;
    const uint32_t andRow = ((size + 31) / 32) * 4;
    ASSERT_EQ(ico.size(), 6u + 16u + 40u + 64u + size * xorRow + size * andRow);
    EXPECT_EQ(Read16(ico, 0), 0u);
    EXPECT_EQ(Read16(ico, 2), 1u);  // icon
    EXPECT_EQ(Read16(ico, 4), 1u);  // one image
    EXPECT_EQ(ico[6], size);
    EXPECT_EQ(ico[7], size);
    EXPECT_EQ(ico[8], 16);  // colours
    EXPECT_EQ(ico[9], 0);
    EXPECT_EQ(Read16(ico, 10), 1u);  // planes
    EXPECT_EQ(Read16(ico, 12), 4u);  // bits per pixel
    EXPECT_EQ(Read32(ico, 14), ico.size() - 22);
    EXPECT_EQ(Read32(ico, 18), 22u);
    EXPECT_EQ(Read32(ico, 22), 40u);
    EXPECT_EQ(Read32(ico, 26), size);
    EXPECT_EQ(Read32(ico, 30), size * 2);  // colour rows and mask rows
    EXPECT_EQ(Read16(ico, 36), 4u);

    // Every pixel: mask bit 1 exactly where the image is transparent, and
    // the colour there black so the icon draws cleanly on any background.
    const size_t xorAt = 22 + 40 + 64, andAt = xorAt + size * xorRow;
    int opaque = 0, transparent = 0;
    for (uint32_t y = 0; y < size; ++y) {
      uint32_t fileRow = size - 1 - y;
      for (uint32_t x = 0; x < size; ++x) {
        bool maskBit = (ico[andAt + fileRow * andRow + x / 8] & (0x80 >> (x % 8))) != 0;
        uint8_t packed = ico[xorAt + fileRow * xorRow + x / 2];
        uint8_t colour = (x % 2 == 0) ? packed >> 4 : packed & 0x0F;
        size_t at = static_cast<size_t>(y) * size + x;
        ASSERT_EQ(maskBit, c.image.mask[at] != 0) << x << "," << y;
        ASSERT_EQ(colour, c.image.pixels[at]) << x << "," << y;
        if (maskBit) {
          ASSERT_EQ(colour, 0) << x << "," << y;
          ++transparent;
        } else {
          ++opaque;
        }
      }
    }
    EXPECT_GT(opaque, static_cast<int>(size * size / 4));
    EXPECT_GT(transparent, 0);
  }
}

TEST(ArtIcons, FolderColoursTellTheEntriesApart)
{
  auto count = [](const IndexedImage &image, uint8_t colour) {
    int n = 0;
    for (size_t i = 0; i < image.pixels.size(); ++i)
      n += (image.mask[i] == 0 && image.pixels[i] == colour);
    return n;
  };
  const uint8_t yellow = 11, lime = 10;
  IndexedImage folder = DrawFolderIcon(false), fresh = DrawFolderIcon(true);
  EXPECT_EQ(StandardPalette16[yellow], 0xFFFF00u);
  EXPECT_EQ(StandardPalette16[lime], 0x00FF00u);
  EXPECT_GT(count(folder, yellow), 60);
  EXPECT_EQ(count(folder, lime), 0);
  EXPECT_GT(count(fresh, lime), 60);
}

TEST(ArtIcons, EncoderRefusesIndicesBeyondTheDepth)
{
  IndexedImage image = DrawUpIcon();
  image.pixels[5] = 16;
  EXPECT_TRUE(EncodeIcon(image, 4).empty());
  EXPECT_FALSE(EncodeIcon(image, 8).empty());
  EXPECT_TRUE(EncodeIcon(image, 3).empty());
  std::vector<uint8_t> eight = EncodeIcon(image, 8);
  EXPECT_EQ(eight[8], 0);  // 256 colours are written as 0
  EXPECT_EQ(Read16(eight, 12), 8u);
}

TEST(ArtLicence, ShippedTextFitsTheAgreementPageWithCrLfLines)
{
  std::string source = ReadText(ZV_LICENCE_TXT), text, error;
  ASSERT_FALSE(source.empty());
  ASSERT_TRUE(NormaliseLicence(source, &text, &error)) << error;
  EXPECT_LT(text.size(), 7000u);
  EXPECT_GT(text.size(), 3000u);
  for (size_t i = 0; i < text.size(); ++i) {
    ASSERT_TRUE(text[i] != '\n' || (i > 0 && text[i - 1] == '\r')) << "bare LF at " << i;
    ASSERT_TRUE(text[i] != '\r' || (i + 1 < text.size() && text[i + 1] == '\n'))
        << "bare CR at " << i;
  }
  EXPECT_NE(text.find("The Zorvane"), std::string::npos);
  EXPECT_NE(text.find("\r\n\r\n"), std::string::npos) << "paragraphs are separated by empty lines";
  EXPECT_NE(text.substr(text.size() - 2), "\r\n");
  EXPECT_EQ(RoundTrip(text), text);
}

TEST(ArtLicence, LineEndsOfEveryKindBecomeCrLf)
{
  std::string text, error;
  ASSERT_TRUE(NormaliseLicence("a\nb\r\nc\rd\n\n", &text, &error));
  EXPECT_EQ(text, "a\r\nb\r\nc\r\nd");
  ASSERT_TRUE(NormaliseLicence("", &text, &error));
  EXPECT_EQ(text, "");
  EXPECT_FALSE(NormaliseLicence("caf\xC3\xA9", &text, &error));
  EXPECT_NE(error.find("line 1"), std::string::npos);
  EXPECT_FALSE(NormaliseLicence("ok\nbell\a", &text, &error));
  EXPECT_NE(error.find("line 2"), std::string::npos);
}

TEST(ArtLicence, EscapingReadsBackToTheSameText)
{
  const std::string samples[] = {
      "",
      "plain",
      "He said \"I agree\".\r\n\"\"quoted twice\"\"",
      "C:\\Program files\\The Zorvane\\",
      "tab\there\r\n\r\n\r\nthree breaks",
      "Really?"
      "?) What?"
      "?( ?"
      "?/ ?"
      "?"
      "? ?\?= end?",
      "?",
      "\r\n",
      std::string(300, 'x') + " " + std::string(80, 'y') + "\r\n" + std::string(150, ' '),
  };
  for (const std::string &sample : samples)
    EXPECT_EQ(RoundTrip(sample), sample);
}

TEST(ArtLicence, TextLongerThanThePageBufferIsRefused)
{
  std::string script, error, back;
  bool trigraph;
  std::string longest(LicenceMaxChars, 'a');
  ASSERT_TRUE(BuildLicenceRc(longest, &script, &error));
  ASSERT_TRUE(ParseLicenceRc(script, &back, &trigraph));
  EXPECT_EQ(back, longest);
  EXPECT_FALSE(BuildLicenceRc(longest + "a", &script, &error));
  EXPECT_NE(error.find("6999"), std::string::npos);
}

TEST(ArtGenerator, TwoRunsWriteTheSameBytes)
{
  std::filesystem::path first = FreshDir("a"), second = FreshDir("b");
  for (const auto &dir : {first, second}) {
    std::string command = std::string("\"") + ZV_ARTGEN_EXE + "\" \"" + dir.string() + "\" \"" +
                          ZV_LICENCE_TXT + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  for (const char *name : GeneratedFiles) {
    std::vector<uint8_t> a = ReadBytes(first / name), b = ReadBytes(second / name);
    EXPECT_FALSE(a.empty()) << name;
    EXPECT_EQ(a, b) << name;
  }
  // The files are the encoders' output, unchanged.
  EXPECT_EQ(ReadBytes(first / "tarnel.bmp"), EncodeBmp8(DrawBanner()));
  EXPECT_EQ(ReadBytes(first / "setup.ico"), EncodeIcon(DrawSetupIcon(), 4));
  std::string text, back;
  bool trigraph;
  ASSERT_TRUE(ParseLicenceRc(ReadText(first / "licence.rc"), &back, &trigraph));
  std::string error;
  ASSERT_TRUE(NormaliseLicence(ReadText(ZV_LICENCE_TXT), &text, &error));
  EXPECT_EQ(back, text);
  std::filesystem::remove_all(first);
  std::filesystem::remove_all(second);
}

TEST(ArtGenerator, FailsWithoutOutputDirectoryOrLicence)
{
  std::filesystem::path dir = FreshDir("c");
  std::string tool = std::string("\"") + ZV_ARTGEN_EXE + "\"";
  EXPECT_NE(std::system((tool + " 2>/dev/null").c_str()), 0);
  EXPECT_NE(std::system((tool + " \"" + dir.string() + "\" \"" + dir.string() +
                         "/missing.txt\" 2>/dev/null")
                            .c_str()),
            0);
  EXPECT_FALSE(std::filesystem::exists(dir / "licence.rc"));
  EXPECT_NE(std::system((tool + " \"" + dir.string() + "/no/such/dir\" 2>/dev/null").c_str()), 0);
  std::filesystem::remove_all(dir);
}
