#include "common/part_file_name.h"

#include <cstring>

namespace {

constexpr size_t HexDigits = 16;

bool AreHexDigits(const char *text)
{
  for (size_t digit = 0; digit < HexDigits; ++digit)
    if (text[digit] == '\0' || std::strchr("0123456789abcdef", text[digit]) == nullptr)
      return false;
  return true;
}

}  // namespace

bool IsPartFileName(const char *name)
{
  size_t length = std::strlen(name);
  size_t suffixLength = std::strlen(PartFileSuffix);
  if (length < PartNameExtraLength + 1 ||
      std::strcmp(name + length - suffixLength, PartFileSuffix) != 0)
    return false;
  const char *dot = name + length - PartNameExtraLength;
  if (*dot != '.' || !AreHexDigits(dot + 1))
    return false;
  return std::strpbrk(name, "\\/") == nullptr;
}

bool FormatKeptFolderName(char *out, size_t size, uint64_t bits)
{
  if (size < KeptFolderNameSize)
    return false;
  size_t prefixLength = std::strlen(KeptFolderPrefix);
  std::memcpy(out, KeptFolderPrefix, prefixLength);
  for (size_t digit = 0; digit < HexDigits; ++digit)
    out[prefixLength + digit] = "0123456789abcdef"[(bits >> (4 * (HexDigits - 1 - digit))) & 0xF];
  std::strcpy(out + prefixLength + HexDigits, KeptFolderSuffix);
  return true;
}

bool IsKeptFolderName(const char *name)
{
  size_t prefixLength = std::strlen(KeptFolderPrefix);
  return std::strlen(name) + 1 == KeptFolderNameSize &&
         std::strncmp(name, KeptFolderPrefix, prefixLength) == 0 &&
         AreHexDigits(name + prefixLength) &&
         std::strcmp(name + prefixLength + HexDigits, KeptFolderSuffix) == 0;
}
