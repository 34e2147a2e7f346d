// DLL search restriction (see dll_search.h), for setup.exe, Zorvane.exe and
// uninstall.exe alike.
#include "common/dll_search.h"

#include <windows.h>

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32; the headers for the oldest Windows this
// program runs on do not declare it.
const DWORD SearchSystem32 = 0x00000800;

typedef BOOL(WINAPI *SetDefaultDllDirectoriesCall)(DWORD);
typedef BOOL(WINAPI *SetDllDirectoryCall)(LPCSTR);

// A kernel32 function that this system may lack; null when it does.
template <typename Call> Call KernelCall(const char *name)
{
  FARPROC entry = GetProcAddress(GetModuleHandleA("kernel32.dll"), name);
  return reinterpret_cast<Call>(reinterpret_cast<void (*)(void)>(entry));
}

}  // namespace

bool RestrictDllSearch(const char *lacksUpdateText, const char *caption)
{
  SetDefaultDllDirectoriesCall setDefault =
      KernelCall<SetDefaultDllDirectoriesCall>("SetDefaultDllDirectories");
  if (setDefault != nullptr && setDefault(SearchSystem32))
    return true;
  // Without it the program's folder stays first in the search for every DLL
  // that Windows loads later on the program's behalf, which no care in the
  // program's own loads can prevent: the program does not run. Only the box
  // does, with the current directory out of the search.
  SetDllDirectoryCall setDirectory = KernelCall<SetDllDirectoryCall>("SetDllDirectoryA");
  if (setDirectory != nullptr)
    setDirectory("");
  if (lacksUpdateText != nullptr)
    MessageBoxA(nullptr, lacksUpdateText, caption, MB_OK | MB_ICONERROR);
  return false;
}
