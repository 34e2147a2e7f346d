// Entry of every end-to-end driver executable:
//   e2e_AREA.exe SCENARIO SETUP_PATH OUTPUT_DIR
// Runs one scenario of the area and exits with 0 when all its checks passed.
#include "tests/e2e/driver/driver.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
  if (argc < 4) {
    printf("usage: %s SCENARIO SETUP_PATH OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  SetupPath = argv[2];
  OutputDir = argv[3];
  for (int i = 0; i < ScenarioCount; ++i) {
    if (strcmp(Scenarios[i].name, argv[1]) == 0) {
      Scenarios[i].run();
      printf("%s: %d failed check(s)\n", argv[1], Failures);
      return Failures == 0 ? 0 : 1;
    }
  }
  printf("no scenario named %s\n", argv[1]);
  return 2;
}
