// zv-artgen OUTDIR [LICENCE_TXT]
//
// Writes the artwork and the licence fragment that resources/setup.rc
// includes: tarnel.bmp (the banner at 100 %), tarnel-PERCENT.zdib (the
// banner drawn for each larger scale, packed), setup.ico, folder.ico, up.ico,
// newfolder.ico (each list image at 16, 24, 32 and 48 pixels) and
// licence.rc. Without LICENCE_TXT the licence comes from the source tree's resources/.
// Exits with 1 and a message on the first failure.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "setup_common/banner_scale.h"
#include "tools/artgen/artgen.h"

#ifndef ZV_DEFAULT_LICENCE
#define ZV_DEFAULT_LICENCE "licence.txt"
#endif

namespace {

bool WriteFile(const std::string &path, const std::vector<uint8_t> &bytes)
{
  FILE *file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) {
    std::fprintf(stderr, "zv-artgen: cannot create %s\n", path.c_str());
    return false;
  }
  size_t written = bytes.empty() ? 0 : std::fwrite(bytes.data(), 1, bytes.size(), file);
  bool closed = std::fclose(file) == 0;
  if (written != bytes.size() || !closed) {
    std::fprintf(stderr, "zv-artgen: cannot write %s\n", path.c_str());
    return false;
  }
  return true;
}

bool ReadFile(const std::string &path, std::string *text)
{
  FILE *file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    std::fprintf(stderr, "zv-artgen: cannot open %s\n", path.c_str());
    return false;
  }
  char block[4096];
  size_t got;
  while ((got = std::fread(block, 1, sizeof(block), file)) > 0)
    text->append(block, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) {
    std::fprintf(stderr, "zv-artgen: cannot read %s\n", path.c_str());
    return false;
  }
  return true;
}

bool WriteIcon(const std::string &path, const std::vector<IndexedImage> &images)
{
  std::vector<uint8_t> bytes = EncodeIcon(images, 4);
  if (bytes.empty()) {
    std::fprintf(stderr, "zv-artgen: %s does not fit 16 colours\n", path.c_str());
    return false;
  }
  return WriteFile(path, bytes);
}

// A list image at every size of ListIconSizes.
template <typename Draw> std::vector<IndexedImage> ListIcon(Draw draw)
{
  std::vector<IndexedImage> images;
  for (int size : ListIconSizes)
    images.push_back(draw(size));
  return images;
}

bool WriteScaledBanners(const std::string &outDir)
{
  for (int percent : BannerScales) {
    if (percent == 100)
      continue;
    const std::string path = outDir + "/tarnel-" + std::to_string(percent) + ".zdib";
    std::vector<uint8_t> bytes = PackBanner(DrawBanner(percent));
    if (bytes.empty()) {
      std::fprintf(stderr, "zv-artgen: cannot pack %s\n", path.c_str());
      return false;
    }
    if (!WriteFile(path, bytes))
      return false;
  }
  return true;
}

bool WriteLicence(const std::string &outDir, const std::string &licencePath)
{
  std::string source, text, script, error;
  if (!ReadFile(licencePath, &source))
    return false;
  if (!NormaliseLicence(source, &text, &error) || !BuildLicenceRc(text, &script, &error)) {
    std::fprintf(stderr, "zv-artgen: %s: %s\n", licencePath.c_str(), error.c_str());
    return false;
  }
  return WriteFile(outDir + "/licence.rc", std::vector<uint8_t>(script.begin(), script.end()));
}

}  // namespace

int main(int argc, char **argv)
{
  std::string outDir, licencePath = ZV_DEFAULT_LICENCE;
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    if (positional == 0) {
      outDir = argv[i];
      ++positional;
    } else if (positional == 1) {
      licencePath = argv[i];
      ++positional;
    } else {
      positional = 3;
    }
  }
  if (outDir.empty() || positional > 2) {
    std::fprintf(stderr, "usage: zv-artgen OUTDIR [LICENCE_TXT]\n");
    return 1;
  }
  bool ok = WriteFile(outDir + "/tarnel.bmp", EncodeBmp8(DrawBanner())) &&
            WriteScaledBanners(outDir) && WriteIcon(outDir + "/setup.ico", {DrawSetupIcon()}) &&
            WriteIcon(outDir + "/folder.ico",
                      ListIcon([](int size) { return DrawFolderIcon(false, size); })) &&
            WriteIcon(outDir + "/up.ico", ListIcon([](int size) { return DrawUpIcon(size); })) &&
            WriteIcon(outDir + "/newfolder.ico",
                      ListIcon([](int size) { return DrawFolderIcon(true, size); })) &&
            WriteLicence(outDir, licencePath);
  return ok ? 0 : 1;
}
