// The install folder's rules on the descriptors Windows gives real folders,
// written in the system's descriptor language (SDDL) and turned into the
// self-relative bytes GetKernelObjectSecurity returns.
#include "setup_common/install_folder_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

const char TrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const char AUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

// Appends value as size little-endian bytes.
void Put(Bytes *out, uint32_t value, int size)
{
  for (int i = 0; i < size; ++i)
    out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// The sum of the two-letter codes of text ("OICIIO", "SDGXGWGR"), or a
// number written "0x...". Entry flags and rights share no code.
uint32_t Codes(const std::string &text)
{
  static const struct {
    const char *code;
    uint32_t value;
  } codes[] = {{"OI", 0x1},        {"CI", 0x2},        {"IO", 0x8},        {"ID", 0x10},
               {"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000}, {"GX", 0x20000000},
               {"SD", 0x00010000}, {"WD", 0x00040000}, {"WO", 0x00080000}, {"FA", 0x001F01FF}};
  if (text.rfind("0x", 0) == 0)
    return static_cast<uint32_t>(std::stoul(text, nullptr, 16));
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < text.size(); i += 2)
    for (const auto &code : codes)
      if (text.compare(i, 2, code.code) == 0)
        sum |= code.value;
  return sum;
}

// A SID from its alias or its "S-1-..." form.
Bytes Sid(std::string text)
{
  static const char *const aliases[][2] = {
      {"SY", "S-1-5-18"}, {"BA", "S-1-5-32-544"}, {"BU", "S-1-5-32-545"}, {"AU", "S-1-5-11"},
      {"WD", "S-1-1-0"},  {"CO", "S-1-3-0"},      {"AC", "S-1-15-2-1"},   {"TI", TrustedInstaller}};
  for (const auto &alias : aliases)
    if (text == alias[0])
      text = alias[1];
  std::istringstream parts(text.substr(4));
  std::string part;
  std::getline(parts, part, '-');
  Bytes sid = {1, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(std::stoul(part))};
  for (; std::getline(parts, part, '-'); ++sid[1])
    Put(&sid, static_cast<uint32_t>(std::stoul(part)), 4);
  return sid;
}

// "O:owner[G:group]D:[P][AI](type;flags;rights;;;sid)..." as self-relative
// bytes: header, owner, then the list. "D:NO_ACCESS_CONTROL" has no list.
Bytes Descriptor(const std::string &sddl)
{
  size_t dacl = sddl.find("D:");
  Bytes owner = Sid(sddl.substr(2, std::min(sddl.find("G:"), dacl) - 2));
  std::string list = sddl.substr(dacl + 2);
  bool none = list == "NO_ACCESS_CONTROL";
  Bytes out = {1, 0};
  Put(&out, none ? 0x8000 : list[0] == 'P' ? 0x9004 : 0x8004, 2);  // self-relative, protected
  Put(&out, 20, 4);                                                // the owner follows
  Put(&out, 0, 4);                                                 // no group
  Put(&out, 0, 4);                                                 // no audit list
  Put(&out, none ? 0 : static_cast<uint32_t>(20 + owner.size()), 4);
  out.insert(out.end(), owner.begin(), owner.end());
  if (none)
    return out;
  Bytes entries;
  uint32_t count = 0;
  for (size_t open = list.find('('); open != std::string::npos; open = list.find('(', open + 1)) {
    std::istringstream entry(list.substr(open + 1, list.find(')', open) - open - 1));
    std::vector<std::string> fields;
    for (std::string field; std::getline(entry, field, ';');)
      fields.push_back(field);
    Bytes sid = Sid(fields[5]);
    entries.push_back(fields[0] == "D" ? 1 : 0);
    entries.push_back(static_cast<uint8_t>(Codes(fields[1])));
    Put(&entries, static_cast<uint32_t>(8 + sid.size()), 2);
    Put(&entries, Codes(fields[2]), 4);
    entries.insert(entries.end(), sid.begin(), sid.end());
    ++count;
  }
  Put(&out, 2, 2);
  Put(&out, static_cast<uint32_t>(8 + entries.size()), 2);
  Put(&out, count, 4);
  out.insert(out.end(), entries.begin(), entries.end());
  return out;
}

// A data drive's root as Windows formats it: every signed-in user may
// modify the root and, inherited, every folder made in it.
const std::string DriveRoot = "O:SYG:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)"
                              "(A;;0x1301bf;;;AU)(A;OICI;0x1200a9;;;BU)";
// What a folder made at that root (D:\Games) inherits.
const std::string AtRootInherited = "D:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)"
                                    "(A;OICIIOID;SDGXGWGR;;;AU)(A;ID;0x1301bf;;;AU)"
                                    "(A;OICIID;0x1200a9;;;BU)";
const std::string TI = TrustedInstaller;
// Program files: TrustedInstaller's, protected.
const std::string ProgramFiles =
    "O:" + TI + "G:" + TI + "D:PAI(A;;FA;;;" + TI + ")(A;CIIO;GA;;;" + TI +
    ")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
    "(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)"
    "(A;OICIIO;GXGR;;;AC)";
// An earlier installation by this setup: the list it gives.
const std::string SetupsOwn = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

const int NotAsked = -1;  // the folder never stands in that role

}  // namespace

// Story: the folders above and at the install folder, as Windows gives them,
// judged by owner and by what other accounts may change in each role.
TEST(InstallFolderAccess, EachDescriptorHasItsVerdictInEachRole)
{
  const int Admins = AccessAdministratorsOnly, Owned = AccessOwnedByOther,
            Open = AccessOpenToOthers;
  const struct {
    std::string sddl;
    int asRoot, asLevel, asInstallFolder;
  } cases[] = {
      // Users may add folders to a root and modify it, but not rename or
      // replace what it holds: it passes as a root, never as a level.
      {DriveRoot, Admins, Open, NotAsked},
      // Made at a root by a user: theirs. By an elevated administrator:
      // every user may still rename it (DELETE, inherited from the root).
      {"O:" + std::string(AUser) + AtRootInherited, NotAsked, Owned, NotAsked},
      {"O:BA" + AtRootInherited, NotAsked, Open, Open},
      // Only its name keeps setup out of Program files as an install
      // folder; an earlier installation by this setup passes.
      {ProgramFiles, NotAsked, Admins, Admins},
      {SetupsOwn, NotAsked, NotAsked, Admins},
      // Made inside Program files by an elevated administrator: the
      // inherit-only entries, CREATOR OWNER's among them.
      {"O:BAD:AI(A;OICIIOID;GA;;;CO)(A;ID;0x1301bf;;;BA)(A;OICIIOID;GA;;;BA)"
       "(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)",
       NotAsked, NotAsked, Admins},
      // A FAT volume's folders: everyone full control, or no list at all.
      {"O:WDD:(A;OICI;FA;;;WD)", NotAsked, Owned, NotAsked},
      {"O:BAD:(A;OICI;FA;;;WD)", Open, NotAsked, NotAsked},
      {"O:BAD:NO_ACCESS_CONTROL", Open, NotAsked, NotAsked},
      // Setup's own list and one entry: inherit-only counts inside only;
      // delete child, WRITE_DAC, WRITE_OWNER anywhere; DELETE not on a root;
      // deny grants nothing; CREATOR OWNER on the folder itself is another.
      {SetupsOwn + "(A;OICIIO;GW;;;BU)", NotAsked, Admins, Open},
      {SetupsOwn + "(A;;0x40;;;AU)", Open, NotAsked, NotAsked},
      {SetupsOwn + "(A;;WD;;;" + AUser + ")", NotAsked, Open, NotAsked},
      {SetupsOwn + "(A;;WO;;;BU)", Open, NotAsked, NotAsked},
      {SetupsOwn + "(A;;SD;;;AU)", Admins, Open, NotAsked},
      {SetupsOwn + "(D;;FA;;;AU)", NotAsked, NotAsked, Admins},
      {SetupsOwn + "(A;;GA;;;CO)", NotAsked, NotAsked, Open},
  };
  for (const auto &c : cases) {
    Bytes bytes = Descriptor(c.sddl);
    const int expected[] = {c.asRoot, c.asLevel, c.asInstallFolder};
    for (FolderRole role : {RoleDriveRoot, RoleLevelAbove, RoleInstallFolder})
      if (expected[role] != NotAsked) {
        EXPECT_EQ(JudgeFolderAccess(bytes.data(), bytes.size(), role), expected[role])
            << c.sddl << " in role " << role;
      }
  }
  // Cut or foreign bytes are never accepted.
  Bytes bytes = Descriptor(ProgramFiles);
  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_NE(JudgeFolderAccess(bytes.data(), size, RoleInstallFolder), Admins) << size;
  bytes[3] = 0;  // SE_SELF_RELATIVE cleared: pointers, not offsets
  EXPECT_EQ(JudgeFolderAccess(bytes.data(), bytes.size(), RoleDriveRoot), AccessUnreadable);
  EXPECT_EQ(JudgeFolderAccess(nullptr, 0, RoleDriveRoot), AccessUnreadable);
}

// Read back after making: exactly the list given, in any order, or refused.
TEST(InstallFolderAccess, ReadBackMatchesOnlyTheListSetupGave)
{
  const struct {
    std::string sddl;
    bool matches;
  } cases[] = {
      {SetupsOwn, true},
      {"O:BAD:P(A;OICI;0x1200a9;;;BU)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)", true},
      // What Wine reads back: the user as owner, not protected.
      {"O:" + std::string(AUser) + "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + AUser + ")", false},
      {"O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", false},
      {SetupsOwn + "(A;;FA;;;AU)", false},
      {"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIID;0x1200a9;;;BU)", false},
      {"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;BU)", false},
      {"O:BAD:NO_ACCESS_CONTROL", false},
  };
  const PrivateDirAccess given = DescribeInstallDirAccess();
  for (const auto &c : cases) {
    Bytes bytes = Descriptor(c.sddl);
    EXPECT_EQ(MatchesFolderAccess(bytes.data(), bytes.size(), given), c.matches) << c.sddl;
  }
}

TEST(InstallFolderVolume, OnlyLocalVolumesWithAccessListsKeepTheFolderSafe)
{
  EXPECT_EQ(JudgeVolume(0x03E706FF, 0x08, 0x20), VolumeKeepsAccess);         // NTFS, local disk
  EXPECT_EQ(JudgeVolume(0x00020006, 0x08, 0x20), VolumeWithoutAccessLists);  // FAT32
  EXPECT_EQ(JudgeVolume(0x03E706FF, 0x14, 0x10), VolumeOnNetwork);           // a mapped share
  EXPECT_EQ(JudgeVolume(0x0000000F, 0x08, 0x10), VolumeOnNetwork);           // remote device
}

// The levels of an install folder, each to be held; where "." and ".."
// may lead is path_text_test's (IsSameOrAbove).
TEST(InstallFolderPath, LevelsOfAFullPathOnly)
{
  int ends[8];
  ASSERT_EQ(ListFolderLevels("C:\\Program files\\The Zorvane", ends, 8), 2);
  EXPECT_EQ(ends[0], 16);
  EXPECT_EQ(ends[1], 28);
  EXPECT_EQ(ListFolderLevels("d:\\Games\\", ends, 8), 1);
  EXPECT_EQ(ends[0], 8);
  for (const char *path : {"\\\\server\\share\\Games", "Apps\\The Zorvane", "C:\\", "C:\\A\\..\\B",
                           "C:\\A\\\\B", "C:\\.\\B", "C:The Zorvane"})
    EXPECT_EQ(ListFolderLevels(path, ends, 8), 0) << path;
  EXPECT_EQ(ListFolderLevels("C:\\A\\B\\C", ends, 2), 0);
}
