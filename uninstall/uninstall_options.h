// The uninstaller's command line. A user or Add/Remove Programs gives at
// most /S; the copy that the uninstaller starts from the temporary folder
// gets the same arguments and /FROM=PID:PIPE, naming the first process and
// the inherited pipe through which it takes the result back.
// Plain C++ with no Windows header.
#pragma once

#include <cstddef>
#include <cstdint>

struct UninstallOptions {
  bool silent;                 // /S in any case: no question and no box
  bool isCopy;                 // /FROM= was given
  unsigned long firstProcess;  // the process id after /FROM=
  uint64_t resultPipe;         // the handle value after the colon
};

// Reads the arguments (the command line without the program's name). Words
// are separated by blanks; words it does not know are ignored.
void ReadUninstallOptions(const char *arguments, UninstallOptions *options);

// The copy's command line: the quoted program path, the arguments as given
// and the /FROM= word. False, with nothing usable in out, when it does not
// fit size bytes.
bool FormatCopyCommandLine(char *out, size_t size, const char *program, const char *arguments,
                           unsigned long firstProcess, uint64_t resultPipe);
