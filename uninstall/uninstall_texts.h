// Texts that uninstall.exe shows, each written once and shared by the code
// that shows it and the tests that read it back. The spellings are the
// product's own. Plain C++ with no Windows header.
#pragma once

#include "common/product.h"

// The caption of every box.
inline constexpr const char *UninstallCaption = ZV_PRODUCT_TITLE " - Uninstall";

// At start, on a Windows that cannot restrict where DLLs are loaded from:
// the uninstaller ends after this box, having changed nothing.
inline constexpr const char *UninstallLacksDllUpdateText =
    "This Windows lacks the update that protects the uninstaller from DLLs in its folder. "
    "Install the Windows updates, then run the uninstaller again.";

// The question before anything is removed.
inline constexpr const char *RemoveQuestionText =
    "Remove " ZV_PRODUCT_TITLE " and its shortcuts from this computer?";
inline constexpr const char *NotInstalledText =
    ZV_PRODUCT_TITLE " is not installed on this computer.";
inline constexpr const char *AlreadyRunningText =
    ZV_PRODUCT_TITLE "'s uninstaller is already running.";

// The refusal of a registered folder that does not look like the
// installation: the lead, the folder (cut with the mark when too long to
// show, or the stand-in for a value too long to read) and the tail.
inline constexpr const char *RefusalLead = "The registered folder ";
inline constexpr const char *RefusalTail =
    " does not hold " ZV_PRODUCT_TITLE ". Nothing was removed.";
inline constexpr char CutMark[] = "...";
inline constexpr const char *OverlongFolderText = "(a path longer than 511 characters)";

// The last message: the first line, then a line for each folder kept and
// one when files go at restart.
inline constexpr const char *RemovedText = ZV_PRODUCT_TITLE " was removed from your computer.";
// When something stayed: the lead, what failed first (a key after its
// prefix), the tail and, when the keys stayed, the note that says so.
inline constexpr const char *NotRemovedLead = ZV_PRODUCT_TITLE " was not removed completely: ";
inline constexpr const char *FailedKeyPrefix = "the registry key HKEY_LOCAL_MACHINE\\";
inline constexpr const char *NotRemovedTail = " could not be removed.";
inline constexpr const char *StaysRegisteredText =
    " It stays registered, so that you can run the uninstaller again.";
inline constexpr const char *FolderKeptLead = "\r\nThe folder ";
inline constexpr const char *FolderKeptTail =
    " was kept: it holds files that setup did not install.";
inline constexpr const char *RestartText =
    "\r\nSome files are in use and will be removed when Windows restarts.";
