; Broken uninstaller: removes its files but leaves its Uninstall key behind, so the entry outlives the
; program and its DisplayIcon points at a file that is gone.
!define KEY "TidewellE2ELeaves"
!define NAME "Tidewell E2E Leaves"
!define INSTROOT "$PROGRAMFILES64"
!define VIEW 64
!define DISPLAY_ICON '$INSTDIR\app.ico'
!define OUT_NAME "tidewell-e2e-leaves-setup.exe"
!define KEEP_KEY
!include "fixture.nsh"
