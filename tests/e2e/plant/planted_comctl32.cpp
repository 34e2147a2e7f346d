// A stand-in for a comctl32.dll that an attacker put beside setup.exe. When
// a process loads it, it leaves the marker file "planted-dll-loaded.txt"
// next to itself, naming that process. Like a real planted DLL it passes
// the calls setup imported on to the system's comctl32, so a program that
// loads it goes on working and only the marker tells.
#include <windows.h>

#include "common/system_call.h"

namespace {

const char MarkerName[] = "planted-dll-loaded.txt";

void LeaveMarker(HINSTANCE self)
{
  char path[MAX_PATH + sizeof(MarkerName)];
  DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return;
  char *name = path + length;
  while (name > path && name[-1] != '\\')
    --name;
  lstrcpyA(name, MarkerName);
  HANDLE file =
      CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return;
  char host[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, host, MAX_PATH);
  DWORD written = 0;
  WriteFile(file, host, lstrlenA(host), &written, nullptr);
  CloseHandle(file);
}

// The system's comctl32, loaded by its full path on first use.
HMODULE SystemComctl32()
{
  static HMODULE system;
  if (system == nullptr) {
    char path[MAX_PATH + 16];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
      return nullptr;
    lstrcatA(path, "\\comctl32.dll");
    system = LoadLibraryA(path);
  }
  return system;
}

template <typename Function> Function SystemFunction(const char *name)
{
  return ModuleCall<Function>(SystemComctl32(), name);
}

}  // namespace

extern "C" __declspec(dllexport) void *WINAPI
    ImageList_Create(int width, int height, UINT flags, int initial, int grow)
{
  typedef void *(WINAPI * Create)(int, int, UINT, int, int);
  Create create = SystemFunction<Create>("ImageList_Create");
  return create ? create(width, height, flags, initial, grow) : nullptr;
}

extern "C" __declspec(dllexport) int WINAPI
    ImageList_ReplaceIcon(void *images, int index, HICON icon)
{
  typedef int(WINAPI * Replace)(void *, int, HICON);
  Replace replace = SystemFunction<Replace>("ImageList_ReplaceIcon");
  return replace ? replace(images, index, icon) : -1;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID)
{
  if (reason == DLL_PROCESS_ATTACH)
    LeaveMarker(self);
  return TRUE;
}
