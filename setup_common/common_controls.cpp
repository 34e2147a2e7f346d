// Run-time loading of comctl32 (see common_controls.h).
#include "setup_common/common_controls.h"

#include "common/path_text.h"
#include "common/product.h"
#include "common/system_call.h"

namespace {

HMODULE CommonControls;

}  // namespace

bool LoadCommonControls()
{
  if (CommonControls != nullptr)
    return true;
  char systemDir[ShortPathSize];
  UINT length = GetSystemDirectoryA(systemDir, sizeof(systemDir));
  if (length == 0 || length >= sizeof(systemDir))
    return false;
  char path[PathBufferSize];
  if (!JoinPath(path, sizeof(path), systemDir, "comctl32.dll"))
    return false;
  CommonControls = LoadLibraryA(path);
  return CommonControls != nullptr;
}

namespace {

template <typename Call> Call CommonControlsCall(const char *name)
{
  return LoadCommonControls() ? ModuleCall<Call>(CommonControls, name) : nullptr;
}

}  // namespace

HIMAGELIST ImageListCreate(int width, int height, UINT flags, int initial, int grow)
{
  typedef HIMAGELIST(WINAPI * CreateCall)(int, int, UINT, int, int);
  CreateCall create = CommonControlsCall<CreateCall>("ImageList_Create");
  return create != nullptr ? create(width, height, flags, initial, grow) : nullptr;
}

int ImageListReplaceIcon(HIMAGELIST images, int index, HICON icon)
{
  typedef int(WINAPI * ReplaceIconCall)(HIMAGELIST, int, HICON);
  ReplaceIconCall replace = CommonControlsCall<ReplaceIconCall>("ImageList_ReplaceIcon");
  return replace != nullptr ? replace(images, index, icon) : -1;
}
