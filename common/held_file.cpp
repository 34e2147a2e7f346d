// Handle-based file operations (see held_file.h). They go through ntdll's
// NtSetInformationFile, which every NT system has (SetFileInformationByHandle,
// its wrapper, came with Vista), looked up at run time so that setup keeps
// to its load-time imports.
#include "common/held_file.h"

#include <winternl.h>

#include <cstring>

namespace {

typedef LONG(NTAPI *NtSetInformationFileCall)(HANDLE, IO_STATUS_BLOCK *, void *, ULONG, ULONG);

// FILE_INFORMATION_CLASS values.
constexpr ULONG RenameClass = 10;
constexpr ULONG DispositionClass = 13;

constexpr size_t NativePathSize = 4 + MAX_PATH * 2;

struct RenameRequest {
  BOOLEAN replaceIfExists;
  HANDLE rootDirectory;
  ULONG fileNameLength;  // in bytes
  WCHAR fileName[NativePathSize];
};

bool SetInformation(HANDLE handle, void *data, ULONG size, ULONG informationClass)
{
  FARPROC entry = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetInformationFile");
  NtSetInformationFileCall set =
      reinterpret_cast<NtSetInformationFileCall>(reinterpret_cast<void (*)(void)>(entry));
  if (set == nullptr)
    return false;
  IO_STATUS_BLOCK status = {};
  return set(handle, &status, data, size, informationClass) >= 0;
}

bool HeldAttributes(HANDLE handle, DWORD *attributes)
{
  BY_HANDLE_FILE_INFORMATION information;
  if (!GetFileInformationByHandle(handle, &information))
    return false;
  *attributes = information.dwFileAttributes;
  return true;
}

}  // namespace

bool NativePathOf(const char *path, wchar_t *out, size_t size, size_t *length)
{
  static const wchar_t Prefix[] = L"\\??\\";
  constexpr size_t PrefixLength = 4;
  if (size <= PrefixLength)
    return false;
  std::memcpy(out, Prefix, sizeof(Prefix));
  int converted = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, out + PrefixLength,
                                      static_cast<int>(size - PrefixLength));
  if (converted <= 0)
    return false;
  *length = PrefixLength + static_cast<size_t>(converted) - 1;
  return true;
}

bool SetDeleteDisposition(HANDLE handle, bool deleteOnClose)
{
  BOOLEAN disposition = deleteOnClose ? TRUE : FALSE;
  return SetInformation(handle, &disposition, sizeof(disposition), DispositionClass);
}

bool RenameHeldFile(HANDLE handle, const char *newPath, bool replace)
{
  RenameRequest request = {};
  size_t length = 0;
  if (!NativePathOf(newPath, request.fileName, NativePathSize, &length))
    return false;
  request.replaceIfExists = replace ? TRUE : FALSE;
  request.fileNameLength = static_cast<ULONG>(length * sizeof(WCHAR));
  return SetInformation(handle, &request, sizeof(request), RenameClass);
}

bool HeldIsPlainFile(HANDLE handle)
{
  DWORD attributes = 0;
  return HeldAttributes(handle, &attributes) &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
}

bool HeldIsPlainFolder(HANDLE handle)
{
  DWORD attributes = 0;
  return HeldAttributes(handle, &attributes) &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
             FILE_ATTRIBUTE_DIRECTORY;
}
