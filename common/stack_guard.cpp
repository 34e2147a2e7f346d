// The stack guard of setup.exe, uninstall.exe and Zorvane.exe, and what
// ends them when it or a checked string function finds memory overwritten.
//
// With -fstack-protector-strong each function with a stack buffer copies
// __stack_chk_guard below its return address and calls __stack_chk_fail
// when the copy has changed by its return; with -D_FORTIFY_SOURCE the
// checked functions (__memcpy_chk and the like, from the compiler's libssp)
// call __chk_fail when a copy would run past its destination. libssp's own
// definitions of these (its ssp.o) seed the guard with advapi32's
// CryptGenRandom, which Windows 7 and later forward to cryptsp.dll: no
// KnownDLL, so the loader looks for it in the program's folder while it
// binds the imports, before the program's first line restricts the DLL
// search, and a cryptsp.dll left beside a downloaded setup.exe would run as
// administrator. Defined here, in an object linked into each program, they
// keep the linker from taking ssp.o, and the guard comes from kernel32 calls
// and addresses only.
//
// Built without the stack protector: the seeding must not check a guard
// that it changes, nor the failure path read the stack it found overwritten.
#include <windows.h>

#include <stdint.h>

extern "C" {
uintptr_t __stack_chk_guard;
__attribute__((noreturn)) void __stack_chk_fail(void);
__attribute__((noreturn)) void __chk_fail(void);
}

namespace {

// Adds a value to the state: SplitMix64's step and finaliser, which carries
// each bit of the value into about half the bits of the result, so that the
// few bits in which two starts differ change the whole guard.
uint64_t Mix(uint64_t state, uint64_t value)
{
  uint64_t x = (state ^ value) + 0x9E3779B97F4A7C15ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

uint64_t Pair(DWORD high, DWORD low)
{
  return (static_cast<uint64_t>(high) << 32) | low;
}

}  // namespace

// Seeds the guard, as the common Windows compilers seed their security
// cookie: the time, the process and thread, the tick and performance
// counters (and the processor's cycle counter), and where the stack and this
// program lie, which address space layout randomisation varies per start.
// None needs more than kernel32.
//
// Priority 101 is the first a program may use (0 to 100 belong to the
// runtime): this runs before the constructors of the program's static
// objects and before WinMain, so before any function of the program. What
// is on the stack meanwhile is the mingw-w64 runtime's start-up (the entry
// point, __tmainCRTStartup, __main and its walk of the constructors),
// which is not built with the stack protector: no frame holds a copy of the
// old guard that would fail its check when it returns.
__attribute__((constructor(101))) static void SeedStackGuard()
{
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  LARGE_INTEGER counter;
  counter.QuadPart = 0;
  QueryPerformanceCounter(&counter);
  uint64_t state = Mix(0, Pair(now.dwHighDateTime, now.dwLowDateTime));
  state = Mix(state, Pair(GetCurrentProcessId(), GetCurrentThreadId()));
  state = Mix(state, GetTickCount());
  state = Mix(state, static_cast<uint64_t>(counter.QuadPart));
#if defined(__i386__) || defined(__x86_64__)
  state = Mix(state, __builtin_ia32_rdtsc());
#endif
  state = Mix(state, reinterpret_cast<uintptr_t>(&now));
  state = Mix(state, reinterpret_cast<uintptr_t>(&__stack_chk_guard));
  // A 32-bit guard takes both halves.
  uintptr_t guard = static_cast<uintptr_t>(sizeof(uintptr_t) < 8 ? state ^ (state >> 32) : state);
  // A guard of 0 is what an unseeded one holds.
  if (guard == 0)
    guard = static_cast<uintptr_t>(0x2B992DDFA23249D6ull);
  __stack_chk_guard = guard;
}

// Ends the process at once, exit code STATUS_STACK_BUFFER_OVERRUN: no
// unwinding, no exception handler, no message, nothing that returns through
// the overwritten stack. Windows 8 and later end it in the kernel on the
// fast-fail interrupt (int 0x29), unseen by the process's handlers. Older
// systems take that interrupt for an access violation and would run the
// exception handlers, whose records on the stack the overrun may have
// overwritten; there TerminateProcess ends it.
__attribute__((noreturn)) static void EndAtOnce(unsigned int reason)
{
#if defined(__i386__) || defined(__x86_64__)
  if (IsProcessorFeaturePresent(PF_FASTFAIL_AVAILABLE))
    __asm__ __volatile__("int $0x29" : : "c"(reason) : "memory");
#else
  (void)reason;
#endif
  TerminateProcess(GetCurrentProcess(), STATUS_STACK_BUFFER_OVERRUN);
  __builtin_trap();
}

extern "C" void __stack_chk_fail(void)
{
  EndAtOnce(FAST_FAIL_STACK_COOKIE_CHECK_FAILURE);
}

extern "C" void __chk_fail(void)
{
  EndAtOnce(FAST_FAIL_RANGE_CHECK_FAILURE);
}
