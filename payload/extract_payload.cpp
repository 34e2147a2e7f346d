// The copy page's side of the extraction: it hands the payload resource to
// RunExtraction and gives it the page's status line, progress bar, message
// pump and message boxes. Any failed step, and Cancel, end the page with
// CopyStop = 1.
#include "payload/extract_payload.h"

#include "payload/extraction.h"
#include "payload/progress_bar.h"
#include "common/product.h"
#include "setup_common/state.h"
#include "resources/resource.h"
#include "resources/setup_texts.h"

int CopyStop;

namespace {

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

void ShowDecompressFailed(void *context)
{
  MessageBoxA(PageOf(context), DecompressFailedText, nullptr, MB_ICONERROR);
}

// "%s is in use. Close The Zorvane, then press Retry." with its full path.
bool AskRetryInUse(void *context, const char *path)
{
  char text[PathBufferSize + 64];
  wsprintfA(text, FileInUseFormat, path);
  return MessageBoxA(PageOf(context), text, SetupCaption, MB_RETRYCANCEL | MB_ICONEXCLAMATION) ==
         IDRETRY;
}

// The gzip step's problems in boxes with no owner, so the page stays
// enabled while one is up and a Cancel click reaches it.
// "Can't open file ..." and "Can't create file ..." as they are.
void ShowPlainBox(void *, const char *text)
{
  MessageBoxA(nullptr, text, nullptr, MB_OK);
}

// GzipErrorPrefix, ": " and text, in a box with just an OK button.
void ShowGzipError(void *, const char *text)
{
  char message[GzipMessageSize];
  FormatGzipError(message, sizeof(message), text);
  MessageBoxA(nullptr, message, nullptr, MB_OK);
}

const GzipReporter GzipMessageBoxes = {ShowPlainBox, ShowGzipError, nullptr};

}  // namespace

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
                                 .decompressFailed = ShowDecompressFailed,
                                 .retryInUse = AskRetryInUse,
                                 .gzipReporter = &GzipMessageBoxes};
  if (!RunExtraction(&source, InstallDir, &observer))
    CopyStop = 1;
  ProgressDone();
  EndDialog(page, CopyStop);
  return 0;
}
