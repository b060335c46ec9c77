; Quorvale's setup program: Quorvale-<version>-win32-setup.exe or -win64-setup.exe, made by makensis
; from the files staged for the release zip. The build defines:
;   VERSION       the program's version ("3.5")
;   BITS          32 or 64: which programs are staged, and the installer's own kind
;   STAGE         the staged folder (Quorvale.exe, SellwickService.exe, help.chm, Options.ini, Plug-ins)
;   SAMPLES       a file of "!insertmacro QV_SAMPLE_PLUGIN <name>" lines, one per sample plug-in
;   ICON          the program's icon
;   OUTFILE       the setup program to write
;
; Exit codes (also in the README and the help):
;   0     installed (or removed)
;   1     cancelled by the user
;   2     an unknown switch; nothing was changed
;   3     Quorvale is running and did not close; nothing was changed
;   4     the folder cannot be used: /D= names a file, or the folder cannot be created; nothing was changed
;   3010  removed, but a file that was in use is deleted when Windows restarts

Unicode true
!if ${BITS} == 64
    Target amd64-unicode
!else
    Target x86-unicode
!endif
SetCompressor /SOLID lzma
; No file times in the setup program: the same files make the same bytes.
SetDateSave off
ManifestDPIAware true

!define PRODUCT "Quorvale"
!define PUBLISHER "Quorvale"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvale"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define PROGRAM_KEY "Software\Quorvale"
; The main window's class and the single-instance mutex, as the program names them.
!define MAIN_WINDOW_CLASS "TFrmMain"
!define SINGLE_INSTANCE_MUTEX "LDF_Quorvale"
; How long a running Quorvale is given to close: a run under way finishes its file first.
!define CLOSE_WAIT_TENTHS 600

!define EXIT_CANCELLED 1
!define EXIT_UNKNOWN_SWITCH 2
!define EXIT_STILL_RUNNING 3
!define EXIT_BAD_FOLDER 4
!define EXIT_RESTART_NEEDED 3010

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; The setup program and its uninstaller are signed as they are made, when a certificate is given
; (scripts/sign.sh does nothing without one).
!ifdef SIGN
    !finalize 'bash "${SIGN}" "%1"'
    !uninstfinalize 'bash "${SIGN}" "%1"'
!endif
BrandingText "${PRODUCT} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Quorvale"
; An upgrade goes where the installed copy is, wherever /D= put it.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_NOUNINSTALL
!if ${BITS} == 64
    !define MULTIUSER_USE_PROGRAMFILES64
!endif
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include TextFunc.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 Quorvale"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT} ${VERSION}, the privacy eraser, on this computer.$\r$\n$\r$\nIf ${PRODUCT} is running, Setup asks it to close; a run under way stops after the file it is on. Your Options.ini and your plug-ins are kept.$\r$\n$\r$\nClick Next to continue."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Quorvale.exe"
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.SettingsPageCreate un.SettingsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

Var InstallFolderFromSwitch
Var RemoveSettings
Var RemoveSettingsBox

; --- Shared by the setup program and the uninstaller ---------------------------------------------

; Sets $R0 to the first word of $R1 (the switches, the folder switch already cut off) that is not
; one of the switches in $R2 (words between spaces, each with a space either side: " /S /NCRC "),
; or "" when every word is known. "/S" is known only in capitals, as Windows' NSIS reads it.
!macro QV_FIND_UNKNOWN_SWITCH UN
Function ${UN}FindUnknownSwitch
    Push $0
    Push $1
    Push $2
    StrCpy $R0 ""
    StrCpy $0 0
    StrCpy $2 ""
    ${Do}
        StrCpy $1 $R1 1 $0
        ${If} $1 == " "
        ${OrIf} $1 == ""
            ${If} $2 != ""
                ${If} $2 S== "/S"
                    ; known
                ${ElseIf} $2 == "/s"
                    StrCpy $R0 $2
                ${Else}
                    Push $R2
                    Push " $2 "
                    Call ${UN}ContainsText
                    Pop $3
                    ${If} $3 == 0
                        StrCpy $R0 $2
                    ${EndIf}
                ${EndIf}
            ${EndIf}
            ${If} $R0 != ""
            ${OrIf} $1 == ""
                ${ExitDo}
            ${EndIf}
            StrCpy $2 ""
        ${Else}
            StrCpy $2 "$2$1"
        ${EndIf}
        IntOp $0 $0 + 1
    ${Loop}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; Pushes 1 when the text on top of the stack is found (case ignored) in the one below it, else 0.
Function ${UN}ContainsText
    Exch $0 ; needle
    Exch
    Exch $1 ; haystack
    Push $2
    Push $3
    Push $4
    StrLen $2 $0
    StrCpy $3 0
    StrCpy $4 0
    ${Do}
        StrCpy $R3 $1 $2 $3
        ${If} $R3 == ""
            ${ExitDo}
        ${EndIf}
        ${If} $R3 == $0
            StrCpy $4 1
            ${ExitDo}
        ${EndIf}
        IntOp $3 $3 + 1
    ${Loop}
    StrCpy $0 $4
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd

; Cuts the text in $R1 at the first occurrence of the switch in $R2 (case kept: NSIS reads "/D=" and
; "_?=" only so), which Windows' NSIS requires to be the last on the line; sets $R4 to what follows
; the switch, or "" when it is not there.
Function ${UN}CutAtFolderSwitch
    Push $0
    Push $1
    Push $2
    StrLen $1 $R2
    StrCpy $0 0
    StrCpy $R4 ""
    ${Do}
        StrCpy $2 $R1 $1 $0
        ${If} $2 == ""
            ${ExitDo}
        ${EndIf}
        ${If} $2 S== $R2
            IntOp $2 $0 + $1
            StrCpy $R4 $R1 "" $2
            StrCpy $R1 $R1 $0
            ${ExitDo}
        ${EndIf}
        IntOp $0 $0 + 1
    ${Loop}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; Asks a running Quorvale to close, as its close button would (a run under way stops after the
; file it is on), and waits for its single-instance mutex to go. Never ends it by force. Sets $R0
; to 0 when no Quorvale runs any more, 1 when it is still running after the wait.
Function ${UN}CloseQuorvale
    Push $0
    Push $1
    FindWindow $0 "${MAIN_WINDOW_CLASS}" ""
    ${If} $0 <> 0
        SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    ${EndIf}
    StrCpy $1 0
    StrCpy $R0 1
    ${Do}
        ; SYNCHRONIZE access is enough to see whether the mutex still exists.
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${SINGLE_INSTANCE_MUTEX}") p.r0'
        ${If} $0 P= 0
            StrCpy $R0 0
            ${ExitDo}
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        ${If} $1 >= ${CLOSE_WAIT_TENTHS}
            ${ExitDo}
        ${EndIf}
        Sleep 100
        IntOp $1 $1 + 1
    ${Loop}
    Pop $1
    Pop $0
FunctionEnd

; Closes Quorvale before files are changed. Interactive: Retry or Cancel while it stays open;
; silent, or cancelled: ends with EXIT_STILL_RUNNING, nothing changed.
Function ${UN}CloseQuorvaleOrQuit
    ${Do}
        DetailPrint "Asking Quorvale to close..."
        Call ${UN}CloseQuorvale
        ${If} $R0 == 0
            ${ExitDo}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Quorvale is still running. Close it (a run under way finishes first), then click Retry." /SD IDCANCEL IDRETRY again
        SetErrorLevel ${EXIT_STILL_RUNNING}
        Quit
        again:
    ${Loop}
FunctionEnd

; Stops and removes the form-data service with the program's own service program, if it is there.
Function ${UN}RemoveService
    ${If} ${FileExists} "$INSTDIR\SellwickService.exe"
        DetailPrint "Removing the form-data service..."
        ExecWait '"$INSTDIR\SellwickService.exe" /UNINSTALL /SILENT'
    ${EndIf}
FunctionEnd
!macroend
!insertmacro QV_FIND_UNKNOWN_SWITCH ""
!insertmacro QV_FIND_UNKNOWN_SWITCH "un."

; --- Setup ---------------------------------------------------------------------------------------

; Sets $R0 to why the folder in $INSTDIR cannot be installed to, or "" when it can. The folders it
; creates to find out are removed again (only empty ones it made), so nothing is changed.
Function CheckInstallFolder
    Push $0
    Push $1
    StrCpy $R0 ""
    ${If} ${FileExists} "$INSTDIR"
    ${AndIfNot} ${FileExists} "$INSTDIR\*.*"
        StrCpy $R0 "$INSTDIR is a file, not a folder."
    ${ElseIfNot} ${FileExists} "$INSTDIR\*.*"
        ; The nearest folder above it that exists; everything below it is made here and undone.
        StrCpy $0 "$INSTDIR"
        ${Do}
            ${GetParent} $0 $0
            ${If} $0 == ""
            ${OrIf} ${FileExists} "$0\*.*"
                ${ExitDo}
            ${EndIf}
        ${Loop}
        ClearErrors
        CreateDirectory "$INSTDIR"
        ${If} ${Errors}
        ${OrIfNot} ${FileExists} "$INSTDIR\*.*"
            StrCpy $R0 "The folder $INSTDIR cannot be created."
        ${EndIf}
        StrCpy $1 "$INSTDIR"
        ${Do}
            ${If} $1 == $0
            ${OrIf} $1 == ""
                ${ExitDo}
            ${EndIf}
            RMDir $1
            ${GetParent} $1 $1
        ${Loop}
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd

; Sets $R1 to the switches of the command line as Windows gave it, after the program's name, with a
; space in front. NSIS's own copy ($CMDLINE) has lost "/D=", and with it a folder NSIS found invalid.
Function ProgramSwitches
    Push $0
    Push $1
    System::Call 'kernel32::GetCommandLineW() w.R1'
    StrCpy $0 $R1 1
    StrCpy $1 1
    ${If} $0 == '"'
        ${Do}
            StrCpy $0 $R1 1 $1
            IntOp $1 $1 + 1
            ${If} $0 == '"'
            ${OrIf} $0 == ""
                ${ExitDo}
            ${EndIf}
        ${Loop}
    ${Else}
        ${Do}
            StrCpy $0 $R1 1 $1
            ${If} $0 == " "
            ${OrIf} $0 == ""
                ${ExitDo}
            ${EndIf}
            IntOp $1 $1 + 1
        ${Loop}
    ${EndIf}
    StrCpy $R1 $R1 "" $1
    StrCpy $R1 " $R1"
    Pop $1
    Pop $0
FunctionEnd

Function .onInit
    ; The folder of /D= is taken from the command line as written: NSIS itself drops a folder it
    ; finds invalid (a file, say), and the install mode below would replace it anyway.
    Call ProgramSwitches
    StrCpy $R2 " /D="
    Call CutAtFolderSwitch
    StrCpy $InstallFolderFromSwitch $R4
    StrCpy $R2 " /S /NCRC /CurrentUser /AllUsers "
    Call FindUnknownSwitch
    ${If} $R0 != ""
        MessageBox MB_OK|MB_ICONSTOP "Unknown switch: $R0$\r$\n$\r$\nSetup knows /S (silent), /AllUsers, /CurrentUser and /D=<folder> (last on the line). Nothing was changed." /SD IDOK
        SetErrorLevel ${EXIT_UNKNOWN_SWITCH}
        Quit
    ${EndIf}
    !insertmacro MULTIUSER_INIT
    ${If} $InstallFolderFromSwitch != ""
        StrCpy $INSTDIR $InstallFolderFromSwitch
    ${EndIf}
    ${If} ${Silent}
        Call CheckInstallFolder
        ${If} $R0 != ""
            SetErrorLevel ${EXIT_BAD_FOLDER}
            Quit
        ${EndIf}
    ${EndIf}
FunctionEnd

Function DirectoryLeave
    Call CheckInstallFolder
    ${If} $R0 != ""
        MessageBox MB_OK|MB_ICONSTOP "$R0$\r$\n$\r$\nChoose another folder."
        Abort
    ${EndIf}
FunctionEnd

; Sets $R1 to the "Selected=" line of the plug-in file on the stack (without its line end), or "".
Function ReadSelectedLine
    Exch $0
    Push $1
    Push $2
    StrCpy $R1 ""
    ClearErrors
    FileOpen $1 $0 r
    ${IfNot} ${Errors}
        ${Do}
            FileRead $1 $2
            ${If} ${Errors}
                ${ExitDo}
            ${EndIf}
            ${If} $2 != ""
                StrCpy $R1 $2 9
                ${If} $R1 == "Selected="
                    ${TrimNewLines} $2 $R1
                    ${ExitDo}
                ${EndIf}
                StrCpy $R1 ""
            ${EndIf}
        ${Loop}
        FileClose $1
    ${EndIf}
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; Puts the line in $R1 in place of the "Selected=" line of the plug-in file on the stack; every
; other line is kept byte for byte.
Function WriteSelectedLine
    Exch $0
    Push $1
    Push $2
    Push $3
    Push $4
    FileOpen $1 $0 r
    FileOpen $2 "$0.new" w
    ${Do}
        ClearErrors
        FileRead $1 $3
        ${If} ${Errors}
            ${ExitDo}
        ${EndIf}
        StrCpy $4 $3 9
        ${If} $4 == "Selected="
            FileWrite $2 "$R1$\r$\n"
        ${Else}
            FileWrite $2 $3
        ${EndIf}
    ${Loop}
    FileClose $2
    FileClose $1
    Delete $0
    Rename "$0.new" $0
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; A sample plug-in: the new file in place of the old, with the user's choice of it carried over.
!macro QV_INSTALL_SAMPLE NAME
    StrCpy $R1 ""
    ${If} ${FileExists} "$INSTDIR\Plug-ins\${NAME}"
        Push "$INSTDIR\Plug-ins\${NAME}"
        Call ReadSelectedLine
    ${EndIf}
    File "${STAGE}\Plug-ins\${NAME}"
    ${If} $R1 != ""
        Push "$INSTDIR\Plug-ins\${NAME}"
        Call WriteSelectedLine
    ${EndIf}
!macroend

!macro QV_REMOVE_SAMPLE NAME
    Delete /REBOOTOK "$INSTDIR\Plug-ins\${NAME}"
!macroend

!macro QV_SAMPLE_PLUGIN NAME
    !insertmacro ${QV_SAMPLE_ACTION} "${NAME}"
!macroend

Section "Quorvale" SecProgram
    SectionIn RO
    Call CloseQuorvaleOrQuit
    Call RemoveService

    SetOutPath "$INSTDIR"
    File "${STAGE}\Quorvale.exe"
    File "${STAGE}\SellwickService.exe"
    File "${STAGE}\help.chm"
    ; The user's settings are never replaced; a first install gets the shipped ones.
    SetOverwrite off
    File "${STAGE}\Options.ini"
    SetOverwrite on

    SetOutPath "$INSTDIR\Plug-ins"
    !define QV_SAMPLE_ACTION QV_INSTALL_SAMPLE
    !include "${SAMPLES}"
    !undef QV_SAMPLE_ACTION
    SetOutPath "$INSTDIR"

    WriteUninstaller "$INSTDIR\Uninstall.exe"

    ; SHCTX is HKLM for all users, HKCU for the current user (MultiUser.nsh chose it).
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\Quorvale.exe",0'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
    SectionGetSize ${SecProgram} $0
    WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0

    CreateShortCut "$SMPROGRAMS\Quorvale.lnk" "$INSTDIR\Quorvale.exe"

    ${If} $MultiUser.InstallMode == "AllUsers"
        DetailPrint "Installing the form-data service..."
        ExecWait '"$INSTDIR\SellwickService.exe" /INSTALL /SILENT' $0
        ${If} $0 != 0
            DetailPrint "The form-data service was not installed (error $0)."
        ${EndIf}
    ${EndIf}
SectionEnd

; --- Uninstaller ---------------------------------------------------------------------------------

Function un.onInit
    ${GetParameters} $R1
    StrCpy $R1 " $R1"
    StrCpy $R2 " _?="
    Call un.CutAtFolderSwitch
    StrCpy $R2 " /S /NCRC /REMOVESETTINGS "
    Call un.FindUnknownSwitch
    ${If} $R0 != ""
        MessageBox MB_OK|MB_ICONSTOP "Unknown switch: $R0$\r$\n$\r$\nThe uninstaller knows /S (silent) and /REMOVESETTINGS. Nothing was changed." /SD IDOK
        SetErrorLevel ${EXIT_UNKNOWN_SWITCH}
        Quit
    ${EndIf}
    StrCpy $RemoveSettings 0
    Push "$R1 "
    Push " /REMOVESETTINGS "
    Call un.ContainsText
    Pop $0
    ${If} $0 == 1
        StrCpy $RemoveSettings 1
    ${EndIf}
    ; All users when the machine's entry names this folder; otherwise the current user's install.
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == $INSTDIR
        SetShellVarContext all
    ${Else}
        SetShellVarContext current
    ${EndIf}
FunctionEnd

Function un.SettingsPageCreate
    !insertmacro MUI_HEADER_TEXT "Uninstall ${PRODUCT}" "Remove ${PRODUCT} from this computer."
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 36u "${PRODUCT} will be removed from $INSTDIR. Your Options.ini and your plug-ins are kept unless you tick the box below; files you added to the folder are always kept."
    Pop $0
    ${NSD_CreateCheckbox} 0 44u 100% 12u "Remove my settings (Options.ini and the sample plug-ins)"
    Pop $RemoveSettingsBox
    ${If} $RemoveSettings == 1
        ${NSD_Check} $RemoveSettingsBox
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function un.SettingsPageLeave
    ${NSD_GetState} $RemoveSettingsBox $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $RemoveSettings 1
    ${Else}
        StrCpy $RemoveSettings 0
    ${EndIf}
FunctionEnd

; Deletes a value or key in both registry views (on 32-bit Windows both are the one view).
!macro QV_DELETE_VALUE_BOTH_VIEWS ROOT KEY NAME
    SetRegView 32
    DeleteRegValue ${ROOT} "${KEY}" "${NAME}"
    SetRegView 64
    DeleteRegValue ${ROOT} "${KEY}" "${NAME}"
    SetRegView default
!macroend

!macro QV_DELETE_KEY_BOTH_VIEWS ROOT KEY
    SetRegView 32
    DeleteRegKey ${ROOT} "${KEY}"
    SetRegView 64
    DeleteRegKey ${ROOT} "${KEY}"
    SetRegView default
!macroend

Section "Uninstall"
    Call un.CloseQuorvaleOrQuit
    Call un.RemoveService

    ; The program's own traces: its start-with-Windows value, for all users and for this user, and
    ; the key the form-data service reads.
    !insertmacro QV_DELETE_VALUE_BOTH_VIEWS HKLM "${RUN_KEY}" "Quorvale"
    !insertmacro QV_DELETE_VALUE_BOTH_VIEWS HKCU "${RUN_KEY}" "Quorvale"
    !insertmacro QV_DELETE_KEY_BOTH_VIEWS HKLM "${PROGRAM_KEY}"

    ; Only the files Setup put here, never the folder as a whole: it may hold the user's own files.
    Delete /REBOOTOK "$INSTDIR\Quorvale.exe"
    Delete /REBOOTOK "$INSTDIR\SellwickService.exe"
    Delete /REBOOTOK "$INSTDIR\help.chm"
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    ${If} $RemoveSettings == 1
        Delete /REBOOTOK "$INSTDIR\Options.ini"
        !define QV_SAMPLE_ACTION QV_REMOVE_SAMPLE
        !include "${SAMPLES}"
        !undef QV_SAMPLE_ACTION
    ${EndIf}
    Delete "$SMPROGRAMS\Quorvale.lnk"
    DeleteRegKey SHCTX "${UNINSTALL_KEY}"

    ; Folders go only when empty.
    RMDir "$INSTDIR\Plug-ins"
    ${If} ${RebootFlag}
        RMDir /REBOOTOK "$INSTDIR"
        SetErrorLevel ${EXIT_RESTART_NEEDED}
    ${Else}
        RMDir "$INSTDIR"
    ${EndIf}
SectionEnd
