; Tidyhold's installer: for the current user alone, into the user's programs folder, without
; administrator rights. The build passes VERSION, PROGRAM_FOLDER (the laid-out program folder), ICON
; and OUTFILE.
;
; The uninstaller removes the program, its Start-menu shortcut, the log component's registration and
; the installed-programs entry. The user's settings (config.xml), log records (Log\Data) and backup
; sets (Backup) stay unless the user checks "Settings, log records and backup sets" or passes
; /REMOVEUSERDATA; even then only what Tidyhold or this installer wrote goes, and no link is followed.

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
; An entry opened for removal: DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, the entry itself
; (FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT).
!define OWN_ACCESS 0x10180
!define OWN_FLAGS 0x02200000

Var CreatedConfig  ; the config.xml this installer put in, from the installed-programs entry

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
    File "${PROGRAM_FOLDER}/TidyholdCmd.exe"
    File "${PROGRAM_FOLDER}/WindowSkin.dll"
    File "${PROGRAM_FOLDER}/JotbookLog.dll"
    File "${PROGRAM_FOLDER}/Tidyhold.language"
    File "${PROGRAM_FOLDER}/Tidyhold.de.language"
    File "${PROGRAM_FOLDER}/Tidyhold.smf"
    ; config.xml holds the user's settings: the factory file goes in only where there is none yet,
    ; and only then may the uninstaller remove it.
    ${IfNot} ${FileExists} "$INSTDIR\config.xml"
        WriteRegStr HKCU "${UNINSTALL_KEY}" "CreatedConfig" "$INSTDIR\config.xml"
    ${EndIf}
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

; Whether NAME has FORM, where "#" stands for a digit and "" for any name: 1 or 0 in RESULT.
!macro HasForm RESULT NAME FORM
    Push `${NAME}`
    Push `${FORM}`
    Call un.HasForm
    Pop ${RESULT}
!macroend

Function un.HasForm
    Exch $1
    Exch
    Exch $0
    Push $2
    Push $3
    Push $4
    StrLen $2 $1
    StrLen $3 $0
    ${If} $2 = 0
        StrCpy $0 1
    ${ElseIf} $2 <> $3
        StrCpy $0 0
    ${Else}
        ${Do}
            IntOp $2 $2 - 1
            StrCpy $3 $0 1 $2
            StrCpy $4 $1 1 $2
            ${IfThen} $4 == "#" ${|} IntOp $4 $3 + 0 ${|}  ; a digit reads back as itself
            ${IfNot} $4 S== $3
                StrCpy $0 0
                ${ExitDo}
            ${ElseIf} $2 = 0
                StrCpy $0 1
                ${ExitDo}
            ${EndIf}
        ${Loop}
    ${EndIf}
    Pop $4
    Pop $3
    Pop $2
    Exch
    Pop $1
    Exch $0
FunctionEnd

; Opens the entry at the final path PATH with ACCESS and SHARE: HANDLE is -1 when it is missing, a
; link of any kind or reached through one.
!macro OpenOwn HANDLE ATTRIBUTES PATH ACCESS SHARE
    Push `${SHARE}`
    Push `${ACCESS}`
    Push `${PATH}`
    Call un.OpenOwn
    Pop ${HANDLE}
    Pop ${ATTRIBUTES}
!macroend

Function un.OpenOwn
    Exch $0
    Exch
    Exch $1
    Exch 2
    Exch $2
    Push $3
    Push $4
    System::Call 'kernel32::GetFileAttributesW(w r0) i .r3'
    ${If} $3 <> -1
    ${AndIfNot} $3 & 0x400
        System::Call 'kernel32::CreateFileW(w r0, i r1, i r2, p 0, i 3, i ${OWN_FLAGS}, p 0) p .r1'
        ; The handle's own attributes (FileBasicInfo): a link swapped in since shows there on Windows.
        System::Call '*(l, l, l, l, i, i) p .r4'
        System::Call 'kernel32::GetFileInformationByHandleEx(p r1, i 0, p r4, i 40)'
        System::Call '*$4(l, l, l, l, i .r2)'
        System::Free $4
        System::Call 'kernel32::GetFinalPathNameByHandleW(p r1, w .r3, i ${NSIS_MAX_STRLEN}, i 0) i .r4'
        ${If} $4 = 0
        ${OrIf} $4 >= ${NSIS_MAX_STRLEN}
        ${OrIf} $3 != $0
        ${OrIf} $2 & 0x400
            System::Call 'kernel32::CloseHandle(p r1)'  ; -1 is this process: closing it does nothing
            StrCpy $1 -1
        ${EndIf}
    ${Else}
        StrCpy $1 -1
    ${EndIf}
    Pop $4
    Pop $3
    StrCpy $0 $2
    Pop $2
    Exch $0
    Exch
    Exch $1
FunctionEnd

; Removes the entry at the final path PATH when it is of KINDS (1 a plain file, 2 a real folder), a
; folder once empty, after removing those of its entries whose names have FORM (below) as CHILD_KINDS
; (0: none), and all of theirs.
!macro RemoveOwn PATH KINDS FORM CHILD_KINDS
    Push `${PATH}`
    Push `${KINDS}`
    Push `${FORM}`
    Push `${CHILD_KINDS}`
    Call un.RemoveOwn
!macroend

Function un.RemoveOwn
    Exch $R3
    Exch
    Exch $R2
    Exch 2
    Exch $R1
    Exch 3
    Exch $R0
    Push $R4
    Push $R5
    Push $R6
    Push $R7
    Push $R8
    ; While its entries go the folder is held open for reading, shared for no deletion: it can be
    ; neither renamed nor replaced, and FindFirst (which under Wine shares no deletion) can list it.
    !insertmacro OpenOwn $R4 $R5 $R0 0x80 3
    ; 1 for a file, 2 for a folder
    IntOp $R6 $R5 >> 4
    IntOp $R6 $R6 & 1
    IntOp $R6 $R6 + 1
    ${If} $R4 P<> -1
    ${AndIf} $R6 & $R1
        ${If} $R6 = 2
        ${AndIf} $R3 <> 0
            FindFirst $R6 $R7 "$R0\*"
            ${DoWhile} $R7 != ""
                !insertmacro HasForm $R8 $R7 $R2
                ${If} $R8 = 1
                ${AndIf} $R7 != "."
                ${AndIf} $R7 != ".."
                    StrLen $R8 "$R0\$R7"
                    ${If} $R8 < 1023  ; else cut to the string size
                        !insertmacro RemoveOwn "$R0\$R7" $R3 "" 3
                    ${EndIf}
                ${EndIf}
                FindNext $R6 $R7
            ${Loop}
            FindClose $R6
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p R4)'
        ; Opened again, to be removed through the handle if it is still of that kind: fails for a
        ; folder that is not empty.
        !insertmacro OpenOwn $R4 $R8 $R0 ${OWN_ACCESS} 7
        IntOp $R5 $R5 ^ $R8
        ${If} $R4 P<> -1
        ${AndIfNot} $R5 & 0x10
            System::Call 'kernel32::SetFileInformationByHandle(p R4, i 4, *i 1, i 1) i .R6'
            ${If} $R6 = 0
            ${AndIf} $R8 & 1  ; read-only: cleared for the removal
                IntOp $R8 $R8 ^ 1
                ${IfThen} $R8 = 0 ${|} StrCpy $R8 0x80 ${|}
                System::Call '*(l 0, l 0, l 0, l 0, i R8, i 0) p .R6'
                System::Call 'kernel32::SetFileInformationByHandle(p R4, i 0, p R6, i 40)'
                System::Free $R6
                System::Call 'kernel32::SetFileInformationByHandle(p R4, i 4, *i 1, i 1)'
            ${EndIf}
        ${EndIf}
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p R4)'
    Pop $R8
    Pop $R7
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R0
    Pop $R3
    Pop $R2
    Pop $R1
FunctionEnd

Section "-un.Program"
    ExecWait '${REGSVR32} /u /i:user "$INSTDIR\JotbookLog.dll"'
    ; A component that could not be loaded to unregister itself: its keys go when they name this copy.
    ReadRegStr $0 HKCU "${LOG_CLASS_KEY}\InprocServer32" ""
    ${If} $0 == "$INSTDIR\JotbookLog.dll"
        DeleteRegKey HKCU "${LOG_CLASS_KEY}"
        DeleteRegKey HKCU "${LOG_PROGID_KEY}"
    ${EndIf}

    Delete "$INSTDIR\Tidyhold.exe"
    Delete "$INSTDIR\TidyholdCmd.exe"
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

; Only what Tidyhold itself wrote: the sets by their dated names, the log by its monthly files,
; config.xml when the installer put it in. Anything else the user put there stays, with its folders.
; Every path is a final path ("\\?\C:\..."): an entry counts only when it is no link and opening it
; gives the path meant. Under Wine a folder link shows the reparse attribute on its path alone, a file
; link none at all (its final path is the target's), and deleting either, even RemoveDirectoryW on a
; folder link, acts on the target: links stay, and with them the folders that hold them.
Section /o "un.Settings, log records and backup sets" UserData
    System::Call 'kernel32::CreateFileW(w "$INSTDIR", i 0x80, i 7, p 0, i 3, i 0x02000000, p 0) p .r1'
    System::Call 'kernel32::GetFinalPathNameByHandleW(p r1, w .r0, i ${NSIS_MAX_STRLEN}, i 0) i .r2'
    System::Call 'kernel32::CloseHandle(p r1)'
    ${If} $2 = 0
    ${OrIf} $2 >= ${NSIS_MAX_STRLEN}
        Return
    ${EndIf}
    ${If} $CreatedConfig == "$INSTDIR\config.xml"
        !insertmacro RemoveOwn "$0\config.xml" 1 "" 0
    ${EndIf}
    !insertmacro RemoveOwn "$0\Log\Data" 2 "####-##.log" 1
    !insertmacro RemoveOwn "$0\Log" 2 "" 0
    !insertmacro RemoveOwn "$0\Backup" 2 "####-##-##_##-##-##" 2
SectionEnd

Section "-un.Folder"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    ReadRegStr $CreatedConfig HKCU "${UNINSTALL_KEY}" "CreatedConfig"
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/REMOVEUSERDATA" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${UserData}
    ${EndIf}
FunctionEnd
