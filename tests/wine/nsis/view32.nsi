; Registers in the 32-bit registry view, which 64-bit Windows (and Wine) keeps under Wow6432Node.
!define KEY "TidewellE2E32"
!define NAME "Tidewell E2E 32-bit"
!define INSTROOT "$PROGRAMFILES32"
!define DIR_NAME "Tidewell E2E 32"
!define VIEW 32
!define DISPLAY_ICON '"$INSTDIR\uninst.exe",0'
!define OUT_NAME "tidewell-e2e-view32-setup.exe"
!include "fixture.nsh"
