; The benchmark's peer: an NSIS installer of the same files the setup
; installs (the 19 files of STAGE and an empty AImages), built with
; Debian's makensis and run silently (/S /D=DIR). A reference for the
; benchmark only; nothing of it is part of the setup.
;   makensis -V2 -DSTAGE=DIR -DOUTFILE=FILE peer.nsi
; zlib, and NSIS's default per-file mode (each file its own stream; no
; /SOLID).
Unicode false
SetCompressor zlib
Name "The Zorvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\The Zorvane"
RequestExecutionLevel admin

Section
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  CreateDirectory "$INSTDIR\AImages"
SectionEnd
