// The folders below the install folder as the copy reaches them: one level
// at a time from the held install folder, each opened relative to the one
// above it and held while it is used, so that nothing on the way is looked
// up again by name. A link or junction met on the way is refused, never
// followed: through one, setup would write wherever it points.
#pragma once

#include <windows.h>

#include <cstddef>

enum TreeVerdict {
  TreeOpened = 0,  // every level opened (made where missing, when asked)
  TreeMissing,     // a level does not exist (nothing was made)
  TreeLink,        // a link or junction stands at a level, or at the file
  TreeFailed,      // a level could not be opened or made (a file there, access)
};

// Opens the install folder itself by its full path, as a held folder is
// opened: for callers that hold none (tests and benches; setup holds it from
// the destination page). TreeLink when it is a reparse point that holds
// reparse data (a link, a junction, a volume mounted there); Wine's mark on
// a Unix mount point holds none (HeldHoldsReparseData).
TreeVerdict OpenInstallFolder(const char *installDir, HANDLE *folder);

// Opens the folder that holds the entry name (relative, "\" between levels)
// below installFolder, making the missing levels when create is true: plain
// folders with no descriptor of their own, so that they take the install
// folder's inherited access. *folder is then the held folder (installFolder
// itself for a name without a folder; release it with ReleaseEntryFolder)
// and *leaf the name's last level. On TreeLink, *linkEnd is the length of
// the part of name that stands for the link.
TreeVerdict OpenEntryFolder(HANDLE installFolder, const char *name, bool create, HANDLE *folder,
                            const char **leaf, size_t *linkEnd);
void ReleaseEntryFolder(HANDLE installFolder, HANDLE folder);

// Opens the one-level name below folder as setup writes there (a folder
// when asDirectory) without making it, and says whether it is plain:
// TreeOpened (closed again, or *opened when that is not null), TreeMissing,
// TreeLink or TreeFailed.
TreeVerdict OpenPlainBelow(HANDLE folder, const char *name, bool asDirectory, bool create,
                           HANDLE *opened);
