// System random bits (see random_bits.h).
#include "common/random_bits.h"

#include <windows.h>

#include "common/path_text.h"
#include "common/system_call.h"

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32: the module's own imports come from the
// system directory too. Systems without the update that brought it refuse
// the flag (ERROR_INVALID_PARAMETER): the plain load by full path follows.
constexpr DWORD SearchSystem32 = 0x00000800;
// BCRYPT_USE_SYSTEM_PREFERRED_RNG: no algorithm handle needed.
constexpr ULONG SystemPreferredRng = 0x00000002;

typedef LONG(WINAPI *BCryptGenRandomCall)(void *, unsigned char *, ULONG, ULONG);
typedef BOOLEAN(WINAPI *RtlGenRandomCall)(void *, ULONG);

HMODULE LoadSystemModule(const char *name)
{
  char systemDir[MAX_PATH];
  char path[MAX_PATH + 16];
  UINT length = GetSystemDirectoryA(systemDir, sizeof(systemDir));
  if (length == 0 || length >= sizeof(systemDir) || !JoinPath(path, sizeof(path), systemDir, name))
    return nullptr;
  HMODULE module = LoadLibraryExA(path, nullptr, SearchSystem32);
  if (module == nullptr && GetLastError() == ERROR_INVALID_PARAMETER)
    module = LoadLibraryA(path);
  return module;
}

// Each generator is looked up once, when first needed, and its module kept
// loaded for the life of the process: loading and freeing bcrypt.dll for
// every draw cost about 16 ms a draw under Wine, and setup draws once for
// every file it installs.
bool BCryptLooked = false;
BCryptGenRandomCall BCryptGenerate = nullptr;
bool AdvapiLooked = false;
RtlGenRandomCall AdvapiGenerate = nullptr;

template <typename Call> Call KeepLoaded(const char *moduleName, const char *function)
{
  HMODULE module = LoadSystemModule(moduleName);
  Call call = ModuleCall<Call>(module, function);
  if (call == nullptr && module != nullptr)
    FreeLibrary(module);
  return call;
}

bool FromBCrypt(uint64_t *bits)
{
  if (!BCryptLooked) {
    BCryptLooked = true;
    BCryptGenerate = KeepLoaded<BCryptGenRandomCall>("bcrypt.dll", "BCryptGenRandom");
  }
  return BCryptGenerate != nullptr &&
         BCryptGenerate(nullptr, reinterpret_cast<unsigned char *>(bits), sizeof(*bits),
                        SystemPreferredRng) >= 0;
}

bool FromAdvapi(uint64_t *bits)
{
  if (!AdvapiLooked) {
    AdvapiLooked = true;
    AdvapiGenerate = KeepLoaded<RtlGenRandomCall>("advapi32.dll", "SystemFunction036");
  }
  return AdvapiGenerate != nullptr && AdvapiGenerate(bits, sizeof(*bits)) != FALSE;
}

}  // namespace

bool RandomBits64(uint64_t *bits)
{
  uint64_t drawn = 0;
  if (!FromBCrypt(&drawn) && !FromAdvapi(&drawn))
    return false;
  *bits = drawn;
  return true;
}
