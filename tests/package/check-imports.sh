#!/usr/bin/env bash
# Checks that programs load on the oldest Windows their build supports: the machine type is the
# build's, the header's OS and subsystem versions are no newer than that Windows, every DLL they
# import ships with it, and no imported function came with a later Windows. Windows refuses to
# load a program that fails any of these before a single line of it runs.
# Usage: check-imports.sh <objdump> <xp|vista> <program>...
#   xp     32-bit programs for Windows XP SP3 and later (i386, version 5.1)
#   vista  64-bit programs for 64-bit Windows Vista and later (x86-64, version 6.0)
# Prints one line per fault and exits 1 when there is any.
set -euo pipefail
objdump="$1" oldest="$2"
shift 2

# DLLs every supported Windows has.
dlls='advapi32 comctl32 comdlg32 gdi32 kernel32 msvcrt ole32 oleaut32 shell32 shlwapi urlmon user32 version wininet'

# Functions a program of this kind might import that came after Windows Vista (7, 8, 8.1, 10).
newer_than_vista='
AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories
GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2 GetCurrentPackageFullName GetCurrentPackageId
K32EnumProcesses K32EnumProcessModules K32GetModuleBaseNameW K32GetModuleFileNameExW K32GetProcessImageFileNameW
WaitOnAddress WakeByAddressSingle WakeByAddressAll SetThreadDescription GetThreadDescription
PowerCreateRequest PowerSetRequest PowerClearRequest TryAcquireSRWLockExclusive TryAcquireSRWLockShared
InitializeSynchronizationBarrier EnterSynchronizationBarrier GetLogicalProcessorInformationEx
SetThreadGroupAffinity GetActiveProcessorCount GetMaximumProcessorCount
ChangeWindowMessageFilterEx GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi
SetThreadDpiAwarenessContext SetProcessDpiAwarenessContext AdjustWindowRectExForDpi
SystemParametersInfoForDpi EnableNonClientDpiScaling GetWindowDpiAwarenessContext
RegisterTouchWindow GetPointerInfo SetProcessDpiAwareness GetDpiForMonitor
SHGetPropertyStoreForWindow SetCurrentProcessExplicitAppUserModelID RegDeleteTreeA
RegSetKeyValueA RegLoadMUIStringW EventWriteTransfer
'

# Functions that came with Windows Vista, Server 2003 or XP x64 (none of which the 32-bit program
# may need), and the later ones above.
newer_than_xp="$newer_than_vista
GetTickCount64 GetErrorMode CancelIoEx CancelSynchronousIo
InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared
InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW WakeConditionVariable
WakeAllConditionVariable InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete InitOnceInitialize
InitializeCriticalSectionEx CreateEventExA CreateEventExW CreateMutexExA CreateMutexExW CreateSemaphoreExW
CreateWaitableTimerExW FlsAlloc FlsFree FlsGetValue FlsSetValue GetFinalPathNameByHandleA GetFinalPathNameByHandleW
GetFileInformationByHandleEx SetFileInformationByHandle OpenFileById CreateSymbolicLinkA CreateSymbolicLinkW
CreateHardLinkTransactedW QueryFullProcessImageNameA QueryFullProcessImageNameW GetProductInfo
GetLocaleInfoEx GetUserDefaultLocaleName LCMapStringEx CompareStringEx CompareStringOrdinal
GetNamedPipeClientProcessId Wow64GetThreadContext Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection
Wow64EnableWow64FsRedirection GetThreadId GetProcessId InterlockedCompareExchange64 InterlockedPushListSList
GetCurrentProcessorNumber GetNumaNodeProcessorMask QueryThreadCycleTime QueryIdleProcessorCycleTime
SetProcessDEPPolicy GetSystemDEPPolicy RegGetValueA RegGetValueW RegDeleteTreeW RegSetKeyValueW RegDeleteKeyExA
RegDeleteKeyExW RegDeleteKeyValueA RegDeleteKeyValueW RegCopyTreeW RegOpenKeyTransactedW
SetProcessDPIAware IsProcessDPIAware ChangeWindowMessageFilter ShutdownBlockReasonCreate ShutdownBlockReasonDestroy
SHGetKnownFolderPath SHGetKnownFolderIDList SHCreateItemFromParsingName SHGetStockIconInfo SHGetSetFolderCustomSettings
TaskDialog TaskDialogIndirect RmStartSession RmRegisterResources RmGetList RmEndSession
DwmIsCompositionEnabled DwmExtendFrameIntoClientArea
"

case "$oldest" in
xp) machine=i386 version=5.1 denied="$newer_than_xp" ;;
vista) machine=x86-64 version=6.0 denied="$newer_than_vista" ;;
*)
    echo "usage: check-imports.sh <objdump> <xp|vista> <program>..." >&2
    exit 2
    ;;
esac

status=0
fault() {
    echo "$1: $2" >&2
    status=1
}
newer() { # a.b c.d -> true when a.b is newer than c.d
    [ "$(printf '%s\n%s\n' "$1" "$2" | sort -t. -k1,1n -k2,2n | tail -1)" = "$1" ] && [ "$1" != "$2" ]
}

for program in "$@"; do
    name="$(basename "$program")"
    header="$("$objdump" -p "$program")"
    format="$("$objdump" -f "$program" | sed -n 's/.*file format pei-//p')"
    if [ "$format" != "$machine" ]; then
        fault "$name" "built for $format, not $machine"
    fi
    for field in OSystem Subsystem; do
        major="$(awk -v f="Major${field}Version" '$1 == f {print $2}' <<<"$header")"
        minor="$(awk -v f="Minor${field}Version" '$1 == f {print $2}' <<<"$header")"
        if newer "$major.$minor" "$version"; then
            fault "$name" "needs Windows $major.$minor ($field version), newer than $version"
        fi
    done
    # The import table: "DLL Name: X" heads each DLL, then one line per function (hint, name).
    imports="$(awk '/DLL Name:/ {dll = tolower($3)} /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ {print dll, $3}' <<<"$header")"
    if [ -z "$imports" ]; then
        fault "$name" "no imports found (is this a program?)"
    fi
    while read -r dll; do
        if ! grep -qw -- "${dll%.dll}" <<<"$dlls"; then
            fault "$name" "imports $dll, which Windows $version may lack"
        fi
    done < <(awk '{print $1}' <<<"$imports" | sort -u)
    while read -r dll function; do
        if grep -qw -- "$function" <<<"$denied"; then
            fault "$name" "imports $function from $dll, newer than Windows $version"
        fi
    done <<<"$imports"
done
if [ "$status" = 0 ]; then
    echo "$# programs load on Windows $version ($machine): imports checked"
fi
exit "$status"
