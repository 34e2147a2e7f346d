// The copy page: its dialog starts the extraction by posting itself
// IDM_EXTRACT once it is shown, and hands the payload resource to
// RunExtraction with the page's status line, progress bar, message pump and
// message boxes. Its Cancel only raises CopyStop; the pump notices the flag
// between two files and the page ends itself. Any failed step, and Cancel,
// end the page with CopyStop = 1.
#include "payload/copy_page.h"

#include "payload/extraction.h"
#include "payload/progress_bar.h"
#include "resources/resource.h"
#include "resources/setup_texts.h"
#include "setup_common/banner.h"
#include "setup_common/install_folder.h"
#include "common/dispatch.h"
#include "common/product.h"
#include "setup_common/state.h"

namespace {

// 1 once Cancel was pressed or a step failed; the page's result. The
// page's Cancel raises it, the message pump looks at it between two files.
int CopyStop;

// The payload resource IDR_PAYLOAD of the running setup; payload stays
// null when it is missing.
ExtractionSource PayloadResource()
{
  ExtractionSource source = {nullptr, 0, PayloadEntryCount, StartDir};
  HRSRC found = FindResourceA(AppInstance, MAKEINTRESOURCEA(IDR_PAYLOAD), RT_RCDATA);
  HGLOBAL loaded = found != nullptr ? LoadResource(AppInstance, found) : nullptr;
  if (loaded != nullptr) {
    source.payload = LockResource(loaded);
    source.payloadSize = SizeofResource(AppInstance, found);
  }
  return source;
}

HWND PageOf(void *context)
{
  return static_cast<HWND>(context);
}

void ShowStatus(void *context, const char *text, bool paintNow)
{
  HWND page = PageOf(context);
  SetDlgItemTextA(page, IDC_STATUS_LINE, text);
  if (paintNow)
    UpdateWindow(GetDlgItem(page, IDC_STATUS_LINE));
}

void StepBar(void *)
{
  ProgressStep();
}

// Lets the page react between two files: the only place where Cancel takes
// effect. Leaves as soon as CopyStop is raised or the queue is empty.
bool PumpCopyMessages(void *context)
{
  HWND page = PageOf(context);
  MSG message;
  while (CopyStop == 0 && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      // Not ours to take: hand it back to the loop that owns the quit.
      PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    if (!IsDialogMessageA(page, &message)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return CopyStop == 0;
}

// "%s is in use. Close The Zorvane, then press Retry." with its full path.
bool AskRetryInUse(void *context, const char *path)
{
  char text[PathBufferSize + 64];
  wsprintfA(text, FileInUseFormat, path);
  return MessageBoxA(PageOf(context), text, SetupCaption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) ==
         IDRETRY;
}

// Each problem in its own box. The gzip step's boxes have no owner, so the
// page stays enabled while one is up and a Cancel click reaches it; its
// text is shown as it comes. The look before the first write names the
// link, or the install folder that leaves no room, before the wizard's
// cancel message.
void ShowProblem(void *context, ExtractionProblem kind, const char *detail)
{
  HWND page = PageOf(context);
  switch (kind) {
    case ProblemGzipStep:
      MessageBoxA(nullptr, detail, nullptr, MB_OK);
      break;
    case ProblemNoArchive:
      MessageBoxA(page, DecompressFailedText, nullptr, MB_ICONERROR);
      break;
    case ProblemLinkInside:
    case ProblemNoRoom:
    case ProblemNotPutBack: {
      char text[PathBufferSize + 256];
      wsprintfA(text,
                kind == ProblemLinkInside ? LinkInsideFormat
                : kind == ProblemNoRoom   ? NoRoomForFilesFormat
                                          : NotPutBackFormat,
                detail);
      MessageBoxA(page, text, SetupCaption, MB_OK | MB_ICONERROR);
      break;
    }
  }
}

// Command IDM_EXTRACT: runs the extraction of the payload resource into
// InstallDir with the page's status line, progress bar, message pump and
// boxes; ends the page with CopyStop.
LRESULT ExtractPayload(HWND page, UINT, UINT, LPARAM)
{
  CopyStop = 0;
  ProgressInit(GetDlgItem(page, IDC_PROGRESS_BAR), PayloadEntryCount);
  ExtractionSource source = PayloadResource();
  ExtractionObserver observer = {.context = page,
                                 .stageBegins = nullptr,
                                 .stageEnds = nullptr,
                                 .showStatus = ShowStatus,
                                 .progressStep = StepBar,
                                 .goOn = PumpCopyMessages,
                                 .retryInUse = AskRetryInUse,
                                 .problem = ShowProblem};
  if (!RunExtraction(&source, InstallDir, InstallDirHeld, &observer))
    CopyStop = 1;
  // The install folder and the folders above it were held from the
  // destination page for the copy alone. A first installation that stopped
  // leaves nothing: the folders the destination page made go too, each
  // through its held parent and only when the rollback left it empty.
  ReleaseInstallFolder(CopyStop != 0);
  ProgressDone();
  EndDialog(page, CopyStop);
  return 0;
}

LRESULT OnCopyInit(HWND page, UINT, WPARAM, LPARAM)
{
  PostMessageA(page, WM_COMMAND, IDM_EXTRACT, 0);
  return 1;
}

LRESULT OnCopyCancel(HWND, UINT, UINT, LPARAM)
{
  CopyStop = 1;
  return 1;
}

}  // namespace

ZV_COMMAND_TABLE(CopyCommands, DefaultReturnZero, {IDM_EXTRACT, ExtractPayload},
                 {IDCANCEL, OnCopyCancel});

ZV_MESSAGE_TABLE(CopyMessages, DefaultReturnZero, {WM_COMMAND, ForwardCommand<&CopyCommands>},
                 {WM_INITDIALOG, OnCopyInit}, {WM_PAINT, PaintBanner});

INT_PTR RunCopyPage(HWND owner)
{
  return DialogBoxParamA(AppInstance, "IDD_COPY", owner, TableDlgProc<&CopyMessages>, 0);
}
