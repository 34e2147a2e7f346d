// DLL search restriction (see dll_search.h), for setup.exe, Zorvane.exe and
// uninstall.exe alike.
#include "common/dll_search.h"

#include <windows.h>

#include "common/system_call.h"

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32; the headers for the oldest Windows this
// program runs on do not declare it.
const DWORD SearchSystem32 = 0x00000800;

// kernel32 functions that this system may lack.
typedef BOOL(WINAPI *SetDefaultDllDirectoriesCall)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryCall)(LPCSTR);

}  // namespace

void RestrictDllSearch()
{
  SetDefaultDllDirectoriesCall setDefault =
      SystemCall<SetDefaultDllDirectoriesCall>("kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(SearchSystem32))
    return;
  // Without it the program's folder stays first in the search: what setup
  // loads itself it therefore loads by its full path in the system
  // directory (common_controls.cpp).
  SetDllDirectoryCall setDirectory =
      SystemCall<SetDllDirectoryCall>("kernel32.dll", "SetDllDirectoryA");
  if (setDirectory != nullptr)
    setDirectory("");
}
