; Tidyhold's installer: for the current user alone, into the user's programs folder, without
; administrator rights. The build passes VERSION, PROGRAM_FOLDER (the laid-out program folder), ICON
; and OUTFILE.
;
; The uninstaller removes the program, its Start-menu shortcut, the log component's registration and
; the installed-programs entry. The user's settings (config.xml), log records (Log\Data) and backup
; sets (Backup) stay unless the user checks "Settings, log records and backup sets" or passes
; /REMOVEUSERDATA.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tidyhold"
!define LOG_CLASS_KEY "Software\Classes\CLSID\{310ADEFC-C58F-4BC9-8376-F9100DE4B7FF}"
!define LOG_PROGID_KEY "Software\Classes\Jotbook.Log"
!define REGSVR32 '"$SYSDIR\regsvr32.exe" /s /n'

Name "Tidyhold"
Caption "Tidyhold ${VERSION} Setup"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Tidyhold"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tidyhold ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "Tidyhold"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Tidyhold Setup"
VIAddVersionKey "CompanyName" "The Tidyhold developers"
VIAddVersionKey "LegalCopyright" "Copyright (C) 2026 The Tidyhold developers"

Page directory
Page instfiles

PageEx un.components
    ComponentText "Tidyhold will be removed from $INSTDIR." "" \
        "Your settings, log records and backup sets stay unless you check them:"
PageExEnd
UninstPage instfiles

Section "Tidyhold"
    SetOutPath "$INSTDIR"
    File "${PROGRAM_FOLDER}/Tidyhold.exe"
    File "${PROGRAM_FOLDER}/WindowSkin.dll"
    File "${PROGRAM_FOLDER}/JotbookLog.dll"
    File "${PROGRAM_FOLDER}/Tidyhold.language"
    File "${PROGRAM_FOLDER}/Tidyhold.de.language"
    File "${PROGRAM_FOLDER}/Tidyhold.smf"
    ; config.xml holds the user's settings: the factory file goes in only where there is none yet.
    SetOverwrite off
    File "${PROGRAM_FOLDER}/config.xml"
    SetOverwrite on
    WriteUninstaller "$INSTDIR\Uninstall.exe"

    SetShellVarContext current
    CreateShortcut "$SMPROGRAMS\Tidyhold.lnk" "$INSTDIR\Tidyhold.exe" "" "$INSTDIR\Tidyhold.exe" 0

    ; The log component for the current user alone (HKCU\Software\Classes).
    ClearErrors
    ExecWait '${REGSVR32} /i:user "$INSTDIR\JotbookLog.dll"' $0
    ${If} ${Errors}
    ${OrIf} $0 != 0
        DetailPrint "The log component could not be registered ($0)."
        MessageBox MB_ICONEXCLAMATION|MB_OK \
            "The log component could not be registered: Tidyhold runs, but keeps no log." /SD IDOK
        SetErrorLevel 2
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tidyhold"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Tidyhold developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tidyhold.exe,0"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "-un.Program"
    ExecWait '${REGSVR32} /u /i:user "$INSTDIR\JotbookLog.dll"'
    ; A component that could not be loaded to unregister itself: its keys go when they name this copy.
    ReadRegStr $0 HKCU "${LOG_CLASS_KEY}\InprocServer32" ""
    ${If} $0 == "$INSTDIR\JotbookLog.dll"
        DeleteRegKey HKCU "${LOG_CLASS_KEY}"
        DeleteRegKey HKCU "${LOG_PROGID_KEY}"
    ${EndIf}

    Delete "$INSTDIR\Tidyhold.exe"
    Delete "$INSTDIR\WindowSkin.dll"
    Delete "$INSTDIR\JotbookLog.dll"
    Delete "$INSTDIR\Tidyhold.language"
    Delete "$INSTDIR\Tidyhold.de.language"
    Delete "$INSTDIR\Tidyhold.smf"
    Delete "$INSTDIR\Uninstall.exe"
    SetShellVarContext current
    Delete "$SMPROGRAMS\Tidyhold.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Only what Tidyhold itself wrote: the sets by their dated names, the log by its monthly files.
; Anything else the user put there stays, and with it the folders.
Section /o "un.Settings, log records and backup sets" UserData
    Delete "$INSTDIR\config.xml"
    Delete "$INSTDIR\Log\Data\????-??.log"
    RMDir "$INSTDIR\Log\Data"
    RMDir "$INSTDIR\Log"
    FindFirst $0 $1 "$INSTDIR\Backup\????-??-??_??-??-??"
    ${DoWhile} $1 != ""
        ${If} ${FileExists} "$INSTDIR\Backup\$1\*.*"
            RMDir /r "$INSTDIR\Backup\$1"
        ${EndIf}
        FindNext $0 $1
    ${Loop}
    FindClose $0
    RMDir "$INSTDIR\Backup"
SectionEnd

Section "-un.Folder"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVEUSERDATA" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UserData}
    ${EndIf}
FunctionEnd
