// Build-time constants of the product: everything that varies from one
// product to another lives here, so that no window code repeats a text or a
// number. Plain C++ with no Windows header, so the pure logic and the native
// tools share it.
#pragma once

#include <cstdint>

#include "resources/product_title.h"

inline constexpr const char *ProductTitle = ZV_PRODUCT_TITLE;
inline constexpr const char *SetupCaption = ZV_SETUP_CAPTION;

// Number of entries in the payload archive; also the progress bar's total.
inline constexpr int PayloadEntryCount = 19;

// Least free space, in units of 1000 bytes, with which setup goes on.
inline constexpr uint32_t RequiredKB = 5000;

// Size of the shared path buffers and message texts.
inline constexpr int PathBufferSize = 512;
// Size of the temporary directory and the smaller working buffers.
inline constexpr int ShortPathSize = 260;
// The platform's limit on a full path, without the terminator.
inline constexpr int MaxWindowsPath = 259;
