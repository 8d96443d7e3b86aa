; The Vesmar installer. scripts/windows makes it with makensis from the
; release folder (-DSTAGE=...), the version (-DVERSION=...), the output name
; (-DOUTFILE=...) and the lists of that folder's files (-DFILES=...,
; -DUNFILES=...), so the uninstaller removes exactly what was installed.
; A 64-bit installer for the 64-bit program (Unicode, as the Chinese texts need).
Target amd64-unicode
SetCompressor /SOLID lzma
!include "MUI2.nsh"

!define APPNAME "Vesmar函数分析作图器"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesmar"
; Plot files (.vesmar) open in the program on a double click.
!define FILETYPE "Vesmar.Plot"

Name "${APPNAME}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Vesmar"
InstallDirRegKey HKLM "${UNINSTKEY}" "InstallLocation"
RequestExecutionLevel admin
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "${APPNAME}"
VIAddVersionKey /LANG=2052 "FileDescription" "${APPNAME} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "CompanyName" "The Vesmar developers"
VIAddVersionKey /LANG=2052 "LegalCopyright" "The Vesmar developers"

!define MUI_ICON "${STAGE}\vesmar.ico"
!define MUI_UNICON "${STAGE}\vesmar.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\vesmar.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
FunctionEnd

Section "Vesmar"
  SetOutPath "$INSTDIR"
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\${APPNAME}.lnk" "$INSTDIR\vesmar.exe" "" "$INSTDIR\vesmar.exe" 0
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayName" "${APPNAME}"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTKEY}" "Publisher" "The Vesmar developers"
  WriteRegStr HKLM "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\vesmar.exe"
  WriteRegStr HKLM "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTKEY}" "NoRepair" 1
  WriteRegStr HKLM "Software\Classes\.vesmar" "" "${FILETYPE}"
  WriteRegStr HKLM "Software\Classes\.vesmar" "Content Type" "application/x-vesmar"
  WriteRegStr HKLM "Software\Classes\${FILETYPE}" "" "Vesmar 作图文件"
  WriteRegStr HKLM "Software\Classes\${FILETYPE}\DefaultIcon" "" "$INSTDIR\vesmar.exe,0"
  WriteRegStr HKLM "Software\Classes\${FILETYPE}\shell\open\command" "" '"$INSTDIR\vesmar.exe" "%1"'
  ; Explorer learns of the new type without a restart.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${APPNAME}.lnk"
  !include "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  ; Only folders left empty go: anything a user put there stays.
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTKEY}"
  ; The file type goes only while it is still this program's.
  ReadRegStr $0 HKLM "Software\Classes\.vesmar" ""
  StrCmp $0 "${FILETYPE}" 0 +2
  DeleteRegKey HKLM "Software\Classes\.vesmar"
  DeleteRegKey HKLM "Software\Classes\${FILETYPE}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
