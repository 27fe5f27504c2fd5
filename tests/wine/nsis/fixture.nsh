; Shared body of the fixture installers. The .nsi that includes this defines:
;   KEY           name of the key under ...\CurrentVersion\Uninstall
;   NAME          DisplayName
;   OUT_NAME      file name of the installer
;   INSTROOT      $PROGRAMFILES64 or $PROGRAMFILES32 (or a folder of the user's)
;   ROOT          (optional) HKCU for an install for the current user only, HKLM if not given
;   DIR_NAME      (optional) install folder under INSTROOT, NAME if not given
;   VIEW          64 or 32: the registry view the key is written in
;   DISPLAY_ICON  DisplayIcon value; must name a file in $INSTDIR that has an icon
;   KEEP_KEY      (optional) the uninstaller removes its files but forgets the key
; makensis -DOUT_DIR=... chooses where the installer is written.

Target amd64-unicode
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!ifndef OUT_DIR
  !define OUT_DIR "."
!endif
!ifndef DIR_NAME
  !define DIR_NAME "${NAME}"
!endif
!ifndef ROOT
  !define ROOT HKLM
!endif
!define UNINSTALL_ROOT "Software\Microsoft\Windows\CurrentVersion\Uninstall"

Name "${NAME}"
OutFile "${OUT_DIR}/${OUT_NAME}"
InstallDir "${INSTROOT}\${DIR_NAME}"
Icon "${NSISDIR}\Contrib\Graphics\Icons\nsis3-install.ico"
UninstallIcon "${NSISDIR}\Contrib\Graphics\Icons\nsis3-uninstall.ico"

!if ${VIEW} == 32
Function .onInit
  ; 64-bit Wine without its 32-bit half has no 32-bit ProgramFilesDir, and $PROGRAMFILES32 then falls
  ; back to the 64-bit folder; the 64-bit view names the x86 folder on Windows and on Wine alike.
  SetRegView 64
  ReadRegStr $0 HKLM "Software\Microsoft\Windows\CurrentVersion" "ProgramFilesDir (x86)"
  SetRegView default
  StrCmp $0 "" +2
  StrCpy $INSTDIR "$0\${DIR_NAME}"
FunctionEnd
!endif

Section "Install"
!if ${ROOT} == HKCU
  SetShellVarContext current
!endif
  SetOutPath "$INSTDIR"
  File "/oname=app.ico" "${NSISDIR}\Contrib\Graphics\Icons\nsis3-install.ico"
  FileOpen $0 "$INSTDIR\readme.txt" w
  FileWrite $0 "${NAME} - fixture for the Tidewell end-to-end test.$\r$\n"
  FileClose $0
  WriteUninstaller "$INSTDIR\uninst.exe"

  SetRegView ${VIEW}
  WriteRegStr ${ROOT} "${UNINSTALL_ROOT}\${KEY}" "DisplayName" "${NAME}"
  WriteRegStr ${ROOT} "${UNINSTALL_ROOT}\${KEY}" "DisplayIcon" '${DISPLAY_ICON}'
  WriteRegStr ${ROOT} "${UNINSTALL_ROOT}\${KEY}" "DisplayVersion" "1.0"
  WriteRegStr ${ROOT} "${UNINSTALL_ROOT}\${KEY}" "Publisher" "Tidewell Test Fixtures"
  WriteRegStr ${ROOT} "${UNINSTALL_ROOT}\${KEY}" "InstallLocation" "$INSTDIR"
  ; Silent, so the test never has to click through the uninstaller.
  WriteRegStr ${ROOT} "${UNINSTALL_ROOT}\${KEY}" "UninstallString" '"$INSTDIR\uninst.exe" /S'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\app.ico"
  Delete "$INSTDIR\readme.txt"
  Delete "$INSTDIR\uninst.exe"
  RMDir "$INSTDIR"
!ifndef KEEP_KEY
  SetRegView ${VIEW}
  DeleteRegKey ${ROOT} "${UNINSTALL_ROOT}\${KEY}"
!endif
SectionEnd
