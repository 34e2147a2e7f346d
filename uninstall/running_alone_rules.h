// When an uninstaller may run beside the mark it found: the rule behind
// running_alone.cpp. Plain C++ with no Windows header.
#pragma once

// Who owns a mark found at the name.
enum MarkOwner {
  MarkOwnedByAdministrators = 0,
  MarkOwnedBySystem,
  MarkOwnedByOther,  // a user, nobody, or an owner that could not be read
};

enum MarkFound {
  MarkCreated = 0,  // nothing stood at the name: this process made the mark
  MarkExisted,      // a mark stood there and was opened
  MarkUnopened,     // something stood there that this process could not open
};

// Whether this uninstaller may go on. A mark of another uninstaller, made
// elevated and so owned by Administrators or SYSTEM, keeps it out unless it
// is that uninstaller's own copy (trustedCopy). Any user may take a name in
// the global namespace first; what such a user made there, or what this
// process cannot even open, is no uninstaller's and is ignored.
bool MayRunBesideMark(MarkFound found, MarkOwner owner, bool trustedCopy);
