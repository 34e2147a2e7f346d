#include "common/runs_under_wine.h"

#include "common/system_call.h"

namespace {

typedef const char *(__cdecl *WineVersionCall)();

}  // namespace

bool RunsUnderWine()
{
  return SystemCall<WineVersionCall>("ntdll.dll", "wine_get_version") != nullptr;
}
