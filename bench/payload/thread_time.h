// The processor time of the calling thread (user and kernel), in
// milliseconds, for the copy benchmark's floors and stage clocks: on a busy
// machine the wall clock also counts the time a stage waited for a
// processor, this only the time it ran (10 ms steps under Wine).
#pragma once

#include <windows.h>

inline double ThreadMs()
{
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(GetCurrentThread(), &created, &ended, &kernel, &user))
    return 0.0;
  ULARGE_INTEGER k, u;
  k.LowPart = kernel.dwLowDateTime;
  k.HighPart = kernel.dwHighDateTime;
  u.LowPart = user.dwLowDateTime;
  u.HighPart = user.dwHighDateTime;
  return static_cast<double>(k.QuadPart + u.QuadPart) / 10000.0;
}
