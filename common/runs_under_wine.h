// Whether the programs run under Wine rather than Windows: the few places
// where Wine differs in what it can show (the screen reads of the
// background, the owners and access lists of folders) ask here.
#pragma once

// True under Wine, whose ntdll exports its version.
bool RunsUnderWine();
