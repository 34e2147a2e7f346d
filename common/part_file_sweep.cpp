#include "common/part_file_sweep.h"

#include "common/held_file.h"
#include "common/part_file_name.h"

namespace {

struct Sweep {
  HANDLE folder;
  int removed;
};

// One name of the listing: a part file goes, through a handle opened
// relative to the folder without following a link, only once the handle
// shows a plain file under that very name.
bool SweepOne(void *context, const char *name, DWORD attributes)
{
  Sweep *sweep = static_cast<Sweep *>(context);
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
      !IsPartFileName(name))
    return true;
  // No sharing: a part file open in another process stays.
  if (DeletePlainBelow(sweep->folder, name, 0, false))
    ++sweep->removed;
  return true;
}

}  // namespace

int SweepPartFiles(HANDLE folder)
{
  Sweep sweep = {folder, 0};
  ListBelow(folder, SweepOne, &sweep);
  return sweep.removed;
}
