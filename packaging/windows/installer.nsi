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

Section "Pictanote"
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
SectionEnd

Section "Uninstall"
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
  ; The parents a new user profile may lack, which the installer then made: only when empty.
  DeleteRegKey /ifempty SHCTX "Software\Microsoft\Windows\CurrentVersion\Uninstall"
  DeleteRegKey /ifempty SHCTX "Software\Classes"
  StrCmp $MultiUser.InstallMode "CurrentUser" 0 +2
    RMDir "$LOCALAPPDATA\Programs"
SectionEnd
