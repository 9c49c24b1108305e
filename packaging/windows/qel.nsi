; The Windows installer, qel-<version>-setup.exe: the files of the zip into
; the user's own programs folder, with no administrator; a Start-menu
; shortcut that starts the game in that folder (the game reads its four data
; files from the folder it runs in); an uninstaller in Apps & features.
; /S installs and uninstalls silently.
;
; Built by the Windows build (cmake --build build-win --target installer):
;   makensis -INPUTCHARSET UTF8 -DFILES=installer.nsh -DOUTFILE=setup.exe qel.nsi
; where the build's installer.nsh defines VERSION, PUBLISHER, COPYRIGHT and
; ICON, and the macros QEL_INSTALL_FILES and QEL_DELETE_FILES: a File and a
; Delete line for each file of the zip.

Unicode true
; 64-bit stubs: the installer runs where qel.exe does (and under wine64 alone).
Target amd64-unicode
SetCompressor /SOLID lzma

!include MUI2.nsh
!include FileFunc.nsh
!include "${FILES}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Qel"

Name "Qel"
OutFile "${OUTFILE}"
; Per user: the user's programs folder and HKCU, no elevation asked for.
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Qel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\qel.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

; The installer's own Properties > Details.
VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductName" "Qel"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileDescription" "Qel 安装程序"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_SIMPCHINESE} "ProductVersion" "${VERSION}"

Function .onInit
  SetShellVarContext current
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  !insertmacro QEL_INSTALL_FILES
  WriteUninstaller "$INSTDIR\uninstall.exe"
  ; The output path is the shortcut's working folder: the install folder.
  CreateShortcut "$SMPROGRAMS\Qel.lnk" "$INSTDIR\qel.exe" "" "$INSTDIR\qel.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Qel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\qel.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; In KiB, as Apps & features shows it.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Only what the installer put there goes: the folder stays if the player
; left files of their own in it.
Section "Uninstall"
  Delete "$SMPROGRAMS\Qel.lnk"
  !insertmacro QEL_DELETE_FILES
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
