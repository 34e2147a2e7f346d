// uninstall.exe: removes what setup installed, and nothing else. It finds
// the installation through the values setup wrote under its Uninstall key,
// refuses a folder that does not look like it, asks, moves out of the
// folder it removes, removes the links, the payload's files, the folders
// left empty and the keys, and says what happened. /S: no question and no
// box; the exit code tells the result.
#include <windows.h>

#include "uninstall/boxes.h"
#include "uninstall/carry_out.h"
#include "uninstall/disk_lookup.h"
#include "uninstall/install_record.h"
#include "uninstall/removal_report.h"
#include "uninstall/run_outside.h"
#include "uninstall/running_alone.h"
#include "uninstall/uninstall_options.h"
#include "uninstall/uninstall_texts.h"
#include "payload_names.h"
#include "common/dll_search.h"
#include "common/never_install.h"

static_assert(PayloadNameCount == PayloadEntryCount,
              "the uninstaller's list and the payload have the same length");

namespace {

UninstallOptions Options;
// Large working records, kept off the stack.
InstallRecord Record;
RemovalPlan Plan;
NeverInstallFolders NeverInstall;

void HandOff(int exitCode, void *options)
{
  HandResultBack(*static_cast<UninstallOptions *>(options), exitCode);
}

RegisteredInstall FactsOf(const InstallRecord &record)
{
  RegisteredInstall facts;
  facts.programDir = record.programDir;
  facts.groupDir = record.groupDir[0] != '\0' ? record.groupDir : nullptr;
  facts.desktopDir = record.desktopDir[0] != '\0' ? record.desktopDir : nullptr;
  facts.windowsDir = record.windowsDir;
  facts.neverInstall = &NeverInstall;
  facts.names = PayloadNames;
  facts.nameCount = PayloadNameCount;
  return facts;
}

int Refuse(const InstallRecord &record)
{
  char text[2 * PathBufferSize];
  ComposeRefusal(record.programDirTooLong ? OverlongFolderText : record.programDir, text,
                 sizeof(text));
  ShowUninstallBox(text, MB_ICONERROR);
  return ExitNothingDone;
}

int Uninstall(const char *arguments, UninstallOptions *options)
{
  ReadInstallRecord(&Record);
  // A /FROM= from anyone but the first process is no hand-off: the
  // question is asked, and no handle it names is written to.
  if (options->isCopy && !(Record.found && IsHandOffFromParent(*options, Record.programDir)))
    *options = UninstallOptions{options->silent, false, 0, 0};
  if (!ClaimRunningAlone(options->isCopy)) {
    ShowUninstallBox(AlreadyRunningText, MB_ICONEXCLAMATION);
    return ExitNothingDone;
  }
  if (!Record.found) {
    ShowUninstallBox(NotInstalledText, MB_ICONEXCLAMATION);
    return ExitNothingDone;
  }
  ReadNeverInstallFolders(&NeverInstall);
  if (Record.programDirTooLong || CheckProgramDir(Record.programDir, Record.windowsDir, DiskLookup,
                                                  &NeverInstall) != FolderAccepted)
    return Refuse(Record);

  // The copy was started after the question was answered.
  if (!options->isCopy) {
    if (!AskToRemove())
      return ExitNothingDone;
    int copyResult = ExitIncomplete;
    if (RunsFromProgramDir(Record.programDir) && RunCopyOutside(arguments, &copyResult))
      return copyResult;
    // Without a copy the uninstaller's own file goes at restart, like any
    // file in use.
  }

  // No folder that goes may be held as this process's current one.
  if (Record.windowsDir[0] != '\0')
    SetCurrentDirectoryA(Record.windowsDir);
  if (PlanRemoval(FactsOf(Record), options->isCopy, DiskLookup, &Plan) != FolderAccepted)
    return Refuse(Record);
  RemovalTally tally = {};
  CarryOutPlan(Plan, HandOff, &Options, &tally);
  char text[4 * PathBufferSize];
  bool removed = ComposeRemovalReport(tally, text, sizeof(text));
  ShowUninstallBox(text, removed ? MB_ICONINFORMATION : MB_ICONERROR);
  return RemovalExitCode(tally);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR arguments, int)
{
  // Reading the options loads nothing; /S leaves the box out.
  ReadUninstallOptions(arguments, &Options);
  SetBoxesSilent(Options.silent);
  if (!RestrictDllSearch(Options.silent ? nullptr : UninstallLacksDllUpdateText, UninstallCaption))
    return ExitNothingDone;
  return Uninstall(arguments, &Options);
}
