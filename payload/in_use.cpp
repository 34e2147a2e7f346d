// The in-use probe and the wait for it (see in_use.h).
#include "payload/in_use.h"

#include "payload/destination_walk.h"
#include "common/product.h"

namespace {

struct InUseSearch {
  char path[PathBufferSize];
  bool found;
};

bool StopAtFileInUse(void *context, const char *destination)
{
  InUseSearch *search = static_cast<InUseSearch *>(context);
  if (!FileIsInUse(destination))
    return true;
  lstrcpynA(search->path, destination, sizeof(search->path));
  search->found = true;
  return false;
}

// The path of the first destination in use, into search.
bool FindFileInUse(FILE *archive, int count, const char *installDir, InUseSearch *search)
{
  search->found = false;
  DestinationVisitor visitor = {StopAtFileInUse, search};
  WalkArchiveFile(archive, count, installDir, &visitor);
  return search->found;
}

}  // namespace

bool FileIsInUse(const char *path)
{
  // DELETE too: the part file is renamed over the destination, which a
  // program that holds the file without delete sharing prevents as well.
  HANDLE file = CreateFileA(path, GENERIC_WRITE | DELETE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

bool WaitUntilNothingInUse(FILE *archive, int count, const char *installDir, InUseQuestion retry,
                           void *context)
{
  InUseSearch search;
  while (FindFileInUse(archive, count, installDir, &search))
    if (!retry(context, search.path))
      return false;
  return true;
}
