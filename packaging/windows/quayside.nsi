; The Windows installer: makensis -DVERSION=x.y.z -DSTAGE=<folder> -DOUTFILE=<setup.exe>
; -DICON=<file.ico> [-DWITH_X86] (packaging/windows/installer.sh stages the folder). STAGE holds what goes into the program
; folder as it is to lie there: the programs, their DLLs and Qt's, the 32-bit DLLs in x86\ and
; the developer files in sdk\.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include StrFunc.nsh
!include WinMessages.nsh
!include x64.nsh
${StrRep}
${UnStrRep}

!define PRODUCT "Quayside"
!define PUBLISHER "Corvale"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define ENV_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "SimpChinese"

Function .onInit
  ; A 64-bit program folder and registry view, also when started from a 32-bit shell.
  ${DisableX64FSRedirection}
  SetRegView 64
FunctionEnd

Section "Programs" SecPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\*.exe"
  File "${STAGE}\*.dll"
  SetOutPath "$INSTDIR\platforms"
  File "${STAGE}\platforms\*.dll"
  SetOutPath "$INSTDIR\styles"
  File "${STAGE}\styles\*.dll"
  SetOutPath "$INSTDIR\imageformats"
  File "${STAGE}\imageformats\*.dll"
!ifdef WITH_X86
  ; The 32-bit libraries for 32-bit programs, apart from the 64-bit ones, and their zot.
  SetOutPath "$INSTDIR\x86"
  File "${STAGE}\x86\*.dll"
  File "${STAGE}\x86\*.exe"
!endif
  SetOutPath "$INSTDIR"
  File "${STAGE}\LICENSES.txt"

  ; Shortcuts for all users, started in the program folder.
  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Velkor.lnk" "$INSTDIR\Velkor.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Velkor (English).lnk" "$INSTDIR\Velkor_en.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\DriftboxGUI.lnk" "$INSTDIR\DriftboxGUI.exe"

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Velkor.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Developer files" SecDev
  ; Headers; import libraries for MinGW (.dll.a) and MSVC (.lib), 64-bit and in x86\ 32-bit;
  ; the .def files they were made from.
  SetOutPath "$INSTDIR\sdk"
  File /r "${STAGE}\sdk\*.*"
SectionEnd

Section /o "zot on the PATH" SecPath
  ReadRegStr $0 HKLM "${ENV_KEY}" "Path"
  ${StrRep} $1 "$0;" "$INSTDIR;" ""
  StrCmp $1 "$0;" 0 +3
    WriteRegExpandStr HKLM "${ENV_KEY}" "Path" "$0;$INSTDIR"
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "OnPath" 1
SectionEnd

LangString DESC_Programs ${LANG_ENGLISH} "Velkor, Velkor (English), DriftboxGUI and zot with the libraries and Qt."
LangString DESC_Programs ${LANG_SIMPCHINESE} "Velkor、Velkor (English)、DriftboxGUI 和 zot，以及程序库和 Qt。"
LangString DESC_Dev ${LANG_ENGLISH} "Headers and import libraries (MinGW and MSVC, 64- and 32-bit)."
LangString DESC_Dev ${LANG_SIMPCHINESE} "头文件和导入库（MinGW 与 MSVC，64 位与 32 位）。"
LangString DESC_Path ${LANG_ENGLISH} "Adds the program folder to the system PATH, for zot in a command prompt."
LangString DESC_Path ${LANG_SIMPCHINESE} "把程序文件夹加入系统 PATH，以便在命令提示符中使用 zot。"
!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPrograms} $(DESC_Programs)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecDev} $(DESC_Dev)
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPath} $(DESC_Path)
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Uninstall"
  ReadRegDWORD $2 HKLM "${UNINSTALL_KEY}" "OnPath"
  StrCmp $2 1 0 nopath
    ReadRegStr $0 HKLM "${ENV_KEY}" "Path"
    ${UnStrRep} $1 "$0" ";$INSTDIR" ""
    WriteRegExpandStr HKLM "${ENV_KEY}" "Path" "$1"
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
  nopath:
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\Velkor.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Velkor (English).lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\DriftboxGUI.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  ; Only what Setup put there; a folder the user added files to stays with them.
  RMDir /r "$INSTDIR\sdk"
  RMDir /r "$INSTDIR\platforms"
  RMDir /r "$INSTDIR\styles"
  RMDir /r "$INSTDIR\imageformats"
  RMDir /r "$INSTDIR\x86"
  Delete "$INSTDIR\*.exe"
  Delete "$INSTDIR\*.dll"
  Delete "$INSTDIR\LICENSES.txt"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
