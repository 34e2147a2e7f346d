#include "destination/make_dir.h"

DestinationOutcome SettleDestination(const char *dir, const DirOps &ops)
{
  if (ops.create(dir, ops.context))
    return DestinationCreated;
  if (ops.isDirectory(dir, ops.context))
    return DestinationExists;

  MadeDirs made;
  if (!MakeParentDirs(dir, 0, ops, &made))
    return DestinationFailed;
  if (ops.create(dir, ops.context) || ops.isDirectory(dir, ops.context))
    return DestinationCreated;
  RemoveMadeDirs(dir, made, ops);
  return DestinationFailed;
}
