// The copy page seen from outside: what the user is told and how setup
// ends. The files on disk are checked by payload.sh.
#include "tests/e2e/driver/driver.h"

#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "common/product.h"

#include <string>

namespace {

// Walks with the default choices; a Yes/No question on the way (the
// destination exists already) is answered Yes. Returns the first other box.
HWND WalkToFirstBox(SetupRun *run, MessageBoxInfo *info)
{
  std::string pages;
  HWND box = nullptr;
  *info = WalkDefaults(run, false, &pages, &box);
  while (box != nullptr && (info->buttons & 0xF) == MB_YESNO) {
    Log("answering Yes to: %s", info->text.c_str());
    AnswerMessageBox(box, IDYES);
    *info = WalkDefaults(run, false, &pages, &box);
  }
  Log("pages seen: %s", pages.c_str());
  return box;
}

// The wizard's cancel message ends the run, and setup exits with 0.
void ExpectCancelledEnd(SetupRun *run, HWND box)
{
  MessageBoxInfo info = box ? ReadMessageBox(box) : MessageBoxInfo();
  Check(box != nullptr && info.text.rfind(CancelMessage, 0) == 0,
        "the cancel message ends setup (got \"%s\")", info.text.c_str());
  CheckText(info.caption, SetupCaption, "cancel message caption");
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(run) == 0, "setup exits with code 0");
  Check(NoMessageBoxWithin(run, 0), "no further message box");
}

// After the gzip step's own message (no owner, default caption, OK only,
// no icon): "Can't decompress setup files", then the cancel message.
void ExpectGzipStepFailed(SetupRun *run, HWND box, const MessageBoxInfo &info)
{
  CheckText(info.caption, "Error", "the gzip message's default caption");
  Check(info.buttons == MB_OK && info.icon == 0,
        "the gzip message has just OK and no icon (buttons 0x%x, icon 0x%x)", info.buttons,
        info.icon);
  if (box)
    AnswerMessageBox(box, IDOK);
  box = WaitForMessageBox(run);
  CheckMessageBox(box, nullptr, DecompressFailedText, MB_OK | MB_ICONERROR);
  if (box)
    AnswerMessageBox(box, IDOK);
  ExpectCancelledEnd(run, WaitForMessageBox(run));
}

void DefaultInstall()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&run, &info);
  CheckMessageBox(box, SetupCaption, SuccessMessage(InstalledWord).c_str(),
                  MB_OK | MB_ICONINFORMATION);
  if (box)
    AnswerMessageBox(box, IDOK);
  Check(WaitForExit(&run) == 0, "setup exits with code 0");
  EndRun(&run);
}

// Cancel pressed the moment the copy page shows: the click waits in the
// queue until the pump after the first file, so exactly one file lands.
void CancelAtOnce()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  HWND agreement = WaitForPage(&run, IDC_LICENCE_TEXT);
  if (!Check(agreement != nullptr, "agreement page appears"))
    return EndRun(&run);
  Click(agreement, IDOK);
  HWND destination = WaitForPage(&run, IDC_DEST_EDIT);
  if (!Check(destination != nullptr, "destination page appears"))
    return EndRun(&run);
  Click(destination, IDOK);
  HWND copy = nullptr;
  DWORD start = GetTickCount();
  while (copy == nullptr && GetTickCount() - start < 15000 && !HasExited(&run)) {
    for (HWND window : ProcessWindows(&run)) {
      if (GetDlgItem(window, IDC_PROGRESS_BAR) != nullptr)
        copy = window;
    }
    if (copy == nullptr)
      Sleep(1);
  }
  if (!Check(copy != nullptr, "copy page appears"))
    return EndRun(&run);
  Click(copy, IDCANCEL);
  Log("Cancel clicked %lu ms after Next", GetTickCount() - start);
  CheckText(ControlText(copy, IDCANCEL), "Cancel", "the copy page's button");
  HWND box = WaitForMessageBox(&run);
  ExpectCancelledEnd(&run, box);
  EndRun(&run);
}

// A payload that fails zlib's checks: zlib's message (no owner, default
// caption, OK only), then "Can't decompress setup files", then the cancel.
void GzipFailure(const char *zlibMessage)
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&run, &info);
  Check(box != nullptr && info.text.rfind("Setup: C:\\", 0) == 0 &&
            info.text.find("\\filesdata.gz: ") != std::string::npos &&
            info.text.find(zlibMessage) != std::string::npos,
        "the gzip step names the file and zlib's fault (got \"%s\")", info.text.c_str());
  ExpectGzipStepFailed(&run, box, info);
  EndRun(&run);
}

void CorruptStream()
{
  GzipFailure("invalid block type");
}

void CrcMismatch()
{
  GzipFailure("incorrect data check");
}

// An entry that fails stops the copy without a message of its own.
void EntryFailure()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&run, &info);
  ExpectCancelledEnd(&run, box);
  EndRun(&run);
}

void SizeZeroEntry()
{
  DefaultInstall();
}

// The temporary directory has room for filesdata.gz but not for the
// archive: the gzip step's write fails.
void FullTempDisk()
{
  SetupRun run;
  if (!StartSetup(&run))
    return;
  MessageBoxInfo info;
  HWND box = WalkToFirstBox(&run, &info);
  Check(box != nullptr && (info.text.rfind("Setup: failed fwrite", 0) == 0 ||
                           info.text.rfind("Setup: failed fclose", 0) == 0),
        "the gzip step reports the failed write (got \"%s\")", info.text.c_str());
  ExpectGzipStepFailed(&run, box, info);
  EndRun(&run);
}

}  // namespace

const Scenario Scenarios[] = {
    {"default_install", DefaultInstall},      {"cancel_at_once", CancelAtOnce},
    {"corrupt_stream", CorruptStream},        {"crc_mismatch", CrcMismatch},
    {"truncated_archive", EntryFailure},      {"truncated_large_entry", EntryFailure},
    {"traversal_name", EntryFailure},         {"size_zero_entry", SizeZeroEntry},
    {"readonly_destination", EntryFailure},   {"full_temp_disk", FullTempDisk},
    {"full_destination_disk", EntryFailure},  {"planted_temp_links", DefaultInstall},
    {"full_disk_over_earlier", EntryFailure},
};
const int ScenarioCount = sizeof(Scenarios) / sizeof(Scenarios[0]);
