; The per-user installer of velmora (Japanese texts). Made by scripts/package with makensis:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.3.8 -DVERSION4=1.3.8.0 -DSTAGE=<folder> -DOUTFILE=<exe>
;            -DSRCDIR=<sources> -DSIZEKB=<size> [-DWEB=<address>] scripts/installer.nsi
; STAGE holds velmora.exe, Tarvik.dll, guide.txt and notice.txt.
; Installs for the current user only, without administrator rights, into the user's own programs
; folder, so that velmora.ini beside the executable stays writable. A second run installs over the
; first in the same folder. The uninstaller removes what the installer put there and keeps velmora.ini.

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma

!define PRODUCT "Orvandel"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\velmora"
!define APPKEY "Software\velmora"
!ifndef WEB
  !define WEB ""
!endif

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\velmora"
InstallDirRegKey HKCU "${APPKEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "CompanyName" "velmora project"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "(C) velmora project"

!include "MUI2.nsh"
!define MUI_ICON "${SRCDIR}\player\velmora.ico"
!define MUI_UNICON "${SRCDIR}\player\velmora.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\velmora.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\guide.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "使い方ガイドを表示する"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; A running player holds velmora.exe and Tarvik.dll open: it must end before they are replaced or
; removed (its main window is a dialog titled with the display name).
!macro WaitForPlayer
  FindWindow $0 "#32770" "${PRODUCT}"
  StrCmp $0 0 +3
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} が起動しています。終了してから「再試行」を押してください。" /SD IDCANCEL IDRETRY -2
    Abort
!macroend

Function .onInit
  SetShellVarContext current
  !insertmacro WaitForPlayer
FunctionEnd

Function un.onInit
  SetShellVarContext current
  !insertmacro WaitForPlayer
FunctionEnd

Section "Orvandel"
  SetOutPath "$INSTDIR"
  ; Over an earlier installation every file is replaced; velmora.ini is never shipped, so the
  ; user's settings stay as they are.
  SetOverwrite on
  File "${STAGE}\velmora.exe"
  File "${STAGE}\Tarvik.dll"
  File "${STAGE}\guide.txt"
  File "${STAGE}\notice.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\velmora.exe" "" "$INSTDIR\velmora.exe" 0 \
    SW_SHOWNORMAL "" "耳コピのための WAVE プレーヤー"

  WriteRegStr HKCU "${APPKEY}" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\velmora.exe,0"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "velmora project"
  WriteRegStr HKCU "${UNINSTKEY}" "URLInfoAbout" "${WEB}"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" ${SIZEKB}
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\velmora.exe"
  Delete "$INSTDIR\Tarvik.dll"
  Delete "$INSTDIR\guide.txt"
  Delete "$INSTDIR\notice.txt"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  ; Not recursive: the folder goes only when it is empty, so a velmora.ini keeps it and itself.
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTKEY}"
  DeleteRegKey HKCU "${APPKEY}"
SectionEnd
