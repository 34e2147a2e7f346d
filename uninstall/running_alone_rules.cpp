#include "uninstall/running_alone_rules.h"

bool MayRunBesideMark(MarkFound found, MarkOwner owner, bool trustedCopy)
{
  if (found != MarkExisted || owner == MarkOwnedByOther)
    return true;
  return trustedCopy;
}
