// uninstall.exe: for now it only tells the user what it would remove, as
// setup registered it: the program directory ("Progdir") and the program
// group ("Scdir") under the product's Uninstall key.
#include <windows.h>

#include "shell/dll_search.h"
#include "shell/product.h"

namespace {

const char UninstallKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" ZV_PRODUCT_TITLE;
const char Caption[] = ZV_PRODUCT_TITLE " - Uninstall";

// Reads a string value of the open key into out; "(not registered)" when it
// is missing, not a string or too long.
void ReadPath(HKEY key, const char *name, char *out, DWORD outSize)
{
  DWORD type = 0;
  DWORD size = outSize - 1;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(out), &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ)) {
    lstrcpyA(out, "(not registered)");
    return;
  }
  out[size < outSize ? size : outSize - 1] = '\0';
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
  RestrictDllSearch();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    MessageBoxA(nullptr, ZV_PRODUCT_TITLE " is not registered on this computer; nothing to remove.",
                Caption, MB_OK | MB_ICONEXCLAMATION);
    return 0;
  }
  char programDir[MAX_PATH + 1];
  char groupDir[MAX_PATH + 1];
  ReadPath(key, "Progdir", programDir, sizeof programDir);
  ReadPath(key, "Scdir", groupDir, sizeof groupDir);
  RegCloseKey(key);

  char text[3 * MAX_PATH];
  wsprintfA(text,
            "Uninstalling would remove:\r\n\r\n"
            "Program directory: %s\r\nProgram group: %s\r\n\r\n"
            "Nothing has been removed yet.",
            programDir, groupDir);
  MessageBoxA(nullptr, text, Caption, MB_OK | MB_ICONINFORMATION);
  return 0;
}
