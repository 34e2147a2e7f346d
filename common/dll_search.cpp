// DLL search restriction (see dll_search.h), for setup.exe, Zorvane.exe and
// uninstall.exe alike.
#include "common/dll_search.h"

#include <windows.h>

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32; the headers for the oldest Windows this
// program runs on do not declare it.
const DWORD SearchSystem32 = 0x00000800;

}  // namespace

typedef BOOL(WINAPI *SetDefaultDllDirectoriesCall)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryCall)(LPCSTR);

// A kernel32 function that this system may lack; null when it does.
template <typename Call> static Call KernelCall(const char *name)
{
  FARPROC entry = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
  return reinterpret_cast<Call>(reinterpret_cast<void (*)(void)>(entry));
}

void RestrictDllSearch()
{
  SetDefaultDllDirectoriesCall setDefault =
      KernelCall<SetDefaultDllDirectoriesCall>("SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(SearchSystem32))
    return;
  // Without it the program's folder stays first in the search: what setup
  // loads itself it therefore loads by its full path in the system
  // directory (common_controls.cpp).
  SetDllDirectoryCall setDirectory = KernelCall<SetDllDirectoryCall>("SetDllDirectoryA");
  if (setDirectory != nullptr)
    setDirectory("");
}
