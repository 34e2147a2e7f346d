// Copies a face name into a font description's fixed field.
#include "shell/font_face.h"

#include <cstring>

bool CopyFaceName(char (&field)[FaceNameSize], const char *faceName)
{
  std::memset(field, 0, FaceNameSize);
  if (faceName == nullptr)
    return false;
  const size_t length = strnlen(faceName, FaceNameSize);
  if (length >= FaceNameSize)
    return false;
  std::memcpy(field, faceName, length);
  return true;
}
