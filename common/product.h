// Build-time constants of the product: everything that varies from one
// product to another lives here, so that no window code repeats a text or a
// number. Plain C++ with no Windows header, so the pure logic and the native
// tools share it.
#pragma once

#include <cstdint>

#include "payload_facts.h"
#include "resources/product_title.h"

inline constexpr const char *ProductTitle = ZV_PRODUCT_TITLE;
inline constexpr const char *SetupCaption = ZV_SETUP_CAPTION;

// Least free space, in units of 1000 bytes, with which setup goes on.
inline constexpr uint32_t RequiredKB = 5000;

// Size of the shared path buffers and message texts.
inline constexpr int PathBufferSize = 512;
// Size of the temporary directory and the smaller working buffers.
inline constexpr int ShortPathSize = 260;
// The platform's limit on a full path, without the terminator.
inline constexpr int MaxWindowsPath = 259;
