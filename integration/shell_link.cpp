// Shortcut files through IShellLinkA and IPersistFile; see shell_link.h.
#include "integration/shell_link.h"

#include <objidl.h>
#include <shlobj.h>

HRESULT CreateShellLink(const char *target, const char *linkPath, const char *description)
{
  CoInitialize(nullptr);

  IShellLinkA *link = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void **>(&link));
  if (SUCCEEDED(result)) {
    link->SetPath(target);
    link->SetDescription(description);

    IPersistFile *file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void **>(&file));
    if (SUCCEEDED(result)) {
      // A path that does not fit the buffer fails the conversion; saving
      // what was converted would write the link under a cut, wrong name.
      WCHAR widePath[MAX_PATH];
      if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) != 0) {
        result = file->Save(widePath, TRUE);
      } else {
        DWORD error = GetLastError();
        result = error != 0 ? HRESULT_FROM_WIN32(error) : E_FAIL;
      }
      file->Release();
    }
    link->Release();
  }

  CoUninitialize();
  return result;
}
