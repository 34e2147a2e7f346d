// Texts that setup shows beyond its dialog templates, each written once and
// shared by the code that shows it and the tests that read it back. The
// spellings are the product's own.
#pragma once

// At start, on a Windows that cannot restrict where DLLs are loaded from:
// setup ends after this box.
inline constexpr const char *LacksDllUpdateText =
    "This Windows lacks the update that protects setup from DLLs in its folder. Install the "
    "Windows updates, then run setup again.";

// The up entry of both browsers' folder lists.
inline constexpr const char *UpEntryText = "........";

#define ZV_NO_SPACE_TEXT                                                                           \
  "You do not have enough Free disk space on this drive for installation. Change the drive "       \
  "or remove some other program-s to free more disk space."

inline constexpr const char *NoSpaceText = ZV_NO_SPACE_TEXT;
inline constexpr const char *PageEmptyNameText = "You were forgoten to select an directory";
inline constexpr const char *BrowserEmptyNameText = "You forget to select a directory";
inline constexpr const char *BrowserWarningCaption = "Warning";
inline constexpr const char *DirExistsText =
    "Directory allready exsist. Continue with the instalation ?\n\nNOTES: Click on the YES "
    "button if this is previous installation of this software, otherwise click on the NO "
    "button and select another installation directory.";
inline constexpr const char *CancelQuestionText = "Are you sure you want to cancel the setup?";
inline constexpr const char *FreeSpaceFormat = " Available: %lu KB, Required: %d KB";
// The shortcut page's Cancel: its question and the box's caption.
inline constexpr const char *CancelShortcutsText = "Cancel creating the shortcuts?";
inline constexpr const char *CancelShortcutsCaption = "Confirmation";
// Descriptions of the program group's Uninstall and Readme links.
inline constexpr const char *UninstallLinkDescription = "Uninstall";
inline constexpr const char *ReadmeLinkDescription = "Readme";
// A destination the system cannot hold as one path.
inline constexpr const char *PathTooLongText =
    "The installation directory is too long: a Windows path holds at most 259 characters.\n\n"
    "Choose a shorter directory or folder name with the Browse button.";
// %s is the directory that could not be made.
inline constexpr const char *CannotCreateFormat =
    "The installation directory\n\n%s\n\ncannot be created. Choose another directory with "
    "the Browse button.";
// %s is the existing directory that is a link or junction to another folder:
// setup would install wherever it leads.
inline constexpr const char *InstallDirLinkFormat =
    "The installation directory\n\n%s\n\nis a link to another folder. Setup does not install "
    "through a link: choose another directory with the Browse button.";
// %s is the directory setup could not open, or not make its own (owner
// Administrators, changed by administrators alone).
inline constexpr const char *InstallDirUnusableFormat =
    "The installation directory\n\n%s\n\ncannot be opened and protected for the installation. "
    "Choose another directory with the Browse button.";
// The first %s is the resolved directory, the second the base folder that
// "." or ".." led it back to (or above).
inline constexpr const char *InstallDirOutsideFormat =
    "The installation directory\n\n%s\n\nis the folder %s itself or a folder that holds it. "
    "Choose a new folder name with the Browse button.";
// %s is a folder on the way to the installation directory that is a link
// or junction: setup would install wherever it leads.
inline constexpr const char *LevelLinkFormat =
    "The folder\n\n%s\n\non the way to the installation directory is a link to another "
    "folder. Setup does not install through a link: choose a directory on a path of real "
    "folders, such as one inside Program files, with the Browse button.";
// %s is a folder on the way to the installation directory that setup
// cannot open.
inline constexpr const char *LevelUnusableFormat =
    "The folder\n\n%s\n\non the way to the installation directory cannot be opened. Choose "
    "another directory with the Browse button.";
// %s is a folder on the way that users other than administrators can
// rename or replace (a folder made at a drive root gives every user that).
inline constexpr const char *LevelOpenFormat =
    "Users other than administrators can rename or replace the folder\n\n%s\n\nand with it "
    "the programs installed below it. Choose a directory inside a folder that only "
    "administrators can change, such as Program files, with the Browse button.";
// %s is an existing installation directory that users other than
// administrators can change.
inline constexpr const char *InstallDirOpenFormat =
    "The installation directory\n\n%s\n\nalready exists, and users other than administrators "
    "can change what is in it. Choose a new folder name, or a directory inside Program files, "
    "with the Browse button.";
// %s is the installation directory, on a volume that keeps no access lists.
inline constexpr const char *VolumeNoAccessListsFormat =
    "The installation directory\n\n%s\n\nis on a drive that keeps no access permissions "
    "(FAT32 or exFAT), so any user could change the installed programs. Choose a directory on "
    "an NTFS drive with the Browse button.";
// %s is the installation directory, on a network drive.
inline constexpr const char *VolumeNetworkFormat =
    "The installation directory\n\n%s\n\nis on a network drive, where another computer "
    "decides who can change it. Choose a directory on a local NTFS drive with the Browse "
    "button.";
// %s is the installation directory, a folder of Windows or of its users.
inline constexpr const char *NeverInstallFormat =
    "The installation directory\n\n%s\n\nis a folder of Windows or of its users (the Windows "
    "folder, Program files or Common files itself, ProgramData, a user profile, Public or "
    "another shell folder). Setup does not install there: choose a new folder inside Program "
    "files with the Browse button.";

// The copy page's status line, and its box when the archive cannot be read.
inline constexpr const char *PreparingText = "Preparing to decompress setup files";
inline constexpr const char *DecompressingText = "Decompressing setup files";
inline constexpr const char *DecompressFailedText = "Can't decompress setup files";
inline constexpr const char *DeletingTempText = "Deleting temproary files";
// The gzip step's own messages, in boxes with no owner and no caption: a
// file it cannot open or create (%s, its full path), shown as they are,
// and its errors, shown after GzipErrorPrefix and ": ".
inline constexpr const char *CantOpenFileFormat = "Can't open file %s\n";
inline constexpr const char *CantCreateFileFormat = "Can't create file %s\n";
inline constexpr const char *GzipErrorPrefix = "Setup";
inline constexpr const char *FailedFwriteText = "failed fwrite";
inline constexpr const char *FailedFcloseText = "failed fclose";
inline constexpr const char *FailedGzcloseText = "failed gzclose";
// Before the first file is written, for a file that cannot be replaced now;
// %s is its full path.
inline constexpr const char *FileInUseFormat = "%s is in use. Close The Zorvane, then press Retry.";
// Before the first file is written, for a link or junction where setup
// would write inside the installation directory; %s is its full path.
inline constexpr const char *LinkInsideFormat =
    "%s is a link to another place. Setup writes nothing through links inside the installation "
    "directory.\n\nRemove the link, or run setup again and choose another directory.";
// Before the first file is written, when the files do not fit below the
// installation directory; %s is the directory.
inline constexpr const char *NoRoomForFilesFormat =
    "The installation directory\n\n%s\n\nis too long for the files of The Zorvane: a Windows "
    "path holds at most 259 characters.\n\nRun setup again and choose a shorter directory.";
// After a cancelled or failed copy over an earlier installation, for a file
// of it that could not be put back under its own name; %s is the full path
// where it is kept.
inline constexpr const char *NotPutBackFormat =
    "A file of the earlier installation could not be put back in its place. It is kept, "
    "unchanged, as\n\n%s\n\nMove it back once the program that holds its place has ended.";

// Where users send notes about a cancelled or failed setup.
#define ZV_SUPPORT_ADDRESS "support@zorvane.example.com"
// The wizard's last box when a page was cancelled or failed.
inline constexpr const char *CancelMessage =
    "Setup was canceled. Any notes or errors you can send on my email: " ZV_SUPPORT_ADDRESS;
// The wizard's last box on success: the product title and the closing word,
// "installed" once the destination page's Next was pressed, else "registered".
inline constexpr const char *SuccessFormat = "%s was successfully %s";
inline constexpr const char *InstalledWord = "installed";
inline constexpr const char *RegisteredWord = "registered";
