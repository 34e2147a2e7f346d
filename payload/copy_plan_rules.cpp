#include "payload/copy_plan_rules.h"

#include <cstring>

#include "common/ascii_text.h"

void StartPlan(CopyPlan *plan)
{
  plan->count = 0;
  plan->imagesMade = false;
}

bool AddPlannedEntry(CopyPlan *plan, const char *name, int levelsBefore, bool earlierFile)
{
  if (plan->count >= PlanCapacity)
    return false;
  PlannedEntry *entry = &plan->entries[plan->count];
  size_t length = std::strlen(name);
  if (length >= sizeof(entry->name))
    length = sizeof(entry->name) - 1;
  std::memcpy(entry->name, name, length);
  entry->name[length] = '\0';
  entry->first = plan->count;
  for (int earlier = 0; earlier < plan->count; ++earlier) {
    const char *other = plan->entries[earlier].name;
    if (std::strlen(other) == length && SameTextNoCase(other, entry->name, length)) {
      entry->first = plan->entries[earlier].first;
      break;
    }
  }
  entry->levelsBefore = levelsBefore;
  entry->flags = earlierFile && entry->first == plan->count ? PlanEarlierFile : 0u;
  ++plan->count;
  return true;
}

int FolderLevels(const char *name)
{
  int levels = 0;
  for (const char *at = std::strchr(name, '\\'); at != nullptr; at = std::strchr(at + 1, '\\'))
    ++levels;
  return levels;
}

size_t FolderPrefixLength(const char *name, int level)
{
  const char *at = std::strchr(name, '\\');
  for (int passed = 0; at != nullptr && passed < level; ++passed)
    at = std::strchr(at + 1, '\\');
  return at == nullptr ? std::strlen(name) : static_cast<size_t>(at - name);
}

bool MustKeepEarlier(const CopyPlan *plan, int index)
{
  unsigned flags = plan->entries[plan->entries[index].first].flags;
  return (flags & PlanEarlierFile) != 0 && (flags & PlanKept) == 0;
}

void NoteKept(CopyPlan *plan, int index)
{
  plan->entries[plan->entries[index].first].flags |= PlanKept;
}

void NotePlaced(CopyPlan *plan, int index)
{
  plan->entries[plan->entries[index].first].flags |= PlanPlaced;
}

bool RollbackRemovesFile(const CopyPlan *plan, int index)
{
  const PlannedEntry &entry = plan->entries[index];
  return entry.first == index && (entry.flags & PlanPlaced) != 0 && (entry.flags & PlanKept) == 0;
}

bool RollbackRemovesFolder(const CopyPlan *plan, int index, int level)
{
  return level >= plan->entries[index].levelsBefore &&
         level < FolderLevels(plan->entries[index].name);
}
