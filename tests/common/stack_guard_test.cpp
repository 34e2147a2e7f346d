// The programs' own stack guard at work: this program links the same object
// (zv_stack_guard). Without arguments it runs itself with each case below
// and exits 0 when a write within a stack buffer returns and one past it
// ends the process with STATUS_STACK_BUFFER_OVERRUN, by the stack guard
// (fill) and by the checked memcpy (copy). With "fill N" or "copy N" it
// writes N bytes into a stack buffer of 8; the count comes from the command
// line, so the compiler cannot see the overrun.
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

extern "C" uintptr_t __stack_chk_guard;

namespace {

const char Source[64] = "A";

}  // namespace

__attribute__((noinline)) static int Fill(size_t count)
{
  char buffer[8];
  volatile char *cursor = buffer;
  for (size_t i = 0; i < count; ++i)
    cursor[i] = 'A';
  return buffer[0];
}

__attribute__((noinline)) static int Copy(size_t count)
{
  char buffer[8];
  memcpy(buffer, Source, count);
  return buffer[0];
}

namespace {

// The exit code of this program run with ARGS; STILL_ACTIVE when it did
// not start or end.
DWORD RunSelf(const char *args)
{
  char self[MAX_PATH], command[MAX_PATH + 32];
  DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
  if (length == 0 || length >= MAX_PATH)
    return STILL_ACTIVE;
  snprintf(command, sizeof(command), "\"%s\" %s", self, args);
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
    GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

const struct {
  const char *args;
  DWORD code;
} Cases[] = {{"fill 8", 0},
             {"copy 8", 0},
             {"fill 64", STATUS_STACK_BUFFER_OVERRUN},
             {"copy 64", STATUS_STACK_BUFFER_OVERRUN}};

}  // namespace

int main(int argc, char **argv)
{
  if (__stack_chk_guard == 0)
    return 3;  // not seeded before main
  if (argc == 3) {
    size_t count = strtoul(argv[2], nullptr, 10);
    if (count > sizeof(Source))
      return 2;
    return (strcmp(argv[1], "copy") == 0 ? Copy(count) : Fill(count)) == 'A' ? 0 : 4;
  }
  int failures = 0;
  for (const auto &run : Cases) {
    DWORD code = RunSelf(run.args);
    printf("%-8s exit code 0x%08lX, expected 0x%08lX\n", run.args, code, run.code);
    failures += code != run.code;
  }
  return failures == 0 ? 0 : 1;
}
