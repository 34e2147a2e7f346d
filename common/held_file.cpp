// Handle-based file operations (see held_file.h). They go through ntdll's
// NtSetInformationFile, which every NT system has (SetFileInformationByHandle,
// its wrapper, came with Vista), looked up at run time so that setup keeps
// to its load-time imports.
#include "common/held_file.h"

#include <winternl.h>

#include <cstddef>
#include <cstring>

#include "common/system_call.h"

namespace {

typedef LONG(NTAPI *NtSetInformationFileCall)(HANDLE, IO_STATUS_BLOCK *, void *, ULONG, ULONG);
typedef LONG(NTAPI *NtQueryObjectCall)(HANDLE, ULONG, void *, ULONG, ULONG *);
typedef BOOLEAN(NTAPI *RtlEqualUnicodeStringCall)(const UNICODE_STRING *, const UNICODE_STRING *,
                                                  BOOLEAN);
typedef LONG(NTAPI *NtQueryDirectoryFileCall)(HANDLE, HANDLE, void *, void *, IO_STATUS_BLOCK *,
                                              void *, ULONG, ULONG, BOOLEAN, UNICODE_STRING *,
                                              BOOLEAN);
typedef LONG(NTAPI *NtCreateFileCall)(HANDLE *, ACCESS_MASK, OBJECT_ATTRIBUTES *, IO_STATUS_BLOCK *,
                                      LARGE_INTEGER *, ULONG, ULONG, ULONG, ULONG, void *, ULONG);

constexpr ULONG SynchronousIo = 0x00000020;                   // FILE_SYNCHRONOUS_IO_NONALERT
constexpr ULONG OpenReparsePoint = 0x00200000;                // FILE_OPEN_REPARSE_POINT
constexpr ULONG CaseInsensitive = 0x00000040;                 // OBJ_CASE_INSENSITIVE
constexpr LONG InvalidName = static_cast<LONG>(0xC0000033);   // STATUS_OBJECT_NAME_INVALID
constexpr LONG NoEntryPoint = static_cast<LONG>(0xC0000139);  // STATUS_ENTRYPOINT_NOT_FOUND

typedef LONG(NTAPI *NtFsControlFileCall)(HANDLE, HANDLE, void *, void *, IO_STATUS_BLOCK *, ULONG,
                                         void *, ULONG, void *, ULONG);
constexpr LONG NotAReparsePoint = static_cast<LONG>(0xC0000275);  // STATUS_NOT_A_REPARSE_POINT
constexpr ULONG GetReparsePoint = 0x000900A8;                     // FSCTL_GET_REPARSE_POINT
constexpr LONG NoMoreFiles = static_cast<LONG>(0x80000006);       // STATUS_NO_MORE_FILES

typedef LONG(NTAPI *NtQueryInformationFileCall)(HANDLE, IO_STATUS_BLOCK *, void *, ULONG, ULONG);

// FILE_INFORMATION_CLASS values.
constexpr ULONG DirectoryClass = 1;
constexpr ULONG BasicClass = 4;
constexpr ULONG RenameClass = 10;
// OBJECT_INFORMATION_CLASS: ObjectNameInformation.
constexpr ULONG ObjectNameClass = 1;

// Room for a name as the system gives it ("\Device\HarddiskVolume3\..."):
// longer than any path setup writes below its folder.
constexpr size_t ObjectNameChars = 1024;

struct ObjectName {
  UNICODE_STRING name;
  WCHAR text[ObjectNameChars];
};
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
  NtSetInformationFileCall set =
      SystemCall<NtSetInformationFileCall>("ntdll.dll", "NtSetInformationFile");
  if (set == nullptr)
    return false;
  IO_STATUS_BLOCK status = {};
  return set(handle, &status, data, size, informationClass) >= 0;
}

// The system's own name of what handle is open on, into *out.
bool ReadObjectName(HANDLE handle, ObjectName *out)
{
  NtQueryObjectCall query = SystemCall<NtQueryObjectCall>("ntdll.dll", "NtQueryObject");
  ULONG length = 0;
  return query != nullptr &&
         query(handle, ObjectNameClass, out, sizeof(*out) - sizeof(WCHAR), &length) >= 0 &&
         out->name.Buffer != nullptr;
}

// name (ANSI code page) in UTF-16 into out (size characters, terminated);
// its length, 0 when it does not convert or fit.
size_t WideName(const char *name, wchar_t *out, size_t size)
{
  int converted =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, -1, out, static_cast<int>(size));
  return converted > 1 ? static_cast<size_t>(converted) - 1 : 0;
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

// FILE_BASIC_INFORMATION.
struct BasicInformation {
  LARGE_INTEGER creationTime;
  LARGE_INTEGER lastAccessTime;
  LARGE_INTEGER lastWriteTime;
  LARGE_INTEGER changeTime;
  ULONG fileAttributes;
};

}  // namespace

bool HeldAttributes(HANDLE handle, DWORD *attributes)
{
  NtQueryInformationFileCall query =
      SystemCall<NtQueryInformationFileCall>("ntdll.dll", "NtQueryInformationFile");
  BasicInformation information = {};
  IO_STATUS_BLOCK status = {};
  if (query == nullptr || query(handle, &status, &information, sizeof(information), BasicClass) < 0)
    return false;
  *attributes = information.fileAttributes;
  return true;
}

LONG OpenBelow(const BelowOpen &request, HANDLE *out)
{
  *out = INVALID_HANDLE_VALUE;
  NtCreateFileCall create = SystemCall<NtCreateFileCall>("ntdll.dll", "NtCreateFile");
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

bool RenameBelow(HANDLE handle, HANDLE folder, const char *name, bool replace)
{
  RenameRequest request = {};
  if (!IsOneLevel(name))
    return false;
  size_t length = WideName(name, request.fileName, NativePathSize);
  if (length == 0)
    return false;
  request.replaceIfExists = replace ? TRUE : FALSE;
  request.rootDirectory = folder;
  request.fileNameLength = static_cast<ULONG>(length * sizeof(WCHAR));
  return SetInformation(handle, &request, sizeof(request), RenameClass);
}

bool HeldIsNamedBelow(HANDLE child, HANDLE folder, const char *name)
{
  RtlEqualUnicodeStringCall equal =
      SystemCall<RtlEqualUnicodeStringCall>("ntdll.dll", "RtlEqualUnicodeString");
  ObjectName childName;
  ObjectName expected;
  if (equal == nullptr || !IsOneLevel(name) || !ReadObjectName(child, &childName) ||
      !ReadObjectName(folder, &expected))
    return false;
  // The folder's name, a separator unless it ends in one (a volume's
  // root), and name: in the folder's own buffer, which has room after it.
  size_t used = expected.name.Length / sizeof(WCHAR);
  if (expected.name.Buffer != expected.text || used + 2 >= ObjectNameChars)
    return false;
  if (used == 0 || expected.text[used - 1] != L'\\')
    expected.text[used++] = L'\\';
  size_t length = WideName(name, expected.text + used, ObjectNameChars - used);
  if (length == 0)
    return false;
  expected.name.Length = static_cast<USHORT>((used + length) * sizeof(WCHAR));
  expected.name.MaximumLength = expected.name.Length;
  return equal(&childName.name, &expected.name, TRUE) != FALSE;
}

bool ListBelow(HANDLE folder, BelowVisitor visit, void *context)
{
  NtQueryDirectoryFileCall query =
      SystemCall<NtQueryDirectoryFileCall>("ntdll.dll", "NtQueryDirectoryFile");
  if (query == nullptr)
    return false;
  // FILE_DIRECTORY_INFORMATION records, 8-byte aligned.
  alignas(8) unsigned char records[16384];
  char name[3 * MAX_PATH + 1];
  for (BOOLEAN restart = TRUE;; restart = FALSE) {
    IO_STATUS_BLOCK status = {};
    LONG result = query(folder, nullptr, nullptr, nullptr, &status, records, sizeof(records),
                        DirectoryClass, FALSE, nullptr, restart);
    if (result == NoMoreFiles)
      return true;
    if (result < 0)
      return false;
    const size_t filled =
        status.Information < sizeof(records) ? status.Information : sizeof(records);
    for (size_t offset = 0; offset + offsetof(FILE_DIRECTORY_INFORMATION, FileName) <= filled;) {
      const FILE_DIRECTORY_INFORMATION *record =
          reinterpret_cast<const FILE_DIRECTORY_INFORMATION *>(records + offset);
      const size_t nameEnd =
          offset + offsetof(FILE_DIRECTORY_INFORMATION, FileName) + record->FileNameLength;
      int characters = static_cast<int>(record->FileNameLength / sizeof(WCHAR));
      if (nameEnd <= filled && characters < MAX_PATH) {
        int converted = WideCharToMultiByte(CP_ACP, 0, record->FileName, characters, name,
                                            sizeof(name) - 1, nullptr, nullptr);
        WCHAR back[MAX_PATH];
        if (converted > 0) {
          name[converted] = '\0';
          const bool same = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, name, converted, back,
                                                MAX_PATH) == characters &&
                            std::memcmp(back, record->FileName, record->FileNameLength) == 0;
          if (same && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0 &&
              !visit(context, name, record->FileAttributes))
            return true;
        }
      }
      if (record->NextEntryOffset == 0)
        break;
      offset += record->NextEntryOffset;
    }
  }
}

bool ListBelowAfresh(HANDLE folder, BelowVisitor visit, void *context)
{
  NtCreateFileCall create = SystemCall<NtCreateFileCall>("ntdll.dll", "NtCreateFile");
  if (create == nullptr)
    return false;
  UNICODE_STRING name = {};
  OBJECT_ATTRIBUTES attributes = {};
  attributes.Length = sizeof(attributes);
  attributes.RootDirectory = folder;
  attributes.ObjectName = &name;
  IO_STATUS_BLOCK status = {};
  HANDLE again = INVALID_HANDLE_VALUE;
  constexpr ULONG DirectoryFile = 0x00000001;  // FILE_DIRECTORY_FILE
  constexpr ULONG OpenExisting = 1;            // FILE_OPEN
  if (create(&again, FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE, &attributes, &status,
             nullptr, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OpenExisting,
             DirectoryFile | SynchronousIo | OpenReparsePoint, nullptr, 0) < 0)
    return false;
  bool listed = ListBelow(again, visit, context);
  CloseHandle(again);
  return listed;
}

bool HeldHoldsReparseData(HANDLE handle)
{
  NtFsControlFileCall control = SystemCall<NtFsControlFileCall>("ntdll.dll", "NtFsControlFile");
  if (control == nullptr)
    return true;
  // Room for the header of REPARSE_DATA_BUFFER alone: a point that holds
  // data answers that it does not fit, one that holds none says so.
  ULONG header[4] = {};
  IO_STATUS_BLOCK status = {};
  return control(handle, nullptr, nullptr, nullptr, &status, GetReparsePoint, nullptr, 0, header,
                 sizeof(header)) != NotAReparsePoint;
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

bool DeletePlainBelow(HANDLE folder, const char *name, ULONG share, bool isFolder)
{
  BelowOpen request = {folder,
                       name,
                       DELETE | FILE_READ_ATTRIBUTES,
                       share,
                       BelowOpenExisting,
                       isFolder ? BelowDirectory : BelowNonDirectory,
                       0,
                       nullptr};
  HANDLE held = INVALID_HANDLE_VALUE;
  if (OpenBelow(request, &held) < 0)
    return false;
  const bool plain = isFolder ? HeldIsPlainFolder(held) : HeldIsPlainFile(held);
  const bool named = folder == nullptr || HeldIsNamedBelow(held, folder, name);
  const bool marked = plain && named && SetDeleteDisposition(held, true);
  CloseHandle(held);
  return marked;
}
