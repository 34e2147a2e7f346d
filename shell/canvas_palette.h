// The logical palette of the background picture on a display of 8 bits per
// pixel or fewer: the 256 colours of the snapshot's colour table, each marked
// "no collapse" so that every one gets its own system palette slot and the
// snapshot's pixel indices keep their colours. No Windows header: the block
// layout is written byte for byte (a LOGPALETTE: 16-bit version, 16-bit entry
// count, then 4-byte entries red, green, blue, flags), so it is tested natively.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int CanvasPaletteEntries = 256;
inline constexpr uint16_t CanvasPaletteVersion = 0x300;
inline constexpr uint8_t CanvasPaletteFlags = 4;  // PC_NOCOLLAPSE
inline constexpr size_t CanvasPaletteBlockSize = 1032;
inline constexpr size_t ColourQuadSize = 4;     // RGBQUAD: blue, green, red, reserved
inline constexpr size_t PaletteEntrySize = 4;   // PALETTEENTRY: red, green, blue, flags
inline constexpr size_t PaletteHeaderSize = 4;  // palVersion, palNumEntries

// Writes the palette block from a colour table of 256 RGBQUADs (blue, green,
// red, reserved). Returns false and writes nothing when the block or the table
// is too small (or null) to hold 256 entries.
bool FillCanvasPalette(uint8_t *block, size_t blockSize, const uint8_t *colourTable,
                       size_t tableSize);
