// The texts of the copy page and its boxes, in the order the page shows
// them.
#pragma once

inline constexpr const char *PreparingText = "Preparing to decompress setup files";
inline constexpr const char *DecompressingText = "Decompressing setup files";
inline constexpr const char *DeletingTempText = "Deleting temproary files";
inline constexpr const char *CantDecompressText = "Can't decompress setup files";
// Filled with the full path of a file that cannot be replaced now.
inline constexpr const char *FileInUseFormat = "%s is in use. Close The Zorvane, then press Retry.";
