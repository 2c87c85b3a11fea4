; The Windows installer of odrcfg and odrstat. makensis is given:
;   /DVERSION=1.0.0  /DBINDIR=<folder with odrcfg.exe, odrstat.exe, odrcfg.hlp>  /DOUTFILE=<setup.exe>
; ANSI (NSIS's default), so that it runs on the Windows 95 family as the programs do.

!ifndef VERSION | BINDIR | OUTFILE
  !error "VERSION, BINDIR and OUTFILE must be defined"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!define PRODUCT "Ondrel Utilities"
!define PUBLISHER "Ondrel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ondrel"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Ondrel Status Monitor"
!define MONITOR_TITLE "Ondrel Status Monitor Information"
!define TOOL_TITLE "Ondrel Site Survey & Configuration Tool"
!define MENU_FOLDER "$SMPROGRAMS\Ondrel"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Ondrel"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

Var MonitorWasRunning

!define MUI_ABORTWARNING
!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\odrcfg.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start the Site Survey && Configuration Tool"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks a running program to end the way its own window does, and waits up to 5 s for it.
; odrstat ends with its "Remove" command (1), odrcfg with "Exit" (1). Sets $0 to 1 when a
; window was found.
!macro CloseProgram UN TITLE
  Function ${UN}Close_${TITLE}
    StrCpy $0 0
    FindWindow $1 "#32770" "${${TITLE}}"
    ${If} $1 <> 0
      StrCpy $0 1
      SendMessage $1 ${WM_COMMAND} 1 0 /TIMEOUT=2000
      StrCpy $2 0
      ${DoWhile} $2 < 50
        Sleep 100
        FindWindow $1 "#32770" "${${TITLE}}"
        ${IfThen} $1 = 0 ${|} ${Break} ${|}
        IntOp $2 $2 + 1
      ${Loop}
      ; Let the process finish after its window is gone.
      Sleep 500
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro CloseProgram "" MONITOR_TITLE
!insertmacro CloseProgram "" TOOL_TITLE
!insertmacro CloseProgram "un." MONITOR_TITLE
!insertmacro CloseProgram "un." TOOL_TITLE

Section "Site Survey & Configuration Tool and Status Monitor" SecPrograms
  SectionIn RO
  SetShellVarContext all
  Call Close_TOOL_TITLE
  Call Close_MONITOR_TITLE
  StrCpy $MonitorWasRunning $0

  SetOutPath "$INSTDIR"
  File "${BINDIR}\odrcfg.exe"
  File "${BINDIR}\odrstat.exe"
  File "${BINDIR}\odrcfg.hlp"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU_FOLDER}"
  CreateShortCut "${MENU_FOLDER}\Site Survey & Configuration Tool.lnk" "$INSTDIR\odrcfg.exe"
  CreateShortCut "${MENU_FOLDER}\Status Monitor.lnk" "$INSTDIR\odrstat.exe"
  CreateShortCut "${MENU_FOLDER}\Uninstall.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\odrcfg.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; For every user of the machine (HKLM), as the programs are installed for all of them.
Section "Start the status monitor when Windows starts" SecAutoStart
  WriteRegStr HKLM "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\odrstat.exe"'
SectionEnd

Section "-Finish"
  ; The choice is remembered for the next installation over this one.
  ${If} ${SectionIsSelected} ${SecAutoStart}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "StartMonitor" 1
  ${Else}
    DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "StartMonitor" 0
  ${EndIf}
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" "$0"
  ; A monitor that was running before the upgrade runs again.
  ${If} $MonitorWasRunning = 1
    Exec '"$INSTDIR\odrstat.exe"'
  ${EndIf}
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !insertmacro MUI_DESCRIPTION_TEXT ${SecPrograms} "odrcfg.exe, odrstat.exe and the help file, with their Start menu shortcuts."
  !insertmacro MUI_DESCRIPTION_TEXT ${SecAutoStart} "Puts the status monitor in the notification area whenever anybody logs on."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

Function .onInit
  ; Over an earlier installation the user's choice stands.
  ReadRegDWORD $0 HKLM "${UNINSTALL_KEY}" "StartMonitor"
  IfErrors done
  ${If} $0 = 0
    !insertmacro UnselectSection ${SecAutoStart}
  ${Else}
    !insertmacro SelectSection ${SecAutoStart}
  ${EndIf}
  done:
FunctionEnd

; Removes what the installer put there and nothing else: the adapter's settings under the
; driver's key are the driver's.
Section "Uninstall"
  SetShellVarContext all
  Call un.Close_TOOL_TITLE
  Call un.Close_MONITOR_TITLE
  Delete "$INSTDIR\odrcfg.exe"
  Delete "$INSTDIR\odrstat.exe"
  Delete "$INSTDIR\odrcfg.hlp"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${MENU_FOLDER}\Site Survey & Configuration Tool.lnk"
  Delete "${MENU_FOLDER}\Status Monitor.lnk"
  Delete "${MENU_FOLDER}\Uninstall.lnk"
  RMDir "${MENU_FOLDER}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
