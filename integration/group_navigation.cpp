// Navigation rules of the program-group browser; see group_navigation.h.
#include "integration/group_navigation.h"

#include <cstring>

bool GroupListHasUpEntry(size_t groupLength)
{
  return groupLength > GroupUpEntryMinLength;
}

GroupBrowserMove ChooseGroupMove(long selected, long lastItemIndex, size_t groupLength)
{
  if (selected < 0 || selected > lastItemIndex)
    return GroupStay;
  if (selected == 0 && GroupListHasUpEntry(groupLength))
    return GroupGoUp;
  return GroupDescend;
}

bool GroupGoUpLevel(char *group)
{
  char *separator = std::strrchr(group, '\\');
  if (separator == nullptr)
    return false;
  *separator = '\0';
  return true;
}

bool GroupDescendInto(char *group, size_t groupSize, const char *name)
{
  size_t groupLength = std::strlen(group);
  size_t nameLength = std::strlen(name);
  size_t total = groupLength + 1 + nameLength;
  if (total + ListingPatternLength >= groupSize)
    return false;
  group[groupLength] = '\\';
  std::memcpy(group + groupLength + 1, name, nameLength);
  group[total] = '\0';
  return true;
}
