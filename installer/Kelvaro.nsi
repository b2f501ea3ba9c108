; The Kelvaro installer: one setup program for both builds. On 64-bit Windows it installs
; the x86-64 executable into the 64-bit Program Files, elsewhere the 32-bit one.
; KelvaroCli.exe, the command-line program of the same build, goes beside it; the folder is
; added to the system's PATH only when the user ticks that component (off by default), or
; when a silent install says /PATH. /D=folder installs there, on 64-bit Windows too.
; makensis -DEXE64=... -DEXE32=... -DCLI64=... -DCLI32=... -DICON=... -DOUTFILE=... Kelvaro.nsi
Unicode true
; LogicLib leaves labels unused where an ${If} has no ${Else}: nothing to say.
!pragma warning disable 6012
; -DAMD64: the same installer as a 64-bit program, for test machines that cannot start 32-bit
; programs; what ships is the 32-bit one, which runs on every Windows.
!ifdef AMD64
  Target amd64-unicode
!endif
!include "MUI2.nsh"
!include "x64.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Kelvaro"
!define VERSION "1.0.0.1"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelvaro"

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

; Off unless ticked: KelvaroCli can then be run by name from any command prompt. The program
; edits PATH itself: a string here holds 1,024 characters, and a longer PATH would be lost.
Section /o "将命令行程序加入 PATH" SecPath
  ExecWait '"$INSTDIR\KelvaroCli.exe" /addpath "$INSTDIR"' $0
  ${If} $0 == 0
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "AddedToPath" 1
  ${EndIf}
SectionEnd

Function .onInit
  SetShellVarContext all
  ${If} ${RunningX64}
    SetRegView 64
    ; The 64-bit Program Files, unless /D= named another folder.
    ${If} $INSTDIR == "$PROGRAMFILES\${PRODUCT}"
      StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT}"
    ${EndIf}
  ${EndIf}
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PATH" $R1
  ${IfNot} ${Errors}
    SectionSetFlags ${SecPath} ${SF_SELECTED}
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ReadRegDWORD $1 HKLM "${UNINSTALL_KEY}" "AddedToPath"
  ${If} $1 == 1
    ExecWait '"$INSTDIR\KelvaroCli.exe" /removepath "$INSTDIR"'
  ${EndIf}
  Delete "$INSTDIR\KelvaroCli.exe"
  Delete "$INSTDIR\Kelvaro.exe"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
