; The Pictanote installer. Without administrator rights it installs for the current user
; (%LOCALAPPDATA%\Programs\Pictanote, HKEY_CURRENT_USER); run as administrator, for all users
; (Program Files, HKEY_LOCAL_MACHINE). It adds a Start-menu entry, opens .ptn work files with
; pictanote.exe, and registers an uninstaller that removes every file and registry entry it
; added, and nothing else.
; makensis -DVERSION=1.0.3.0 -DSTAGE=<folder> -DFILES=<install list> -DUNFILES=<removal list>
;          -DOUTFILE=<setup.exe> installer.nsi   (tools/windows/installer.sh does this)
Unicode true
; A 64-bit installer for a 64-bit program (it also runs where 32-bit programs cannot).
Target amd64-unicode
SetCompressor /SOLID lzma

!define APP "Pictanote"
!define PROGID "Pictanote.WorkFile"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pictanote"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_INSTALLMODE_INSTDIR "${APP}"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!include MultiUser.nsh
!include x64.nsh

Name "${APP} ${VERSION}"
OutFile "${OUTFILE}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductName" "${APP}"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "FileDescription" "${APP} のインストーラー"
VIAddVersionKey /LANG=1041 "CompanyName" "Pictanote Project"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) 2026 Pictanote Project"

!include MUI2.nsh
!define MUI_ICON "${STAGE}/pictanote.ico"
!define MUI_UNICON "${STAGE}/pictanote.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${APP} は 64 ビット版の Windows で動きます。"
    Abort
  ${EndIf}
  SetRegView 64
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  SetRegView 64
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

; VAR becomes 1 when KEY does not exist under SHCTX, else 0.
!macro IsMissingKey VAR KEY
  StrCpy ${VAR} 0
  ClearErrors
  EnumRegKey $0 SHCTX "${KEY}" 0
  IfErrors 0 +2
    StrCpy ${VAR} 1
!macroend

Section "Pictanote"
  ; A new user profile may lack the parents of what is added below. Which of them this install
  ; makes is kept in the uninstall entry, so that the uninstaller removes those and only those
  ; (an empty Uninstall key that was there before stays). Installing again over an install
  ; keeps what the first one recorded.
  !insertmacro IsMissingKey $R1 "Software\Microsoft\Windows\CurrentVersion\Uninstall"
  !insertmacro IsMissingKey $R2 "Software\Classes"
  StrCpy $R3 0
  ${If} $MultiUser.InstallMode == "CurrentUser"
  ${AndIfNot} ${FileExists} "$LOCALAPPDATA\Programs\*.*"
    StrCpy $R3 1
  ${EndIf}

  SetOutPath "$INSTDIR"
  !include "${FILES}"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\pictanote.exe"

  ; .ptn work files open with the program.
  WriteRegStr SHCTX "Software\Classes\.ptn" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "Pictanote 作業ファイル"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" '"$INSTDIR\pictanote.exe",0'
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\pictanote.exe" "%1"'

  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayName" "${APP}"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTKEY}" "Publisher" "Pictanote Project"
  WriteRegStr SHCTX "${UNINSTKEY}" "DisplayIcon" '"$INSTDIR\pictanote.exe",0'
  WriteRegStr SHCTX "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTKEY}" "NoRepair" 1
  ${If} $R1 == 1
    WriteRegDWORD SHCTX "${UNINSTKEY}" "MadeUninstallKey" 1
  ${EndIf}
  ${If} $R2 == 1
    WriteRegDWORD SHCTX "${UNINSTKEY}" "MadeClassesKey" 1
  ${EndIf}
  ${If} $R3 == 1
    WriteRegDWORD SHCTX "${UNINSTKEY}" "MadeProgramsFolder" 1
  ${EndIf}
SectionEnd

Section "Uninstall"
  ; Read before the entry that holds them goes.
  ReadRegDWORD $R1 SHCTX "${UNINSTKEY}" "MadeUninstallKey"
  ReadRegDWORD $R2 SHCTX "${UNINSTKEY}" "MadeClassesKey"
  ReadRegDWORD $R3 SHCTX "${UNINSTKEY}" "MadeProgramsFolder"
  Delete "$SMPROGRAMS\${APP}.lnk"
  ; The association goes only while it is still ours.
  ReadRegStr $0 SHCTX "Software\Classes\.ptn" ""
  StrCmp $0 "${PROGID}" 0 +2
    DeleteRegKey SHCTX "Software\Classes\.ptn"
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  DeleteRegKey SHCTX "${UNINSTKEY}"

  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ; The parents the installer made, and only while nothing else has come into them.
  ${If} $R1 == 1
    DeleteRegKey /ifempty SHCTX "Software\Microsoft\Windows\CurrentVersion\Uninstall"
  ${EndIf}
  ${If} $R2 == 1
    DeleteRegKey /ifempty SHCTX "Software\Classes"
  ${EndIf}
  ${If} $R3 == 1
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
SectionEnd
