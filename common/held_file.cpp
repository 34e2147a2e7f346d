// Handle-based file operations (see held_file.h). They go through ntdll's
// NtSetInformationFile, which every NT system has (SetFileInformationByHandle,
// its wrapper, came with Vista), looked up at run time so that setup keeps
// to its load-time imports.
#include "common/held_file.h"

#include <winternl.h>

#include <cstring>

namespace {

typedef LONG(NTAPI *NtSetInformationFileCall)(HANDLE, IO_STATUS_BLOCK *, void *, ULONG, ULONG);
typedef LONG(NTAPI *NtCreateFileCall)(HANDLE *, ACCESS_MASK, OBJECT_ATTRIBUTES *, IO_STATUS_BLOCK *,
                                      LARGE_INTEGER *, ULONG, ULONG, ULONG, ULONG, void *, ULONG);

constexpr ULONG SynchronousIo = 0x00000020;                   // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG OpenReparsePoint = 0x00200000;                // FILE_OPEN_REPARSE_POINT
constexpr ULONG CaseInsensitive = 0x00000040;                 // OBJ_CASE_INSENSITIVE
constexpr LONG InvalidName = static_cast<LONG>(0xC0000033);   // STATUS_OBJECT_NAME_INVALID
constexpr LONG NoEntryPoint = static_cast<LONG>(0xC0000139);  // STATUS_ENTRYPOINT_NOT_FOUND

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

// One level below a held folder: no separator, not "." or "..", not empty.
bool IsOneLevel(const char *name)
{
  size_t dots = 0;
  size_t length = 0;
  for (; name[length] != '\0'; ++length) {
    if (name[length] == '\\' || name[length] == '/')
      return false;
    if (name[length] == '.')
      ++dots;
  }
  return length > 0 && !(dots == length && length <= 2);
}

}  // namespace

LONG OpenBelow(const BelowOpen &request, HANDLE *out)
{
  *out = INVALID_HANDLE_VALUE;
  FARPROC entry = GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtCreateFile");
  NtCreateFileCall create =
      reinterpret_cast<NtCreateFileCall>(reinterpret_cast<void (*)(void)>(entry));
  if (create == nullptr)
    return NoEntryPoint;
  wchar_t wide[NativePathSize];
  size_t length = 0;
  if (request.root != nullptr) {
    if (!IsOneLevel(request.name))
      return InvalidName;
    int converted = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, request.name, -1, wide,
                                        static_cast<int>(NativePathSize));
    if (converted <= 1)
      return InvalidName;
    length = static_cast<size_t>(converted) - 1;
  } else if (!NativePathOf(request.name, wide, NativePathSize, &length)) {
    return InvalidName;
  }
  UNICODE_STRING name;
  name.Buffer = wide;
  name.Length = static_cast<USHORT>(length * sizeof(wchar_t));
  name.MaximumLength = name.Length;
  OBJECT_ATTRIBUTES attributes = {};
  attributes.Length = sizeof(attributes);
  attributes.RootDirectory = request.root;
  attributes.ObjectName = &name;
  attributes.Attributes = CaseInsensitive;
  attributes.SecurityDescriptor = request.security;
  IO_STATUS_BLOCK status = {};
  HANDLE opened = INVALID_HANDLE_VALUE;
  LONG result = create(&opened, request.access | SYNCHRONIZE, &attributes, &status, nullptr,
                       request.attributes, request.share, request.disposition,
                       request.options | SynchronousIo | OpenReparsePoint, nullptr, 0);
  if (result >= 0)
    *out = opened;
  return result;
}

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
