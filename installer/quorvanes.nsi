; QuorvanesSetup.exe: installs the saver host and the browser-link program in the program
; folder, the tray program and the sample Tessels in its Tessels folder, makes the saver host
; the system screen saver, and registers the uninstaller with the system's program removal.
; Made by the build (installer/CMakeLists.txt):
;   makensis -WX -DQV_FILES=<staged files> -DQV_ICON=<.ico> -DQV_VERSION=<x.y>
;            -DQV_OUT=<setup .exe> [-DQV_X64] [-DQV_SIGN=<command>] -D<NAME>=<text>... quorvanes.nsi
; Every name the programs share with the installation (window titles and classes, registry
; keys and values, file and folder names) is a -D define that the build reads from the
; programs' own headers (cmake/installer_names.cmake): none is spelled here. QV_FILES holds
; the files to pack, as the build staged them (signed where the build signs, with the file
; time of SOURCE_DATE_EPOCH). QV_SIGN, where given, signs the uninstaller as it is made.
; QV_X64 makes the installer of the 64-bit test build: a 64-bit installer that writes the
; 64-bit registry view, where the 64-bit programs read. The deliverable is the 32-bit one.

!ifdef QV_X64
  Target amd64-unicode
  !define REG_VIEW 64
  InstallDir "$PROGRAMFILES64\${PROGRAM_FOLDER}"
!else
  Unicode true
  !define REG_VIEW 32
  InstallDir "$PROGRAMFILES32\${PROGRAM_FOLDER}"
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

Name "${PRODUCT}"
OutFile "${QV_OUT}"
!ifdef QV_SIGN
  ; The uninstaller is signed as makensis makes it, before it is packed into the installer;
  ; the installer when it is complete.
  !uninstfinalize '${QV_SIGN} "%1"' = 0
  !finalize '${QV_SIGN} "%1"' = 0
!endif
!ifdef QV_UNINSTALLER_COPY
  ; The uninstaller as packed (signed where the build signs) is kept beside the build's
  ; installer files, for the release tests to check.
  !uninstfinalize '"${QV_CMAKE}" -E copy "%1" "${QV_UNINSTALLER_COPY}"' = 0
!endif
Icon "${QV_ICON}"
UninstallIcon "${QV_ICON}"
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
; An installation over an earlier one goes to the same folder.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${QV_VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${QV_VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "${PUBLISHER}"

; The machine values and the user's choices lie in the same key, under HKLM and HKCU.
!define MACHINE_KEY "${CONFIG_KEY}"
!define USER_KEY "${CONFIG_KEY}"
!define HOST_FILE "${SAVER_HOST}.scr"
!define TESSELS "$INSTDIR\${TESSELS_FOLDER}"
!define MENU "$SMPROGRAMS\${MENU_FOLDER}"
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
  FlushINI "$WINDIR\${SYSTEM_INI}"
  SendMessage ${HWND_BROADCAST} ${WM_WININICHANGE} 0 0 /TIMEOUT=2000
!macroend

Section "${PRODUCT}"
  SetRegView ${REG_VIEW}
  SetShellVarContext all
  ; Over an earlier installation: its programs are replaced, so they must not run.
  !insertmacro CloseProgramWindow "${TRAY_CLASS}" "${TRAY_TITLE}"
  !insertmacro CloseProgramWindow "" "${LINK_TITLE}"

  SetOutPath "$INSTDIR"
  File "${QV_FILES}/${HOST_FILE}"
  File "${QV_FILES}/${LINK_FILE}"
  File "${QV_FILES}/${USER_SETUP_FILE}"
  ; OPTIONAL: advert.dll, the settings dialog's advertising library (its stand-in), packed
  ; only when the build has made one; without it this line is left out.
  !if /FileExists "${QV_FILES}/${ADVERT_FILE}"
    File "${QV_FILES}/${ADVERT_FILE}"
  !endif

  ; The Tessels folder: the sample Tessels, the Preshows folder and the tray program, which
  ; the settings dialog starts from here. Tessels the user added stay.
  SetOutPath "${TESSELS}"
  File "${QV_FILES}/${TESSELS_FOLDER}/*.tsl"
  File "${QV_FILES}/${TESSELS_FOLDER}/${TRAY_FILE}"
  CreateDirectory "${TESSELS}\${PRESHOWS_FOLDER}"

  WriteRegStr HKLM "${MACHINE_KEY}" "${V_TESSELS_DIR}" "${TESSELS}"
  WriteRegStr HKLM "${MACHINE_KEY}" "${V_INSTALL_LOC}" "$INSTDIR\${HOST_FILE}"

  ; The system screen saver is the short form of InstallLocation, and screen saving is on.
  GetFullPathName /SHORT $0 "$INSTDIR\${HOST_FILE}"
  ${If} $0 == ""
    StrCpy $0 "$INSTDIR\${HOST_FILE}"
  ${EndIf}
  WriteINIStr "$WINDIR\${SYSTEM_INI}" "${BOOT_SECTION}" "${SCRNSAVE_KEY}" "$0"
  System::Call 'user32::SystemParametersInfo(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATEINIFILE}) i'
  !insertmacro AnnounceSystemIni

  ; The installing user's first experience: the sample rotation where the user has none
  ; (the screen saver is set above). Every other user gets the same at the next log-on,
  ; once, from Active Setup (the program changes nothing a user chose).
  ExecWait '"$INSTDIR\${USER_SETUP_FILE}"'
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "" "${PRODUCT}"
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "StubPath" '"$INSTDIR\${USER_SETUP_FILE}"'
  WriteRegStr HKLM "${ACTIVE_SETUP_KEY}" "Version" "${ACTIVE_SETUP_VERSION}"
  WriteRegDWORD HKLM "${ACTIVE_SETUP_KEY}" "IsInstalled" 1

  ; At log-on: the tray program, and the window that opens the links clicked in the show.
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_TRAY}" '"${TESSELS}\${TRAY_FILE}"'
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_LINK}" '"$INSTDIR\${LINK_FILE}"'

  CreateDirectory "${MENU}"
  CreateShortcut "${MENU}\${SETTINGS_LNK}.lnk" "$INSTDIR\${HOST_FILE}" "/c" \
    "$INSTDIR\${HOST_FILE}" 0 SW_SHOWNORMAL "" "Choose the screen savers and Tessels of the rotation"
  ; The tray program with a trailing "r" points the system screen saver back at the saver host.
  CreateShortcut "${MENU}\${TURN_ON_LNK}.lnk" "${TESSELS}\${TRAY_FILE}" "r" \
    "${TESSELS}\${TRAY_FILE}" 0 SW_SHOWNORMAL "" "Make ${PRODUCT} the screen saver again"
  CreateShortcut "${MENU}\${UNINSTALL_LNK}.lnk" "$INSTDIR\${UNINSTALLER}"

  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${QV_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${HOST_FILE}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; An interactive installation ends with the manager in service.
Function .onInstSuccess
  ${IfNot} ${Silent}
    Exec '"${TESSELS}\${TRAY_FILE}"'
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetRegView ${REG_VIEW}
  SetShellVarContext all
  !insertmacro CloseProgramWindow "${TRAY_CLASS}" "${TRAY_TITLE}"
  !insertmacro CloseProgramWindow "" "${LINK_TITLE}"

  ; The system screen saver is emptied only while it is still this saver host (the short
  ; form, or the long one), never when the user has chosen another one since.
  GetFullPathName /SHORT $1 "$INSTDIR\${HOST_FILE}"
  ReadINIStr $0 "$WINDIR\${SYSTEM_INI}" "${BOOT_SECTION}" "${SCRNSAVE_KEY}"
  ${If} $0 != ""
    ${If} $0 == $1
    ${OrIf} $0 == "$INSTDIR\${HOST_FILE}"
      WriteINIStr "$WINDIR\${SYSTEM_INI}" "${BOOT_SECTION}" "${SCRNSAVE_KEY}" ""
      !insertmacro AnnounceSystemIni
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\${HOST_FILE}"
  Delete "$INSTDIR\${LINK_FILE}"
  Delete "$INSTDIR\${USER_SETUP_FILE}"
  Delete "$INSTDIR\${ADVERT_FILE}"
  ; Every Tessel and Preshow goes with the installation, the user's own too.
  RMDir /r "${TESSELS}"
  ; The Tessels users made (Quorvanes\Tessels in each user's local application data) are
  ; the users' own, as their choices are: the removal leaves them where they are.
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only when empty: the folder may be one the user had before.
  RMDir "$INSTDIR"

  Delete "${MENU}\${SETTINGS_LNK}.lnk"
  Delete "${MENU}\${TURN_ON_LNK}.lnk"
  Delete "${MENU}\${UNINSTALL_LNK}.lnk"
  RMDir "${MENU}"

  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_TRAY}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_LINK}"
  DeleteRegKey HKLM "${MACHINE_KEY}"
  DeleteRegKey /ifempty HKLM "${PRODUCT_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  DeleteRegKey HKLM "${ACTIVE_SETUP_KEY}"
SectionEnd
