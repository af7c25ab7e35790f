; The Windows installer, built on Debian with makensis by
; packaging/windows/package.sh, which passes:
;   VERSION    the game's version ("1.03")
;   VERSION4   the same as four numbers ("1.3.0.0") for the version resource
;   PUBLISHER  the name shown beside the game in "Apps"
;   ICON       the game's icon file
;   FILES      an include file of File commands for every file installed
;   UNFILES    an include file of the matching Delete commands
;   OUTFILE    the installer to write
; and may pass COMPRESSOR (default lzma; the tests take the quicker zlib).
; Silent with /S, the uninstaller too. Each player's folder
; (%APPDATA%\pachinko, made by the game on its first start) is his and is
; never touched.

Unicode true
Target amd64-unicode
!ifndef COMPRESSOR
  !define COMPRESSOR lzma
!endif
SetCompressor /SOLID ${COMPRESSOR}
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include x64.nsh

!define NAME "PACHINKO ろもぺ"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\pachinko"
!define SHORTCUT "$SMPROGRAMS\${NAME}.lnk"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\pachinko"
; Installing again goes where the last installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${NAME} ${VERSION}"

; No copyright line: the project names no holder.
!pragma warning disable 9100
VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=0 "ProductName" "${NAME}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileDescription" "${NAME} ${VERSION} setup"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The first language is the one for systems in neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${NAME} needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  ; The menu entry and the uninstall entry are for every user of the machine.
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Install"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  ; Its presence tells the game that it is installed and must keep the
  ; player's files in his own folder, not here.
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Started from the menu, the game works in the installation folder at first
  ; and moves into the player's folder itself.
  CreateShortCut "${SHORTCUT}" "$INSTDIR\pachinko.exe" "" "$INSTDIR\pachinko.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pachinko.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ; "Apps" shows the size in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
SectionEnd

Section "Uninstall"
  ; Only the files this installer put there: the folder itself goes only
  ; when nothing else is left in it.
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
