// One uninstaller at a time: two at once would contradict each other, one
// removing what the other still plans to remove or report.
#pragma once

// Claims the machine-wide mark of a running uninstaller and keeps it for
// the life of the process. False when another uninstaller holds it; a mark
// that only an unelevated program can have made is ignored. The
// copy that the first process starts (trusted) shares the first process's
// mark: the two run in turn, the first waiting for the copy.
bool ClaimRunningAlone(bool trustedCopy);
