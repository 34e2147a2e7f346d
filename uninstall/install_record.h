// What the uninstaller reads of the registry, and the keys it deletes.
// "Progdir" and "Scdir" are the values setup wrote under its Uninstall key;
// the desktop is read the way setup read it.
#pragma once

#include "uninstall/uninstall_types.h"
#include "common/product.h"

struct InstallRecord {
  bool found;              // the Uninstall key and its "Progdir" are there
  bool programDirTooLong;  // "Progdir" does not fit programDir
  char programDir[PathBufferSize];
  char groupDir[PathBufferSize];   // "" when missing or too long
  char desktopDir[ShortPathSize];  // "" when not found
  char windowsDir[ShortPathSize];  // "" when not known
};

void ReadInstallRecord(InstallRecord *record);

// Deletes the key keyPath below HKEY_LOCAL_MACHINE; a key with a subkey, or
// with a value setup does not write there, stays whole, and that is a
// failure.
StepResult RemoveMachineKey(const char *keyPath);
