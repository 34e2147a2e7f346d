#include "destination/dir_rules.h"

#include <cstring>

ListPlan PlanDirList(int pathLength, int mode)
{
  if ((mode == 0 && pathLength > 3) || (mode == 1 && pathLength > 21))
    return ListPlan{1, "\\*.*", 4};
  if (mode == 1)
    return ListPlan{0, "\\*.*", 4};
  return ListPlan{0, "*.*", 3};
}

int ComposeSearchPattern(char *out, int size, const char *path, const ListPlan &plan)
{
  size_t length = std::strlen(path);
  size_t patternLength = std::strlen(plan.pattern);
  if (size <= 0)
    return 0;
  if (length + patternLength + 1 > static_cast<size_t>(size)) {
    out[0] = '\0';
    return 0;
  }
  std::memcpy(out, path, length);
  std::memcpy(out + length, plan.pattern, patternLength + 1);
  return 1;
}

void ComposePathLine(char *out, int size, const char *path, const ListPlan &plan,
                     const char *browsePath)
{
  if (size <= 0)
    return;
  int n = 0;
  auto append = [&](const char *text) {
    for (; *text != '\0' && n + 1 < size; ++text)
      out[n++] = *text;
  };
  append(path);
  if (plan.patternLength == 4)
    append("\\");
  append(browsePath);
  out[n] = '\0';
}

int IsListedEntry(uint32_t attributes, const char *name)
{
  return (attributes & DirectoryAttribute) != 0 && name[0] != '.' && name[0] != '\0';
}
