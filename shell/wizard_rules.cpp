#include "shell/wizard_rules.h"

#include <cstring>

#include "common/ascii_text.h"
#include "resources/setup_texts.h"

const char *ClosingWord(int installMode)
{
  return installMode != 0 ? InstalledWord : RegisteredWord;
}

bool OpensGroupFolder(int installMode)
{
  return installMode == 1;
}

void TrimDriveRoot(char *directory)
{
  if (IsDriveRoot(std::strlen(directory)))
    directory[2] = '\0';
}
