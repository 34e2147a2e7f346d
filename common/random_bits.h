// Random bits for names that other programs must not guess (the private
// work folders, the part files). The generator is looked up at run time:
// advapi32's RtlGenRandom (SystemFunction036) is, on current Windows, a
// forwarder to CRYPTBASE.dll, which is not a KnownDLL. As a load-time import
// the loader would resolve it before WinMain, with the program's folder first
// in the search, so a CRYPTBASE.dll left beside a downloaded setup.exe would
// run with setup's rights.
#pragma once

#include <cstdint>

// Fills *bits with 64 bits from the system's generator: bcrypt.dll's
// BCryptGenRandom, else advapi32's RtlGenRandom, each from its module loaded
// by its full path in the system directory at the first draw and kept loaded
// from then on (call RestrictDllSearch first, so that what those modules load
// comes from there too). false, *bits unchanged, when neither gives any: a
// guessable name is never made up.
bool RandomBits64(uint64_t *bits);
