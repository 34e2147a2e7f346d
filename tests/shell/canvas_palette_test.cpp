// The logical palette built from the snapshot's colour table.
#include "shell/canvas_palette.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// 256 RGBQUADs whose blue, green and red differ from one another and from
// entry to entry, with a non-zero reserved byte that must not leak through.
std::vector<uint8_t> ColourTable()
{
  std::vector<uint8_t> table(CanvasPaletteEntries * ColourQuadSize);
  for (int i = 0; i < CanvasPaletteEntries; ++i) {
    table[i * 4 + 0] = static_cast<uint8_t>(i);            // blue
    table[i * 4 + 1] = static_cast<uint8_t>(255 - i);      // green
    table[i * 4 + 2] = static_cast<uint8_t>(i * 37 + 11);  // red
    table[i * 4 + 3] = 0xA5;                               // reserved
  }
  return table;
}

}  // namespace

TEST(CanvasPalette, TakesEveryColourOfTheTableWithNoCollapse)
{
  const std::vector<uint8_t> table = ColourTable();
  std::vector<uint8_t> block(CanvasPaletteBlockSize, 0xEE);
  ASSERT_TRUE(FillCanvasPalette(block.data(), block.size(), table.data(), table.size()));

  uint16_t version = 0;
  uint16_t count = 0;
  std::memcpy(&version, block.data(), 2);
  std::memcpy(&count, block.data() + 2, 2);
  EXPECT_EQ(version, 0x300);
  EXPECT_EQ(count, 256);
  for (int i = 0; i < CanvasPaletteEntries; ++i) {
    const uint8_t *entry = block.data() + PaletteHeaderSize + i * PaletteEntrySize;
    const uint8_t *quad = table.data() + i * ColourQuadSize;
    EXPECT_EQ(entry[0], quad[2]) << "red of entry " << i;
    EXPECT_EQ(entry[1], quad[1]) << "green of entry " << i;
    EXPECT_EQ(entry[2], quad[0]) << "blue of entry " << i;
    EXPECT_EQ(entry[3], 4) << "flags of entry " << i;  // PC_NOCOLLAPSE
  }
  // The block's last 4 bytes lie past the 256 entries and stay as they were.
  for (size_t i = PaletteHeaderSize + 256 * PaletteEntrySize; i < block.size(); ++i)
    EXPECT_EQ(block[i], 0xEE) << i;
}

TEST(CanvasPalette, RefusesBlocksAndTablesTooSmall)
{
  const std::vector<uint8_t> table = ColourTable();
  std::vector<uint8_t> block(CanvasPaletteBlockSize, 0xEE);
  const std::vector<uint8_t> untouched = block;
  EXPECT_FALSE(FillCanvasPalette(block.data(), 1027, table.data(), table.size()));
  EXPECT_FALSE(FillCanvasPalette(block.data(), block.size(), table.data(), table.size() - 1));
  EXPECT_FALSE(FillCanvasPalette(nullptr, block.size(), table.data(), table.size()));
  EXPECT_FALSE(FillCanvasPalette(block.data(), block.size(), nullptr, table.size()));
  EXPECT_EQ(block, untouched);
  // Exactly header plus entries is enough.
  EXPECT_TRUE(FillCanvasPalette(block.data(), 1028, table.data(), table.size()));
}
