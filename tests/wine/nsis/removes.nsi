; Well-behaved 64-bit program: its uninstaller removes its files and its Uninstall key.
!define KEY "TidewellE2ERemoves"
!define NAME "Tidewell E2E Removes"
!define INSTROOT "$PROGRAMFILES64"
!define VIEW 64
!define DISPLAY_ICON '"$INSTDIR\uninst.exe",0'
!define OUT_NAME "tidewell-e2e-removes-setup.exe"
!include "fixture.nsh"
