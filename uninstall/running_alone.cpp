#include "uninstall/running_alone.h"

#include <windows.h>

namespace {

// In the global namespace, so that an uninstaller in another session is
// seen too; only administrators (and services) may create objects there,
// so a standard user's program cannot hold the name to block the removal.
const char RunningMarkName[] = "Global\\The Zorvane uninstaller";

}  // namespace

bool ClaimRunningAlone(bool trustedCopy)
{
  // The handle is kept until the process ends, and the mark with it.
  HANDLE mark = CreateMutexA(nullptr, FALSE, RunningMarkName);
  DWORD error = GetLastError();
  if (mark == nullptr)
    return false;
  return error != ERROR_ALREADY_EXISTS || trustedCopy;
}
