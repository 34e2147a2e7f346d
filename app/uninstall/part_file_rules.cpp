#include "app/uninstall/part_file_rules.h"

#include <cstring>

namespace {

const char PartSuffix[] = ".zvpart";
const size_t PartSuffixLength = sizeof(PartSuffix) - 1;
const size_t PartDigits = 16;

bool IsLowerHexDigit(char c)
{
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

}  // namespace

bool IsPartFileName(const char *name)
{
  size_t length = std::strlen(name);
  // The name, a dot, the digits and the suffix.
  if (length < 1 + 1 + PartDigits + PartSuffixLength)
    return false;
  const char *suffix = name + length - PartSuffixLength;
  if (std::strcmp(suffix, PartSuffix) != 0)
    return false;
  const char *digits = suffix - PartDigits;
  for (size_t i = 0; i < PartDigits; ++i)
    if (!IsLowerHexDigit(digits[i]))
      return false;
  return digits[-1] == '.';
}
