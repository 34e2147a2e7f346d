// The uninstaller's own types, shared by its rules and its Windows side:
// what the disk shows at a path, the facts of an installation as the
// registry gives them, and the result of one removal step. Plain C++ with
// no Windows header.
#pragma once

#include "common/never_install_rules.h"

#include <cstddef>
#include <cstdint>

enum PathKind {
  PathMissing = 0,
  PathFile,
  PathFolder,
  PathReparse,  // a link or junction, file or folder: never entered, never removed
};

// What makes a file or folder itself, whatever path leads to it: its
// volume's serial number and its index there.
struct FolderIdentity {
  uint32_t volume;
  uint64_t index;
};

struct RemovalLookup {
  PathKind (*kind)(const char *path, void *context);
  // The target of the shell link at linkPath, into target (targetSize
  // bytes); false when the link cannot be read or the target does not fit.
  bool (*linkTarget)(const char *linkPath, char *target, size_t targetSize, void *context);
  // The identity of the folder at path, following links and short names;
  // false when it cannot be opened.
  bool (*identity)(const char *path, FolderIdentity *id, void *context);
  // The real path of the folder at path, with every link and short name on
  // the way resolved, as the system gives it ("\\?\C:\..." or
  // "\\?\UNC\server\share\..."), into real (realSize bytes); false when
  // it cannot be opened or the path does not fit.
  bool (*realPath)(const char *path, char *real, size_t realSize, void *context);
  void *context;
};

// What the registry says about the installation, as read; null for what is
// not there.
struct RegisteredInstall {
  const char *programDir;  // "Progdir"
  const char *groupDir;    // "Scdir"
  const char *desktopDir;  // the all-users desktop ("Common Desktop")
  const char *windowsDir;  // the Windows directory
  // The folders that are never an install folder, or null when only the
  // Windows folder is known.
  const NeverInstallFolders *neverInstall;
  const char *const *names;  // the payload's files, relative to programDir
  int nameCount;
};

enum StepResult {
  ResultDone = 0,   // removed now
  ResultGone,       // not there any more
  ResultScheduled,  // in use: removed when Windows restarts
  ResultKept,       // a folder holding what setup did not install
  ResultFailed,
  ResultKeyKept,  // left, with the registration, because an earlier step failed
};
