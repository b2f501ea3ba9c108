; The Kelvaro installer: one setup program for both builds. On 64-bit Windows it installs
; the x86-64 executable into the 64-bit Program Files, elsewhere the 32-bit one.
; KelvaroCli.exe, the command-line program of the same build, goes beside it; the folder is
; added to the system's PATH only when the user ticks that component (off by default).
; makensis -DEXE64=... -DEXE32=... -DCLI64=... -DCLI32=... -DICON=... -DOUTFILE=... Kelvaro.nsi
Unicode true
!include "MUI2.nsh"
!include "x64.nsh"
!include "WordFunc.nsh"

!define PRODUCT "Kelvaro"
!define VERSION "1.0.0.1"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvaro"
!define ENV_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\${PRODUCT}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "Kelvaro 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Kelvaro"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
    StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
FunctionEnd

Section "Kelvaro" SecMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  ${If} ${RunningX64}
    File /oname=Kelvaro.exe "${EXE64}"
    File /oname=KelvaroCli.exe "${CLI64}"
  ${Else}
    File /oname=Kelvaro.exe "${EXE32}"
    File /oname=KelvaroCli.exe "${CLI32}"
  ${EndIf}
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\Kelvaro.exe" "" "$INSTDIR\Kelvaro.exe" 0

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kelvaro.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Off unless ticked: KelvaroCli can then be run by name from any command prompt.
Section /o "将命令行程序加入 PATH" SecPath
  ReadRegStr $0 HKLM "${ENV_KEY}" "Path"
  WriteRegExpandStr HKLM "${ENV_KEY}" "Path" "$0;$INSTDIR"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddedToPath" 1
  SendMessage ${HWND_BROADCAST} ${WM_WININICHANGE} 0 "STR:Environment" /TIMEOUT=5000
SectionEnd

Section "Uninstall"
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $1 == 1
    ReadRegStr $0 HKLM "${ENV_KEY}" "Path"
    ${un.WordReplace} "$0" ";$INSTDIR" "" "+" $0
    WriteRegExpandStr HKLM "${ENV_KEY}" "Path" "$0"
    SendMessage ${HWND_BROADCAST} ${WM_WININICHANGE} 0 "STR:Environment" /TIMEOUT=5000
  ${EndIf}
  Delete "$INSTDIR\KelvaroCli.exe"
  Delete "$INSTDIR\Kelvaro.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
