; The start-up benchmark's peer: an NSIS Modern UI installer of the same
; files the setup installs (the 19 files of STAGE and an empty AImages)
; whose first page is the same licence. A reference for the benchmark
; only; nothing of it is part of the setup.
;   makensis -V2 -DSTAGE=DIR -DLICENCE=FILE -DOUTFILE=FILE peer.nsi
Unicode false
SetCompressor zlib
!include MUI2.nsh
Name "The Zorvane"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\The Zorvane"
RequestExecutionLevel admin

!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  SetOutPath "$INSTDIR"
  File /r "${STAGE}/*"
  CreateDirectory "$INSTDIR\AImages"
SectionEnd
