// Builds the background picture's logical palette from the colour table.
#include "shell/canvas_palette.h"

#include <cstring>

bool FillCanvasPalette(uint8_t *block, size_t blockSize, const uint8_t *colourTable,
                       size_t tableSize)
{
  constexpr size_t entries = CanvasPaletteEntries;
  if (block == nullptr || colourTable == nullptr ||
      blockSize < PaletteHeaderSize + entries * PaletteEntrySize ||
      tableSize < entries * ColourQuadSize)
    return false;
  const uint16_t header[2] = {CanvasPaletteVersion, static_cast<uint16_t>(entries)};
  std::memcpy(block, header, sizeof(header));
  uint8_t *entry = block + PaletteHeaderSize;
  const uint8_t *quad = colourTable;
  for (size_t i = 0; i < entries; ++i, entry += PaletteEntrySize, quad += ColourQuadSize) {
    entry[0] = quad[2];  // red
    entry[1] = quad[1];  // green
    entry[2] = quad[0];  // blue
    entry[3] = CanvasPaletteFlags;
  }
  return true;
}
