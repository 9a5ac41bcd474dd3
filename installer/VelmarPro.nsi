; The Windows installer: a per-user installation without administrator rights
; into the user's local programs folder (the settings file lives beside the
; program, so its folder must stay writable), a Start menu entry and an
; uninstaller in "Apps & features". Built by CMake with makensis:
;   makensis -DVERSION=1.1.1.190 -DEXE=... -DICON=... -DOUTFILE=... [-DTABLES=folder] VelmarPro.nsi
; -DVELMAR_SILENT builds the same installer that always runs silently (for tests).
Unicode true
; The program is a 64-bit one, and so is the installer.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "TextFunc.nsh"

!define NAME "VelmarPro"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NAME}"
!define MAIN_CLASS "TVelmarPro_Api"

Name "${NAME}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${NAME}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
!ifdef VELMAR_SILENT
SilentInstall silent
!endif

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1049 "FileDescription" "Установка ${NAME}"
VIAddVersionKey /LANG=1049 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1049 "CompanyName" "${NAME}"
VIAddVersionKey /LANG=1049 "LegalCopyright" "${NAME}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\${NAME}.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

; A running copy is asked to close (it saves its settings then) and given a
; few seconds; its executable cannot be replaced while it runs.
!macro CloseRunningCopy
  FindWindow $0 "${MAIN_CLASS}" ""
  ${If} $0 <> 0
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $1 0
    ${DoUntil} $0 = 0
      ${If} $1 >= 50
        ${ExitDo}
      ${EndIf}
      Sleep 200
      FindWindow $0 "${MAIN_CLASS}" ""
      IntOp $1 $1 + 1
    ${Loop}
  ${EndIf}
!macroend

Section "${NAME}"
  SetShellVarContext current
  !insertmacro CloseRunningCopy
  SetOutPath "$INSTDIR"
  ; The process may take a moment to end after its window has gone.
  StrCpy $1 0
  retry:
  ClearErrors
  SetOverwrite try
  File "/oname=${NAME}.exe" "${EXE}"
  ${If} ${Errors}
    IntOp $1 $1 + 1
    ${If} $1 < 40
      Sleep 250
      Goto retry
    ${EndIf}
    SetOverwrite on
    File "/oname=${NAME}.exe" "${EXE}"
  ${EndIf}
  SetOverwrite on

  ; The settings are never overwritten, nor is a table the user changed: a
  ; standard table comes in its new version where the installed copy is one we
  ; shipped (its digest is listed), else the new version goes beside it as
  ; NAME.table.new, which the program does not load; the log says which.
  CreateDirectory "$INSTDIR\Table"
  !ifdef TABLES
  InitPluginsDir
  SetOutPath "$PLUGINSDIR\tables"
  File "${TABLES}/*.table"
  SetOutPath "$PLUGINSDIR"
  File "/oname=table_upgrade.exe" "${TABLE_UPGRADE}"
  File "/oname=shipped_tables.sha256" "${SHIPPED_DIGESTS}"
  ClearErrors
  ExecWait '"$PLUGINSDIR\table_upgrade.exe" "$PLUGINSDIR\tables" "$INSTDIR\Table" "$PLUGINSDIR\shipped_tables.sha256" "$PLUGINSDIR\tables.log"' $0
  ${If} ${Errors}
    ; Without the helper, a table that is there stays as it is.
    SetOutPath "$INSTDIR\Table"
    SetOverwrite off
    File "${TABLES}/*.table"
    SetOverwrite on
  ${EndIf}
  ClearErrors
  FileOpen $2 "$PLUGINSDIR\tables.log" r
  ${IfNot} ${Errors}
    ${Do}
      FileReadUTF16LE $2 $3
      ${If} ${Errors}
        ${ExitDo}
      ${EndIf}
      ${TrimNewLines} $3 $3
      DetailPrint "$3"
    ${Loop}
    FileClose $2
  ${EndIf}
  !endif
  SetOutPath "$INSTDIR"
  File "/oname=TableFormat.txt" "${FORMAT_GUIDE}"
  !ifdef TABLES
  ; For the uninstaller: it removes only the standard tables the user never changed.
  File "/oname=table_upgrade.exe" "${TABLE_UPGRADE}"
  File "/oname=shipped_tables.sha256" "${SHIPPED_DIGESTS}"
  !endif

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\${NAME}.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${NAME}.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The program, its uninstaller, the shortcut and the registration go; the
; user's settings and tables stay unless the user asks for them to go too
; (a question, or /PURGE on the command line of a silent uninstall).
Section "Uninstall"
  SetShellVarContext current
  !insertmacro CloseRunningCopy
  Delete "$INSTDIR\${NAME}.exe"
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$INSTDIR\TableFormat.txt"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The standard tables go when the user never changed them; a table the user
  ; changed is the user's and stays, as the user's own tables do.
  ExecWait '"$INSTDIR\table_upgrade.exe" --remove "$INSTDIR\Table" "$INSTDIR\shipped_tables.sha256"'
  Delete "$INSTDIR\table_upgrade.exe"
  Delete "$INSTDIR\shipped_tables.sha256"

  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/PURGE" $1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION "Удалить также настройки и таблицы VelmarPro?" /SD IDNO IDNO keep
  ${EndIf}
  Delete "$INSTDIR\${NAME}.dat"
  RMDir /r "$INSTDIR\Table"
  keep:
  RMDir "$INSTDIR"
SectionEnd
