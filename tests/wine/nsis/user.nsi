; Installs for the current user only: files under the user's folder, the entry in HKCU (user.reg).
!define KEY "TidewellE2EUser"
!define NAME "Tidewell E2E Per User"
!define ROOT HKCU
!define INSTROOT "$LOCALAPPDATA\Programs"
!define VIEW 64
!define DISPLAY_ICON '"$INSTDIR\uninst.exe",0'
!define OUT_NAME "tidewell-e2e-user-setup.exe"
!include "fixture.nsh"
