; SPDX-License-Identifier: GPL-3.0-or-later
; Copyright (C) 2026 Kelvara developers
;
; The Kelvara installer for Windows (makensis, from packaging/windows):
; a per-user install that needs no administrator, a Start-menu shortcut,
; an uninstaller that takes away all it put there, and /S for a silent
; install. Its pages are in Russian, or English where Windows is.
; Defines given by the build: VERSION, VERSION4, FILES, ICON, OUTFILE.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"

!define APP "Kelvara"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvara"

Name "${APP}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kelvara"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "${APP} ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${APP}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "Kelvara developers"
VIAddVersionKey /LANG=1033 "FileDescription" "${APP} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 Kelvara developers, GPL-3.0-or-later"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\kelvara.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for a system that speaks neither, as in
; the program itself.
!insertmacro MUI_LANGUAGE "Russian"
!insertmacro MUI_LANGUAGE "English"

Function .onInit
    ; The system's UI language picks the pages' language; no question asked.
    SetShellVarContext current
FunctionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

Var MadeProgramsFolder

Section "Kelvara"
    ; Whether the folder of per-user programs is this install's own making,
    ; so that the uninstaller takes away that much and no more.
    StrCpy $MadeProgramsFolder 0
    IfFileExists "$LOCALAPPDATA\Programs\*.*" +2 0
        StrCpy $MadeProgramsFolder 1
    SetOutPath "$INSTDIR"
    File "${FILES}\kelvara.exe"
    File "${FILES}\README.txt"
    File "${FILES}\LICENSE.txt"
    File "${FILES}\OFL-1.1.txt"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Kelvara.lnk" "$INSTDIR\kelvara.exe"

    ; The entry in the list of installed programs.
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "${APP}"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Kelvara developers"
    WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\kelvara.exe"
    WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
    WriteRegDWORD HKCU "${UNINST_KEY}" "MadeProgramsFolder" $MadeProgramsFolder
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\Kelvara.lnk"
    Delete "$INSTDIR\kelvara.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\OFL-1.1.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    ; The folder of per-user programs, if the install made it and it is empty.
    ReadRegDWORD $0 HKCU "${UNINST_KEY}" "MadeProgramsFolder"
    StrCmp $0 1 0 +2
        RMDir "$LOCALAPPDATA\Programs"
    DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
