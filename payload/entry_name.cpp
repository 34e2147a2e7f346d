#include "payload/entry_name.h"

#include <cstring>

#include "payload/archive_entry.h"
#include "common/ascii_text.h"

namespace {

bool IsSeparator(char c)
{
  return c == '\\' || c == '/';
}

// A component made of dots and spaces only with at least two dots: Windows
// drops trailing dots and spaces from a component, so ". ." and "..." lead
// to the parent directory just as ".." does.
bool IsParentComponent(const char *begin, size_t length)
{
  size_t dots = 0;
  for (size_t i = 0; i < length; ++i)
    if (begin[i] == '.')
      ++dots;
    else if (begin[i] != ' ')
      return false;
  return dots >= 2;
}

bool EqualsNoCase(const char *begin, size_t length, const char *word)
{
  return length == std::strlen(word) && SameTextNoCase(begin, word, length);
}

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices whatever extension
// or trailing spaces follow them.
bool IsReservedDevice(const char *begin, size_t length)
{
  size_t base = 0;
  while (base < length && begin[base] != '.')
    ++base;
  while (base > 0 && begin[base - 1] == ' ')
    --base;
  static const char *const devices[] = {"CON", "PRN", "AUX", "NUL"};
  for (const char *device : devices)
    if (EqualsNoCase(begin, base, device))
      return true;
  if (base == 4 && begin[3] >= '1' && begin[3] <= '9')
    return EqualsNoCase(begin, 3, "COM") || EqualsNoCase(begin, 3, "LPT");
  return false;
}

bool IsBadCharacter(unsigned char c)
{
  return c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == '?' || c == '*';
}

}  // namespace

EntryNameVerdict CheckInstallName(const char *name)
{
  size_t length = std::strlen(name);
  if (length == 0)
    return NameEmpty;
  if (IsSeparator(name[0]))
    return NameLeadingSeparator;
  if (std::strchr(name, ':') != nullptr)
    return NameHasColon;
  size_t start = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i == length || IsSeparator(name[i])) {
      if (IsParentComponent(name + start, i - start))
        return NameLeavesDirectory;
      // Opening such a name reaches a device (console, port, printer),
      // not a file below the destination.
      if (IsReservedDevice(name + start, i - start))
        return NameReservedDevice;
      start = i + 1;
    }
  }
  return NameAccepted;
}

EntryNameVerdict CheckPackName(const char *name, size_t length)
{
  if (length == 0)
    return NameEmpty;
  if (length > static_cast<size_t>(EntryMaxNameLength))
    return NameTooLong;
  if (std::memchr(name, '\0', length) != nullptr)
    return NameHasNul;
  EntryNameVerdict installVerdict = CheckInstallName(name);
  if (installVerdict != NameAccepted)
    return installVerdict;
  if (std::memchr(name, '/', length) != nullptr)
    return NameHasSlash;
  if (name[length - 1] == '\\')
    return NameTrailingSeparator;
  size_t start = 0;
  for (size_t i = 0; i <= length; ++i) {
    if (i < length && name[i] != '\\') {
      if (IsBadCharacter(static_cast<unsigned char>(name[i])))
        return NameBadCharacter;
      continue;
    }
    size_t componentLength = i - start;
    const char *component = name + start;
    if (componentLength == 0)
      return NameEmptyComponent;
    if (componentLength == 1 && component[0] == '.')
      return NameDotComponent;
    char last = component[componentLength - 1];
    if (last == '.' || last == ' ')
      return NameBadComponentEnd;
    if (IsReservedDevice(component, componentLength))
      return NameReservedDevice;
    start = i + 1;
  }
  if (std::strlen(DefaultInstallDir) + 1 + length > static_cast<size_t>(MaxWindowsPath))
    return NamePathTooLong;
  return NameAccepted;
}

const char *DescribeNameVerdict(EntryNameVerdict verdict)
{
  switch (verdict) {
    case NameAccepted:
      return "name accepted";
    case NameEmpty:
      return "the name is empty";
    case NameTooLong:
      return "the name is longer than 255 bytes";
    case NameHasNul:
      return "the name contains a NUL byte";
    case NameLeadingSeparator:
      return "the name begins with a separator (absolute path)";
    case NameHasColon:
      return "the name contains a colon (drive letter or stream)";
    case NameLeavesDirectory:
      return "the name has a \"..\" component";
    case NameHasSlash:
      return "the name contains \"/\"; only \"\\\" separates components";
    case NameTrailingSeparator:
      return "the name ends in a separator";
    case NameEmptyComponent:
      return "the name has an empty component";
    case NameDotComponent:
      return "the name has a \".\" component";
    case NameBadCharacter:
      return "the name contains a character Windows forbids in file names";
    case NameBadComponentEnd:
      return "a component of the name ends in a dot or a space";
    case NameReservedDevice:
      return "a component of the name is a reserved device name";
    case NamePathTooLong:
      return "the default destination \"" ZV_DEFAULT_INSTALL_DIR
             "\" + \"\\\" + name is longer than 259 characters";
  }
  return "unknown rule";
}
