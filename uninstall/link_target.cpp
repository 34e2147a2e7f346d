#include "uninstall/link_target.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>

#include "common/path_text.h"

namespace {

// The link object's identities, defined here: libuuid keeps every GUID of
// the platform in one object and would bring them all along.
const CLSID ShellLinkClass = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID ShellLinkInterface = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const IID PersistFileInterface = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// Loads the link into link; false when the path does not convert whole.
bool LoadLink(IShellLinkA *link, const char *linkPath)
{
  IPersistFile *file = nullptr;
  if (FAILED(link->QueryInterface(PersistFileInterface, reinterpret_cast<void **>(&file))))
    return false;
  WCHAR widePath[MAX_PATH];
  bool loaded = MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) != 0 &&
                SUCCEEDED(file->Load(widePath, STGM_READ));
  file->Release();
  return loaded;
}

}  // namespace

bool ReadLinkTarget(const char *linkPath, char *target, size_t size)
{
  CoInitialize(nullptr);
  bool read = false;
  IShellLinkA *link = nullptr;
  if (SUCCEEDED(CoCreateInstance(ShellLinkClass, nullptr, CLSCTX_INPROC_SERVER, ShellLinkInterface,
                                 reinterpret_cast<void **>(&link)))) {
    char path[MAX_PATH] = "";
    // S_FALSE: a link without a path (to a shell item), which is not ours.
    if (LoadLink(link, linkPath) && link->GetPath(path, MAX_PATH, nullptr, 0) == S_OK)
      read = CopyCut(target, size, path) < size;
    link->Release();
  }
  CoUninitialize();
  return read;
}
