// Bounded text and path building: the one place where paths are copied and
// joined into fixed character buffers. Nothing here writes beyond the size
// it is given. Two kinds, for two uses:
//  - cut (CopyCut, AppendCut): for what is only shown, such as the
//    destination line or the path line of a browser. As much as fits, always
//    terminated, and the full length is counted so the caller can tell.
//  - whole (JoinPath): for paths that are opened, created, stored or listed.
//    Written only when all of it fits; otherwise the buffer is left as it
//    was and the result is false, so a cut path never names another file.
// Plain C++ with no Windows header, so it is tested natively.
#pragma once

#include <cstddef>

// Appends text at out[*length], keeping within size bytes and terminating
// out; *length grows by the whole length of text, so *length >= size after
// the last append means the result was cut.
void AppendCut(char *out, size_t size, size_t *length, const char *text);

// Copies text into out (size bytes), cut to fit and terminated; returns the
// length of text.
size_t CopyCut(char *out, size_t size, const char *text);

// Writes dir, a backslash unless dir already ends with one, and the first
// nameLength characters of name into out (outSize bytes), terminated. out
// may be dir itself (a path extended in place). false, with out unchanged,
// when that does not fit.
bool JoinPath(char *out, size_t outSize, const char *dir, const char *name, size_t nameLength);
// The same with the whole of name.
bool JoinPath(char *out, size_t outSize, const char *dir, const char *name);

// Turns the data of a Shell Folders registry value (dataLength bytes, which
// need not hold a terminator) into a folder path: the text up to the first
// NUL, with one trailing backslash removed. Copied into out and true returned
// only when that path is not empty and fits outSize characters with its
// terminator; otherwise false and out is left as it was.
bool TakeShellFolderValue(char *out, size_t outSize, const char *data, size_t dataLength);

// Whether path names a folder strictly inside folder (both full paths; a
// drive root may end in its separator), comparing ASCII letters without
// regard to case. "C:\Games\The Zorvane" lies inside "C:\Games" and "C:\";
// "C:\Games" and "C:\Gamesx\A" do not lie inside "C:\Games".
bool LiesInside(const char *path, const char *folder);

// Whether path names folder itself or a folder that holds it (one trailing
// separator on either aside): "C:\", "C:\Program files" and "c:\program
// FILES\" are at or above "C:\Program files"; "C:\Program" is not.
bool IsSameOrAbove(const char *path, const char *folder);
