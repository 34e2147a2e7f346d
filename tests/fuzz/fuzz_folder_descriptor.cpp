// libFuzzer target: the install folder's judgement of a security
// descriptor, in each role, and the read-back comparison, on arbitrary
// bytes.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "setup_common/install_folder_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  for (FolderRole role : {RoleDriveRoot, RoleLevelAbove, RoleInstallFolder})
    JudgeFolderAccess(data, size, role);
  MatchesFolderAccess(data, size, DescribeInstallDirAccess());
  return 0;
}
