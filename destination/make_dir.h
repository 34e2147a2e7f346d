// Settling the destination directory once its path is known: create it,
// or learn that it exists, or create its missing parents outermost first and
// then it. The file-system operations are passed in, so the rule runs
// natively against a fake and on Windows against the real calls.
#pragma once

#include "common/parent_dirs.h"

enum DestinationOutcome : int {
  DestinationCreated = 0,  // made now (with any missing parents)
  DestinationExists = 1,   // was there already: ask whether to use it
  DestinationFailed = 2,   // could not be made (access denied, invalid name, a file in the way)
};

// Creates dir; when that fails and dir is not an existing directory, creates
// its missing parent levels outermost first and tries once more. When dir
// still cannot be made, the levels made on the way are removed again,
// innermost first, so a failure leaves nothing behind.
DestinationOutcome SettleDestination(const char *dir, const DirOps &ops);
