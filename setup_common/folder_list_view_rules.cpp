#include "setup_common/folder_list_view_rules.h"

#include <cstring>

#include "common/path_text.h"

namespace {

// Whether a "\" goes between a path of this length and a name.
bool AddsSeparator(const FolderListing &listing, size_t pathLength)
{
  return !(listing.keepsRootSeparator && IsDriveRoot(pathLength));
}

// Appends the separator the listing calls for and name to path in place,
// when that leaves room for `room` more characters and the terminator.
bool AppendName(const FolderListing &listing, char *path, size_t pathSize, size_t room,
                const char *name)
{
  size_t length = std::strlen(path);
  size_t separator = AddsSeparator(listing, length) ? 1 : 0;
  size_t nameLength = std::strlen(name);
  if (pathSize == 0 || length + separator + nameLength + room >= pathSize)
    return false;
  if (separator)
    path[length++] = '\\';
  std::memcpy(path + length, name, nameLength + 1);
  return true;
}

}  // namespace

bool ListsUpEntry(const FolderListing &listing, size_t pathLength)
{
  return pathLength > listing.topLength;
}

bool ComposeListingPattern(const FolderListing &listing, char *out, size_t outSize,
                           const char *path)
{
  if (outSize == 0)
    return false;
  size_t length = std::strlen(path);
  if (length >= outSize) {
    out[0] = '\0';
    return false;
  }
  std::memmove(out, path, length + 1);
  if (!AppendName(listing, out, outSize, 0, "*.*")) {
    out[0] = '\0';
    return false;
  }
  return true;
}

void ComposeListingLine(const FolderListing &listing, char *out, size_t outSize, const char *path,
                        const char *finalName)
{
  size_t length = 0;
  AppendCut(out, outSize, &length, path);
  if (AddsSeparator(listing, std::strlen(path)))
    AppendCut(out, outSize, &length, "\\");
  AppendCut(out, outSize, &length, finalName);
}

bool IsListedEntry(uint32_t attributes, const char *name)
{
  return (attributes & DirectoryAttribute) != 0 && name[0] != '.' && name[0] != '\0';
}

ListingMove ChooseListingMove(const FolderListing &listing, long selected, long lastItemIndex,
                              size_t pathLength)
{
  if (selected < 0 || selected > lastItemIndex)
    return ListingStay;
  if (selected == 0 && ListsUpEntry(listing, pathLength))
    return ListingGoUp;
  return ListingDescend;
}

bool GoUpFolder(const FolderListing &listing, char *path)
{
  char *last = std::strrchr(path, '\\');
  if (last == nullptr)
    return false;
  size_t at = static_cast<size_t>(last - path);
  size_t cut = listing.keepsRootSeparator && IsDriveRoot(at) ? at + 1 : at;
  if (path[cut] == '\0')
    return false;
  path[cut] = '\0';
  return true;
}

bool DescendFolder(const FolderListing &listing, char *path, size_t pathSize, const char *name)
{
  return AppendName(listing, path, pathSize, ListingPatternRoom, name);
}
