// Functions looked up at run time in a system DLL, for the programs, their
// tests and benches alike: a function a system may lack (added by a later
// Windows or an update), or one the programs do not import at load time so
// that their import tables keep to the DLLs Windows always takes from its
// system directory. The one place that calls GetProcAddress
// (scripts/check-style.sh fails any other).
#pragma once

#include <windows.h>

// Call from a module the process holds; null when the module is null or
// does not export name.
template <typename Call> Call ModuleCall(HMODULE module, const char *name)
{
  if (module == nullptr)
    return nullptr;
  FARPROC entry = GetProcAddress(module, name);
  // Through a function pointer of no arguments: a direct cast between
  // unrelated function types is what -Wcast-function-type warns about.
  return reinterpret_cast<Call>(reinterpret_cast<void (*)(void)>(entry));
}

// Call from a DLL every process of the programs has loaded already
// (kernel32.dll, ntdll.dll), found by its name alone; null when this system
// lacks the function.
template <typename Call> Call SystemCall(const char *dll, const char *name)
{
  return ModuleCall<Call>(GetModuleHandleA(dll), name);
}
