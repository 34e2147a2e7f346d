// The install folder's rules on the descriptors Windows gives real folders,
// written in the system's descriptor language (SDDL) and turned into the
// self-relative bytes GetKernelObjectSecurity returns.
#include "setup_common/install_folder_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

namespace {

typedef std::vector<uint8_t> Bytes;

const char TrustedInstaller[] = "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
const char AUser[] = "S-1-5-21-1004336348-1177238915-682003330-1001";

// Writes value as size little-endian bytes at out[at].
void Put(Bytes *out, size_t at, uint32_t value, int size)
{
  for (int i = 0; i < size; ++i)
    (*out)[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

struct Code {
  const char *text;
  uint32_t value;
};

// The sum of the two-letter codes of text ("OICIIO", "SDGXGWGR"), or a
// number written "0x...".
uint32_t Codes(const std::string &text, const std::vector<Code> &codes)
{
  if (text.rfind("0x", 0) == 0)
    return static_cast<uint32_t>(std::strtoul(text.c_str(), nullptr, 16));
  uint32_t sum = 0;
  for (size_t i = 0; i + 1 < text.size(); i += 2)
    for (const Code &code : codes)
      if (text.compare(i, 2, code.text) == 0)
        sum |= code.value;
  return sum;
}

// A SID from its alias or its "S-1-..." form.
Bytes Sid(const std::string &text)
{
  const std::vector<std::pair<std::string, std::string>> aliases = {
      {"SY", "S-1-5-18"}, {"BA", "S-1-5-32-544"}, {"BU", "S-1-5-32-545"}, {"AU", "S-1-5-11"},
      {"WD", "S-1-1-0"},  {"CO", "S-1-3-0"},      {"AC", "S-1-15-2-1"},   {"TI", TrustedInstaller}};
  std::string full = text;
  for (const auto &alias : aliases)
    if (text == alias.first)
      full = alias.second;
  std::vector<uint32_t> parts;
  for (const char *p = full.c_str() + 2; *p != '\0'; p += *p == '-' ? 1 : 0) {
    char *end = nullptr;
    parts.push_back(static_cast<uint32_t>(std::strtoull(p, &end, 10)));
    p = end;
  }
  Bytes sid(8 + 4 * (parts.size() - 2));
  sid[0] = 1;
  sid[1] = static_cast<uint8_t>(parts.size() - 2);
  sid[7] = static_cast<uint8_t>(parts[1]);
  for (size_t i = 2; i < parts.size(); ++i)
    Put(&sid, 8 + 4 * (i - 2), parts[i], 4);
  return sid;
}

// "O:owner[G:group]D:[P][AI](type;flags;rights;;;sid)..." as self-relative
// bytes: header, owner, then the list. "D:NO_ACCESS_CONTROL" has no list.
Bytes Descriptor(const std::string &sddl)
{
  const std::vector<Code> flags = {
      {"OI", 0x1}, {"CI", 0x2}, {"NP", 0x4}, {"IO", 0x8}, {"ID", 0x10}};
  const std::vector<Code> rights = {{"GA", 0x10000000}, {"GR", 0x80000000}, {"GW", 0x40000000},
                                    {"GX", 0x20000000}, {"SD", 0x00010000}, {"RC", 0x00020000},
                                    {"WD", 0x00040000}, {"WO", 0x00080000}, {"FA", 0x001F01FF},
                                    {"LC", 0x00000004}};
  size_t dacl = sddl.find("D:");
  Bytes out(20, 0);
  out[0] = 1;
  Bytes owner = Sid(sddl.substr(2, std::min(sddl.find("G:"), dacl) - 2));
  Put(&out, 4, 20, 4);
  out.insert(out.end(), owner.begin(), owner.end());
  std::string list = sddl.substr(dacl + 2);
  uint32_t control = 0x8000;
  if (list != "NO_ACCESS_CONTROL") {
    control |= list[0] == 'P' ? 0x1004 : 0x0004;
    size_t aclAt = out.size();
    Put(&out, 16, static_cast<uint32_t>(aclAt), 4);
    out.resize(aclAt + 8, 0);
    out[aclAt] = 2;
    uint32_t count = 0;
    for (size_t open = list.find('('); open != std::string::npos; open = list.find('(', open + 1)) {
      std::vector<std::string> fields(1);
      for (size_t at = open + 1; list[at] != ')'; ++at)
        if (list[at] == ';')
          fields.emplace_back();
        else
          fields.back().push_back(list[at]);
      Bytes sid = Sid(fields[5]);
      size_t at = out.size();
      out.resize(at + 8 + sid.size(), 0);
      out[at] = fields[0] == "D" ? 1 : 0;
      out[at + 1] = static_cast<uint8_t>(Codes(fields[1], flags));
      Put(&out, at + 2, static_cast<uint32_t>(8 + sid.size()), 2);
      Put(&out, at + 4, Codes(fields[2], rights), 4);
      std::copy(sid.begin(), sid.end(), out.begin() + static_cast<std::ptrdiff_t>(at) + 8);
      ++count;
    }
    Put(&out, aclAt + 2, static_cast<uint32_t>(out.size() - aclAt), 2);
    Put(&out, aclAt + 4, count, 2);
  }
  Put(&out, 2, control, 2);
  return out;
}

AccessVerdict Judge(const std::string &sddl, FolderRole role)
{
  Bytes bytes = Descriptor(sddl);
  return JudgeFolderAccess(bytes.data(), bytes.size(), role);
}

// A data drive's root as Windows formats it: every signed-in user may
// modify the root and, inherited, every folder made in it.
const std::string DriveRoot = "O:SYG:SYD:(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)(A;OICIIO;SDGXGWGR;;;AU)"
                              "(A;;0x1301bf;;;AU)(A;OICI;0x1200a9;;;BU)";
// What a folder made at that root (D:\Games) inherits.
const std::string AtRootInherited = "D:AI(A;OICIID;FA;;;BA)(A;OICIID;FA;;;SY)"
                                    "(A;OICIIOID;SDGXGWGR;;;AU)(A;ID;0x1301bf;;;AU)"
                                    "(A;OICIID;0x1200a9;;;BU)";
// Program files: TrustedInstaller's, protected.
const std::string ProgramFiles =
    std::string("O:") + TrustedInstaller + "G:" + TrustedInstaller + "D:PAI(A;;FA;;;" +
    TrustedInstaller + ")(A;CIIO;GA;;;" + TrustedInstaller +
    ")(A;;0x1301bf;;;SY)(A;OICIIO;GA;;;SY)(A;;0x1301bf;;;BA)(A;OICIIO;GA;;;BA)"
    "(A;;0x1200a9;;;BU)(A;OICIIO;GXGR;;;BU)(A;OICIIO;GA;;;CO)(A;;0x1200a9;;;AC)"
    "(A;OICIIO;GXGR;;;AC)";
// An earlier installation by this setup: the list it gives.
const std::string SetupsOwn = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

}  // namespace

// Story: the folders above and at the install folder, as Windows gives them.
TEST(InstallFolderAccess, RealDescriptorsAreJudgedByOwnerAndWhatOthersMayChange)
{
  // The root lets users add folders and modify itself, but not rename or
  // replace what it holds: it passes as a root, never as a level.
  EXPECT_EQ(Judge(DriveRoot, RoleDriveRoot), AccessAdministratorsOnly);
  EXPECT_EQ(Judge(DriveRoot, RoleLevelAbove), AccessOpenToOthers);
  // D:\Games made by a user: theirs. Made by an elevated administrator:
  // every user may still rename it (DELETE, inherited from the root).
  EXPECT_EQ(Judge(std::string("O:") + AUser + AtRootInherited, RoleLevelAbove), AccessOwnedByOther);
  EXPECT_EQ(Judge("O:BA" + AtRootInherited, RoleLevelAbove), AccessOpenToOthers);
  EXPECT_EQ(Judge("O:BA" + AtRootInherited, RoleInstallFolder), AccessOpenToOthers);
  // Program files passes as a level (only its name keeps setup out of it
  // as an install folder), and so does an earlier installation.
  EXPECT_EQ(Judge(ProgramFiles, RoleLevelAbove), AccessAdministratorsOnly);
  EXPECT_EQ(Judge(ProgramFiles, RoleInstallFolder), AccessAdministratorsOnly);
  EXPECT_EQ(Judge(SetupsOwn, RoleInstallFolder), AccessAdministratorsOnly);
  // A folder an elevated administrator made inside Program files inherits
  // the inherit-only entries, CREATOR OWNER's among them.
  EXPECT_EQ(Judge("O:BAD:AI(A;OICIIOID;GA;;;CO)(A;ID;0x1301bf;;;BA)(A;OICIIOID;GA;;;BA)"
                  "(A;ID;0x1200a9;;;BU)(A;OICIIOID;GXGR;;;BU)",
                  RoleInstallFolder),
            AccessAdministratorsOnly);
  // A FAT volume's folders: everyone full control, or no list at all.
  EXPECT_EQ(Judge("O:WDD:(A;OICI;FA;;;WD)", RoleLevelAbove), AccessOwnedByOther);
  EXPECT_EQ(Judge("O:BAD:(A;OICI;FA;;;WD)", RoleDriveRoot), AccessOpenToOthers);
  EXPECT_EQ(Judge("O:BAD:NO_ACCESS_CONTROL", RoleDriveRoot), AccessOpenToOthers);
}

TEST(InstallFolderAccess, EachRoleRefusesItsOwnRightsAndInheritOnlyCountsInsideOnly)
{
  // Write data inherited to files: harmless above, refused inside.
  const std::string usersWriteInside = SetupsOwn + "(A;OICIIO;GW;;;BU)";
  EXPECT_EQ(Judge(usersWriteInside, RoleLevelAbove), AccessAdministratorsOnly);
  EXPECT_EQ(Judge(usersWriteInside, RoleInstallFolder), AccessOpenToOthers);
  // Delete-child on a parent, WRITE_DAC and WRITE_OWNER anywhere.
  EXPECT_EQ(Judge(SetupsOwn + "(A;;0x40;;;AU)", RoleDriveRoot), AccessOpenToOthers);
  EXPECT_EQ(Judge(SetupsOwn + std::string("(A;;WD;;;") + AUser + ")", RoleLevelAbove),
            AccessOpenToOthers);
  EXPECT_EQ(Judge(SetupsOwn + "(A;;WO;;;BU)", RoleDriveRoot), AccessOpenToOthers);
  // DELETE: a root cannot be renamed, a level can.
  EXPECT_EQ(Judge(SetupsOwn + "(A;;SD;;;AU)", RoleDriveRoot), AccessAdministratorsOnly);
  EXPECT_EQ(Judge(SetupsOwn + "(A;;SD;;;AU)", RoleLevelAbove), AccessOpenToOthers);
  // A deny entry grants nothing; CREATOR OWNER applying to the folder
  // itself counts as another account.
  EXPECT_EQ(Judge(SetupsOwn + "(D;;FA;;;AU)", RoleInstallFolder), AccessAdministratorsOnly);
  EXPECT_EQ(Judge(SetupsOwn + "(A;;GA;;;CO)", RoleInstallFolder), AccessOpenToOthers);
  EXPECT_EQ(Judge("O:TID:P(A;OICI;FA;;;SY)", RoleInstallFolder), AccessAdministratorsOnly);
}

TEST(InstallFolderAccess, CutOrForeignBytesAreUnreadable)
{
  Bytes bytes = Descriptor(ProgramFiles);
  for (size_t size = 0; size < bytes.size(); ++size)
    EXPECT_NE(JudgeFolderAccess(bytes.data(), size, RoleInstallFolder), AccessAdministratorsOnly)
        << size;
  Bytes absolute = bytes;
  absolute[3] = 0;  // SE_SELF_RELATIVE cleared: pointers, not offsets
  EXPECT_EQ(JudgeFolderAccess(absolute.data(), absolute.size(), RoleDriveRoot), AccessUnreadable);
  EXPECT_EQ(JudgeFolderAccess(nullptr, 0, RoleDriveRoot), AccessUnreadable);
}

// Read back after making: exactly the list given, or the folder is refused.
TEST(InstallFolderAccess, ReadBackMatchesOnlyTheListSetupGave)
{
  const PrivateDirAccess given = DescribeInstallDirAccess();
  auto matches = [&](const std::string &sddl) {
    Bytes bytes = Descriptor(sddl);
    return MatchesFolderAccess(bytes.data(), bytes.size(), given);
  };
  EXPECT_TRUE(matches(SetupsOwn));
  EXPECT_TRUE(matches("O:BAD:P(A;OICI;0x1200a9;;;BU)(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)"));
  // What Wine reads back: the user as owner, not protected.
  EXPECT_FALSE(
      matches(std::string("O:") + AUser + "D:(A;OICI;FA;;;SY)(A;OICI;FA;;;" + AUser + ")"));
  EXPECT_FALSE(matches("O:BAD:(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)"));
  EXPECT_FALSE(matches(SetupsOwn + "(A;;FA;;;AU)"));
  EXPECT_FALSE(matches("O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICIID;0x1200a9;;;BU)"));
  EXPECT_FALSE(matches("O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;BU)"));
  EXPECT_FALSE(matches("O:BAD:NO_ACCESS_CONTROL"));
}

TEST(InstallFolderVolume, OnlyLocalVolumesWithAccessListsKeepTheFolderSafe)
{
  EXPECT_EQ(JudgeVolume(0x03E706FF, 0x08, 0x20), VolumeKeepsAccess);         // NTFS, local disk
  EXPECT_EQ(JudgeVolume(0x00020006, 0x08, 0x20), VolumeWithoutAccessLists);  // FAT32
  EXPECT_EQ(JudgeVolume(0x00000006, 0x08, 0x01), VolumeWithoutAccessLists);  // removable, no lists
  EXPECT_EQ(JudgeVolume(0x03E706FF, 0x14, 0x10), VolumeOnNetwork);           // a mapped share
  EXPECT_EQ(JudgeVolume(0x0000000F, 0x08, 0x10), VolumeOnNetwork);           // remote device
}

TEST(InstallFolderPath, DotsMayNotLeadBackButMayLeadBeside)
{
  EXPECT_TRUE(LeadsToBaseOrAbove("C:\\Program files", "C:\\Program files"));  // "."
  EXPECT_TRUE(LeadsToBaseOrAbove("C:\\", "C:\\Program files"));               // ".."
  EXPECT_FALSE(LeadsToBaseOrAbove("C:\\Games", "C:\\Program files"));         // "..\Games"
  EXPECT_FALSE(LeadsToBaseOrAbove("C:\\Program files\\The Zorvane", "C:\\Program files"));

  int ends[8];
  ASSERT_EQ(ListFolderLevels("C:\\Program files\\The Zorvane", ends, 8), 2);
  EXPECT_EQ(ends[0], 16);
  EXPECT_EQ(ends[1], 28);
  EXPECT_EQ(ListFolderLevels("d:\\Games\\", ends, 8), 1);
  EXPECT_EQ(ends[0], 8);
  const char *refused[] = {"\\\\server\\share\\Games",
                           "Apps\\The Zorvane",
                           "C:\\",
                           "C:\\A\\..\\B",
                           "C:\\A\\\\B",
                           "C:\\.\\B",
                           "C:The Zorvane"};
  for (const char *path : refused)
    EXPECT_EQ(ListFolderLevels(path, ends, 8), 0) << path;
  EXPECT_EQ(ListFolderLevels("C:\\A\\B\\C", ends, 2), 0);
}
