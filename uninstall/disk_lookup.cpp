#include "uninstall/disk_lookup.h"

#include <windows.h>

#include "uninstall/link_target.h"

namespace {

PathKind KindOf(const char *path, void *)
{
  DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    // Anything but "not there" (access denied, say) is planned as a file, so
    // that the delete that fails says so instead of the file staying unseen.
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathMissing : PathFile;
  }
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return PathReparse;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? PathFolder : PathFile;
}

bool TargetOf(const char *linkPath, char *target, size_t size, void *)
{
  return ReadLinkTarget(linkPath, target, size);
}

bool IdentityOf(const char *path, FolderIdentity *id, void *)
{
  // Backup semantics opens folders; the open follows links and short names
  // to the folder itself.
  HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE)
    return false;
  BY_HANDLE_FILE_INFORMATION info;
  bool known = GetFileInformationByHandle(folder, &info) != FALSE;
  CloseHandle(folder);
  if (known) {
    id->volume = info.dwVolumeSerialNumber;
    id->index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  }
  return known;
}

bool RealPathOf(const char *path, char *real, size_t size, void *)
{
  // Opened without FILE_FLAG_OPEN_REPARSE_POINT, so that the handle is the
  // folder every link on the way leads to; its name is then the real one.
  HANDLE folder = CreateFileA(path, FILE_READ_ATTRIBUTES,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (folder == INVALID_HANDLE_VALUE || size == 0)
    return false;
  DWORD length = GetFinalPathNameByHandleA(folder, real, static_cast<DWORD>(size),
                                           FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  CloseHandle(folder);
  // 0 on failure; the size it needs, terminator included, when it does not fit.
  return length != 0 && length < size;
}

}  // namespace

const RemovalLookup DiskLookup = {KindOf, TargetOf, IdentityOf, RealPathOf, nullptr};
