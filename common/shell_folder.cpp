#include "common/shell_folder.h"

#include <windows.h>

#include <cstring>

#include "common/install_facts.h"
#include "common/path_text.h"

bool GetShellFolder(char *buffer, size_t bufferSize, const char *valueName)
{
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ShellFoldersKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;

  // A value longer than the buffer fails the query with ERROR_MORE_DATA and
  // counts as not found; a value stored without its terminator is bounded
  // by the length the query reports.
  char data[PathBufferSize];
  std::memset(data, 0, sizeof(data));
  DWORD dataLength = sizeof(data);
  bool found = false;
  if (RegQueryValueExA(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE *>(data),
                       &dataLength) == ERROR_SUCCESS)
    found = TakeShellFolderValue(buffer, bufferSize, data, dataLength);
  RegCloseKey(key);
  return found;
}
