// Reads where a shell link points, through the shell's link object.
#pragma once

#include <cstddef>

// Loads the link file at linkPath with IPersistFile::Load and writes its
// target path into target (size bytes). False when the link cannot be
// loaded, has no path, or the path does not fit. Initialises and
// uninitialises COM around its own work; nothing is resolved or searched.
bool ReadLinkTarget(const char *linkPath, char *target, size_t size);
