; Solvane 7 installer: the saver, its data, the settings key, a Start-menu entry for the
; settings, and an uninstaller registered in Add/Remove Programs.
; makensis -DSOURCE_DIR=<folder with Solvane7.scr and data> -DOUTPUT=<setup.exe> solvane7.nsi
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!ifndef SOURCE_DIR
  !error "SOURCE_DIR must name the folder that holds Solvane7.scr and data"
!endif
!ifndef ICON
  !error "ICON must name the installer icon"
!endif
!ifndef OUTPUT
  !define OUTPUT "Solvane7-setup.exe"
!endif

!define PRODUCT "Solvane 7"
!define COMPANY "Korrin Software"
!define SETTINGS_KEY "Software\Korrin Software\Solvane 7.0"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Solvane7"

!include "MUI2.nsh"
!include "x64.nsh"
!include "LogicLib.nsh"

Name "${PRODUCT}"
OutFile "${OUTPUT}"
InstallDir "$PROGRAMFILES64\Korrin Software\Solvane 7.0"
InstallDirRegKey HKLM "${SETTINGS_KEY}" "InstallPath"
BrandingText "${COMPANY}"
VIProductVersion "7.0.0.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${COMPANY}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "7.0.0.0"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 ${COMPANY}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Machine-wide install: 64-bit registry view, Start menu of all users.
Function .onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Function un.onInit
  SetRegView 64
  SetShellVarContext all
FunctionEnd

Section "Solvane 7 (required)" SecCore
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${SOURCE_DIR}\Solvane7.scr"
  File "${SOURCE_DIR}\README.txt"
  SetOutPath "$INSTDIR\data"
  File /r "${SOURCE_DIR}\data\*.*"

  ; Where the saver finds its data; no trailing separator.
  WriteRegStr HKLM "${SETTINGS_KEY}" "InstallPath" "$INSTDIR"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "7.0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Solvane7.scr,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start menu entry for the settings" SecStartMenu
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Settings.lnk" "$INSTDIR\Solvane7.scr" "/c" \
    "$INSTDIR\Solvane7.scr" 0
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk" "$INSTDIR\Uninstall.exe"
SectionEnd

Section "Use Solvane 7 as my screen saver" SecActivate
  ; The screen-saver choice is stored as a short path.
  GetFullPathName /SHORT $0 "$INSTDIR\Solvane7.scr"
  WriteRegStr HKCU "Control Panel\Desktop" "SCRNSAVE.EXE" "$0"
  WriteRegStr HKCU "Control Panel\Desktop" "ScreenSaveActive" "1"
SectionEnd

Section "Uninstall"
  ; Forget the screen-saver choice only when it is ours.
  ReadRegStr $0 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\Solvane7.scr"
  ${If} $0 != ""
    ${If} $0 == $1
    ${OrIf} $0 == "$INSTDIR\Solvane7.scr"
      DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}

  Delete "$INSTDIR\Solvane7.scr"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\picsavelist.tsl"
  RMDir /r "$INSTDIR\data"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT} Settings.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall ${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegKey HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "Software\Korrin Software"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Korrin Software"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
