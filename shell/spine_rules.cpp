#include "shell/spine_rules.h"

#include <cstring>

const char *ClosingWord(int installMode)
{
  return installMode != 0 ? "installed" : "registered";
}

bool OpensGroupFolder(int installMode)
{
  return installMode == 1;
}

void TrimDriveRoot(char *directory)
{
  if (std::strlen(directory) < 4)
    directory[2] = '\0';
}
