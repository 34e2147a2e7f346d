// The face-name field of a font description: 32 characters, terminator
// included. No Windows header, so it is tested natively.
#pragma once

#include <cstddef>

inline constexpr size_t FaceNameSize = 32;  // LF_FACESIZE

// Fills all FaceNameSize characters of field: the face name with its
// terminator and zeros after it. A null face name, or one that does not fit
// with its terminator (32 characters or more), leaves the field all zeros, so
// the system chooses a face by the pitch and family instead of matching a
// cut-off name against some other face. Returns true when the name was copied.
bool CopyFaceName(char (&field)[FaceNameSize], const char *faceName);
