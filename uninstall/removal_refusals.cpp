#include "uninstall/removal_refusals.h"

#include <cstring>

#include "common/install_facts.h"
#include "common/ascii_text.h"

#include "common/path_text.h"

namespace {

// A component of a folder that Windows would take for another folder or
// refuse: empty, "." or "..", ending in a dot or a space (both dropped by
// the system, so "C:\Windows." is C:\Windows), or with a character that no
// name has.
bool BadComponent(const char *start, size_t length)
{
  if (length == 0 || start[length - 1] == '.' || start[length - 1] == ' ')
    return true;
  for (size_t i = 0; i < length; ++i) {
    unsigned char c = static_cast<unsigned char>(start[i]);
    if (c < 0x20 || std::strchr("/:*?\"<>|", c) != nullptr)
      return true;
  }
  return false;
}

bool IsDriveLetter(char c)
{
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

FolderVerdict CheckFolderValue(const char *folder, const char *windowsDir)
{
  size_t length = TrimmedLength(folder);
  if (std::strlen(folder) > static_cast<size_t>(MaxWindowsPath))
    return FolderTooLong;
  if (length < 3 || !IsDriveLetter(folder[0]) || folder[1] != ':' || folder[2] != '\\')
    return FolderNotFullPath;
  if (length == 3)
    return FolderIsDriveRoot;
  size_t start = 3;
  for (size_t i = 3; i <= length; ++i) {
    if (i == length || folder[i] == '\\') {
      if (BadComponent(folder + start, i - start))
        return FolderNotFullPath;
      start = i + 1;
    }
  }
  // Without the Windows directory nothing can be said to be clear of it.
  if (windowsDir == nullptr || windowsDir[0] == '\0')
    return FolderWindowsUnknown;
  // The Windows directory itself, or a folder that holds it.
  if (IsSameOrAbove(folder, windowsDir))
    return FolderHoldsWindows;
  return FolderAccepted;
}

namespace {

bool SameIdentity(const FolderIdentity &a, const FolderIdentity &b)
{
  return a.volume == b.volume && a.index == b.index;
}

// True when path, or a folder around it down to its root (the first
// rootLength characters, "X:\\" or "\\\\server\\share\\"), is the folder
// known by id, or when one of them cannot be identified. Opened by name,
// each level follows whatever links and short names lie on the way, which
// is what an attempt to disguise the Windows folder relies on.
bool AnyLevelIs(const char *path, size_t rootLength, const FolderIdentity &id,
                const RemovalLookup &lookup)
{
  char level[PathBufferSize];
  if (CopyCut(level, sizeof(level), path) >= sizeof(level) || rootLength >= sizeof(level))
    return true;
  level[TrimmedLength(level)] = '\0';
  for (;;) {
    FolderIdentity levelId;
    if (!lookup.identity(level, &levelId, lookup.context) || SameIdentity(levelId, id))
      return true;
    char *cut = std::strrchr(level, '\\');
    if (cut == nullptr || static_cast<size_t>(cut - level) < rootLength)
      break;
    *cut = '\0';
  }
  char root[PathBufferSize];
  std::memcpy(root, path, rootLength);
  root[rootLength] = '\0';
  FolderIdentity rootId;
  return !lookup.identity(root, &rootId, lookup.context) || SameIdentity(rootId, id);
}

// The real path as the system gives it, "\\?\X:\..." or
// "\\?\UNC\server\share\...", as a plain path into out ("X:\..." or
// "\\server\share\..."), with the length of its root. False for any other
// form (a volume without a drive letter, say), where no level can be named.
bool PlainRealPath(char *out, size_t size, const char *real, size_t *rootLength)
{
  static const char Prefix[] = "\\\\?\\";
  static const char UncPrefix[] = "\\\\?\\UNC\\";
  size_t length = 0;
  if (size > 0)
    out[0] = '\0';
  if (std::strncmp(real, UncPrefix, sizeof(UncPrefix) - 1) == 0) {
    AppendCut(out, size, &length, "\\\\");
    AppendCut(out, size, &length, real + sizeof(UncPrefix) - 1);
    // The root is "\\server\share\": two names, each of at least one
    // character, after the leading pair.
    const char *server = std::strchr(out + 2, '\\');
    const char *share = server != nullptr ? std::strchr(server + 1, '\\') : nullptr;
    if (server == nullptr || server == out + 2 || share == nullptr || share == server + 1)
      return false;
    *rootLength = static_cast<size_t>(share - out) + 1;
  } else if (std::strncmp(real, Prefix, sizeof(Prefix) - 1) == 0) {
    AppendCut(out, size, &length, real + sizeof(Prefix) - 1);
    if (!IsDriveLetter(out[0]) || out[1] != ':' || out[2] != '\\')
      return false;
    *rootLength = DriveRootLength;
  } else {
    return false;
  }
  return length < size;
}

// True when a folder around the real path of folder (itself included) is
// the Windows folder, or when the real path cannot be established: a
// junction named "Progdir", or one on its way, may lead into a folder
// inside Windows that no level of the path as written is.
bool RealPathInside(const char *folder, const FolderIdentity &windows, const RemovalLookup &lookup)
{
  char real[PathBufferSize];
  char plain[PathBufferSize];
  size_t rootLength = 0;
  if (!lookup.realPath(folder, real, sizeof(real), lookup.context) ||
      !PlainRealPath(plain, sizeof(plain), real, &rootLength))
    return true;
  return AnyLevelIs(plain, rootLength, windows, lookup);
}

}  // namespace

FolderVerdict CheckProgramDir(const char *programDir, const char *windowsDir,
                              const RemovalLookup &lookup, const NeverInstallFolders *neverInstall)
{
  FolderVerdict verdict = CheckFolderValue(programDir, windowsDir);
  if (verdict != FolderAccepted)
    return verdict;
  if (neverInstall != nullptr && IsNeverInstallFolder(programDir, *neverInstall))
    return FolderNeverInstall;
  char folder[ShortPathSize];
  TrimmedCopy(folder, programDir);
  char uninstaller[ShortPathSize];
  if (lookup.kind(folder, lookup.context) != PathFolder ||
      !JoinPath(uninstaller, sizeof(uninstaller), folder, UninstallerFileName) ||
      lookup.kind(uninstaller, lookup.context) != PathFile)
    return FolderNotOurs;
  // The Windows folder, a folder above it or inside it, by what the disk
  // says they are rather than by their names.
  FolderIdentity windows;
  FolderIdentity program;
  if (!lookup.identity(windowsDir, &windows, lookup.context))
    return FolderWindowsUnknown;
  if (!lookup.identity(folder, &program, lookup.context))
    return FolderNotOurs;
  if (AnyLevelIs(folder, DriveRootLength, windows, lookup) ||
      AnyLevelIs(windowsDir, DriveRootLength, program, lookup) ||
      RealPathInside(folder, windows, lookup))
    return FolderHoldsWindows;
  return FolderAccepted;
}
