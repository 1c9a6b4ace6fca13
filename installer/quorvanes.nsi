; QuorvanesSetup.exe: installs the saver host and the browser-link program in the program
; folder, the tray program and the sample Tessels in its Tessels folder, makes the saver host
; the system screen saver, and registers the uninstaller with the system's program removal.
; Made by the build (installer/CMakeLists.txt):
;   makensis -DQV_BIN=<programs> -DQV_SAMPLES=<sample Tessels> -DQV_ICON=<.ico>
;            -DQV_VERSION=<x.y> -DQV_OUT=<setup .exe> [-DQV_X64] quorvanes.nsi
; QV_X64 makes the installer of the 64-bit test build: a 64-bit installer that writes the
; 64-bit registry view, where the 64-bit programs read. The deliverable is the 32-bit one.

!ifdef QV_X64
  Target amd64-unicode
  !define REG_VIEW 64
  InstallDir "$PROGRAMFILES64\Quorvanes"
!else
  Unicode true
  !define REG_VIEW 32
  InstallDir "$PROGRAMFILES32\Quorvanes"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

Name "Quorvanes"
OutFile "${QV_OUT}"
Icon "${QV_ICON}"
UninstallIcon "${QV_ICON}"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
; An installation over an earlier one goes to the same folder.
InstallDirRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvanes" "InstallLocation"

VIProductVersion "${QV_VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Quorvanes"
VIAddVersionKey /LANG=0 "CompanyName" "Quorvanes"
VIAddVersionKey /LANG=0 "FileDescription" "Quorvanes Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "Quorvanes"

!define PRODUCT "Quorvanes"
!define MACHINE_KEY "Software\Quorvanes\Tessels"
!define USER_KEY "Software\Quorvanes\Tessels"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvanes"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_TRAY "Quorvanes TrayIcon"
!define RUN_LINK "Quorvanes BrowserLink"
!define TRAY_CLASS "Vantrel"
!define TRAY_TITLE "Quorvanes TrayIcon"
!define LINK_TITLE "Quorvanes BrowserLink"
; The rotation of a first installation: the sample Tessels, in the stored list form.
!define SAMPLE_ROTATION '"Harbour Lights",Meadow'
!define SYNCHRONIZE 0x00100000
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATEINIFILE 1

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; Sends WM_CLOSE to each top-level window of that title and waits (ten seconds at most) for
; its process to end, so that its program file can be replaced or removed. The send itself
; never waits more than five seconds on a program that hangs.
!macro CloseProgramWindow CLASS TITLE
  StrCpy $R9 0
  ${Do}
    FindWindow $0 "${CLASS}" "${TITLE}"
    ${If} $0 == 0
    ${OrIf} $R9 >= 5
      ${Break}
    ${EndIf}
    IntOp $R9 $R9 + 1
    StrCpy $1 0
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
    System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
    DetailPrint "Closing ${TITLE} (process $1)"
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${If} $2 != 0
      System::Call 'kernel32::WaitForSingleObject(p r2, i 10000) i'
      System::Call 'kernel32::CloseHandle(p r2)'
    ${Else}
      Sleep 500
    ${EndIf}
  ${Loop}
!macroend

; Tells the running programs that system.ini changed; a program that does not answer within
; two seconds is passed over, so the installer never hangs on one.
!macro AnnounceSystemIni
  FlushINI "$WINDIR\system.ini"
  SendMessage ${HWND_BROADCAST} ${WM_WININICHANGE} 0 0 /TIMEOUT=2000
!macroend

Section "Quorvanes"
  SetRegView ${REG_VIEW}
  SetShellVarContext all
  ; Over an earlier installation: its programs are replaced, so they must not run.
  !insertmacro CloseProgramWindow "${TRAY_CLASS}" "${TRAY_TITLE}"
  !insertmacro CloseProgramWindow "" "${LINK_TITLE}"

  SetOutPath "$INSTDIR"
  File "${QV_BIN}/Quorvanes.scr"
  File "${QV_BIN}/QVBrowserLink.exe"
  ; OPTIONAL: advert.dll, the settings dialog's advertising library (its stand-in), packed
  ; only when the build has made one; without it this line is left out.
  !if /FileExists "${QV_BIN}/advert.dll"
    File "${QV_BIN}/advert.dll"
  !endif

  ; The Tessels folder: the sample Tessels, the Preshows folder and the tray program, which
  ; the settings dialog starts from here. Tessels the user added stay.
  SetOutPath "$INSTDIR\Tessels"
  File "${QV_SAMPLES}/*.tsl"
  File "${QV_BIN}/QVTIcon.exe"
  CreateDirectory "$INSTDIR\Tessels\Preshows"

  WriteRegStr HKLM "${MACHINE_KEY}" "TesselsDir" "$INSTDIR\Tessels"
  WriteRegStr HKLM "${MACHINE_KEY}" "InstallLocation" "$INSTDIR\Quorvanes.scr"
  Call SeedRotation

  ; The system screen saver is the short form of InstallLocation, and screen saving is on.
  GetFullPathName /SHORT $0 "$INSTDIR\Quorvanes.scr"
  ${If} $0 == ""
    StrCpy $0 "$INSTDIR\Quorvanes.scr"
  ${EndIf}
  WriteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE" "$0"
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE}) i'
  !insertmacro AnnounceSystemIni

  ; At log-on: the tray program, and the window that opens the links clicked in the show.
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_TRAY}" '"$INSTDIR\Tessels\QVTIcon.exe"'
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_LINK}" '"$INSTDIR\QVBrowserLink.exe"'

  CreateDirectory "$SMPROGRAMS\Quorvanes"
  CreateShortcut "$SMPROGRAMS\Quorvanes\Quorvanes Settings.lnk" "$INSTDIR\Quorvanes.scr" "/c" \
    "$INSTDIR\Quorvanes.scr" 0 SW_SHOWNORMAL "" "Choose the screen savers and Tessels of the rotation"
  ; The tray program with a trailing "r" points the system screen saver back at Quorvanes.
  CreateShortcut "$SMPROGRAMS\Quorvanes\Turn Quorvanes On.lnk" "$INSTDIR\Tessels\QVTIcon.exe" "r" \
    "$INSTDIR\Tessels\QVTIcon.exe" 0 SW_SHOWNORMAL "" "Make Quorvanes the screen saver again"
  CreateShortcut "$SMPROGRAMS\Quorvanes\Uninstall Quorvanes.lnk" "$INSTDIR\Uninstall.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${QV_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvanes.scr"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; A user without a rotation gets the sample Tessels, so that the first screen saver shows
; something and the tray program's "r" has a rotation to point at. Choices already stored
; (an earlier installation's) stay as they are.
Function SeedRotation
  ClearErrors
  ReadRegStr $0 HKCU "${USER_KEY}" "Saver"
  ${If} ${Errors}
    ClearErrors
    ReadRegStr $0 HKCU "${USER_KEY}" "Tessel"
    ${If} ${Errors}
      WriteRegStr HKCU "${USER_KEY}" "Tessel" '${SAMPLE_ROTATION}'
      WriteRegStr HKCU "${USER_KEY}" "ScreenSaverType" "0"
    ${EndIf}
  ${EndIf}
FunctionEnd

; An interactive installation ends with the manager in service.
Function .onInstSuccess
  ${IfNot} ${Silent}
    Exec '"$INSTDIR\Tessels\QVTIcon.exe"'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView ${REG_VIEW}
  SetShellVarContext all
  !insertmacro CloseProgramWindow "${TRAY_CLASS}" "${TRAY_TITLE}"
  !insertmacro CloseProgramWindow "" "${LINK_TITLE}"

  ; The system screen saver is emptied only while it is still this saver host (the short
  ; form, or the long one), never when the user has chosen another one since.
  GetFullPathName /SHORT $1 "$INSTDIR\Quorvanes.scr"
  ReadINIStr $0 "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE"
  ${If} $0 != ""
    ${If} $0 == $1
    ${OrIf} $0 == "$INSTDIR\Quorvanes.scr"
      WriteINIStr "$WINDIR\system.ini" "boot" "SCRNSAVE.EXE" ""
      !insertmacro AnnounceSystemIni
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\Quorvanes.scr"
  Delete "$INSTDIR\QVBrowserLink.exe"
  Delete "$INSTDIR\advert.dll"
  ; Every Tessel and Preshow goes with the installation, the user's own too.
  RMDir /r "$INSTDIR\Tessels"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: the folder may be one the user had before.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Quorvanes\Quorvanes Settings.lnk"
  Delete "$SMPROGRAMS\Quorvanes\Turn Quorvanes On.lnk"
  Delete "$SMPROGRAMS\Quorvanes\Uninstall Quorvanes.lnk"
  RMDir "$SMPROGRAMS\Quorvanes"

  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_TRAY}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_LINK}"
  DeleteRegKey HKLM "${MACHINE_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Quorvanes"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
