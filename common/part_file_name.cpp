#include "common/part_file_name.h"

#include <cstring>

bool IsPartFileName(const char *name)
{
  constexpr size_t HexDigits = 16;
  size_t length = std::strlen(name);
  size_t suffixLength = std::strlen(PartFileSuffix);
  if (length < PartNameExtraLength + 1 ||
      std::strcmp(name + length - suffixLength, PartFileSuffix) != 0)
    return false;
  const char *dot = name + length - PartNameExtraLength;
  if (*dot != '.')
    return false;
  for (size_t digit = 1; digit <= HexDigits; ++digit)
    if (std::strchr("0123456789abcdef", dot[digit]) == nullptr || dot[digit] == '\0')
      return false;
  return std::strpbrk(name, "\\/") == nullptr;
}
