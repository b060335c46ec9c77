#!/usr/bin/env bash
# The setup program under Wine: install for all users and for the current user, upgrade over a copy
# the user has changed, closing a running Quorvale (a run under way is never cut off mid-file),
# the uninstaller, and bad input. Each case runs in a fresh prefix of its own, copied from one
# booted here, inside the build folder.
# usage: check-installer.sh <setup program> <staged release folder> <arch: i686|x86_64> <version>
set -euo pipefail
installer="$1" stage="$2" arch="$3" version="$4"
here="$(cd "$(dirname "$0")" && pwd)"
# shellcheck source=../../scripts/lib/wine-env.sh
source "$here/../../scripts/lib/wine-env.sh"

work="$(qv_build_dir "$arch")/installer-test"
rm -rf "$work"
mkdir -p "$work"
if [ "$arch" = x86_64 ]; then
    view=64
    program_files='C:\Program Files'
else
    view=32
    program_files='C:\Program Files (x86)'
fi
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvale'
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
service_key='HKLM\System\CurrentControlSet\Services\SellwynService'

failures=0
case_name=""
fail() {
    echo "FAIL [$case_name]: $*" >&2
    failures=$((failures + 1))
}
begin() {
    case_name="$1"
    echo "== $case_name (at ${SECONDS}s)"
}

export QV_PRIVATE_DISPLAY=1
# The prefixes (hundreds of megabytes each) go when the test ends; the registry exports stay.
trap 'wine_env_stop; rm -rf "$work"/template "$work"/template-xdg "${case_prefix:-}"' EXIT
wine_env_start "$arch" installer-test/template fresh >/dev/null
template="$WINEPREFIX"
case_prefix=""

# A fresh prefix for one case: a copy of the booted one, with its own server. The previous case's
# prefix is removed.
fresh_prefix() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    [ -z "$case_prefix" ] || rm -rf "$case_prefix"
    case_prefix="$work/$1"
    export WINEPREFIX="$case_prefix"
    rm -rf "$WINEPREFIX"
    cp -a "$template" "$WINEPREFIX"
    wineserver -p
}

# The Unix path of a Windows path in the current prefix.
unix_path() { winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# Runs a Windows program and prints its exit code.
exit_code() {
    local status=0
    wine "$@" >/dev/null 2>&1 </dev/null || status=$?
    echo "$status"
}

# The data of a registry value in the program's view, or nothing (and failure) when it is missing.
reg_value() { # key name [view]
    local out
    out="$(wine reg query "$1" /v "$2" "/reg:${3:-$view}" 2>/dev/null | tr -d '\r')" || return 1
    awk -v name="$2" 'index($0, "    " name "    ") == 1 {
        sub(/^    [^ ].*    REG_[A-Z_]+    /, ""); print; found = 1 } END { exit !found }' <<<"$out"
}
reg_key_exists() { wine reg query "$1" "/reg:${2:-$view}" >/dev/null 2>&1; }

# Waits for a state, with a generous bound so that a broken case ends: wait_for <tenths> <command...>
wait_for() {
    local tenths="$1"
    shift
    local i
    for ((i = 0; i < tenths; i++)); do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

install_dir="$program_files\\Quorvale"
silent_install() { exit_code "$installer" /S "$@"; }
# The uninstaller as Windows' own copy-and-wait runs it: from a copy elsewhere, with _?= naming the
# folder, so that the exit code is its own and the original can be deleted.
silent_uninstall() { # folder [switches...]
    local folder="$1"
    shift
    local copy="$WINEPREFIX/drive_c/uninstaller-copy"
    mkdir -p "$copy"
    cp "$(unix_path "$folder\\Uninstall.exe")" "$copy/Uninstall.exe"
    # Through a batch file: Wine would put quotes around "_?=<folder with spaces>", which NSIS
    # reads only bare, as Windows' own copy-and-wait writes it.
    printf '@"C:\\uninstaller-copy\\Uninstall.exe" /S %s _?=%s\r\n@exit /b %%errorlevel%%\r\n' "$*" "$folder" >"$copy/run.bat"
    exit_code cmd /c 'C:\uninstaller-copy\run.bat'
}

# Every file of the staged release is installed as built, and nothing else but the uninstaller.
check_installed_files() { # unix folder
    local folder="$1" name
    while IFS= read -r name; do
        cmp -s "$stage/$name" "$folder/$name" || fail "$name is not the built one"
    done < <(cd "$stage" && find . -type f | sed 's|^\./||' | sort)
    local expected actual
    expected="$( (cd "$stage" && find . -type f | sed 's|^\./||'; echo Uninstall.exe) | sort)"
    actual="$(cd "$folder" && find . -type f | sed 's|^\./||' | sort)"
    [ "$expected" = "$actual" ] || fail "installed files differ from the release: $(diff <(echo "$expected") <(echo "$actual") | tr '\n' ' ')"
}

check_entry() { # root folder
    local key="$1\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvale" folder="$2" name
    for name in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation UninstallString \
        QuietUninstallString EstimatedSize NoModify NoRepair; do
        reg_value "$key" "$name" >/dev/null || fail "the Add/Remove entry has no $name"
    done
    [ "$(reg_value "$key" DisplayVersion)" = "$version" ] || fail "DisplayVersion is not $version"
    [ "$(reg_value "$key" InstallLocation)" = "$folder" ] || fail "InstallLocation is not $folder"
    [ "$(reg_value "$key" QuietUninstallString)" = "\"$folder\\Uninstall.exe\" /S" ] ||
        fail "QuietUninstallString is '$(reg_value "$key" QuietUninstallString)'"
    [ "$(reg_value "$key" NoModify)" = 0x1 ] || fail "NoModify is not 1"
}

quorvale_window() { xdotool search --onlyvisible --name '^Quorvale' >/dev/null 2>&1; }

# --- Install for all users ------------------------------------------------------------------------
case_all_users() {
    begin "silent install for all users"
    fresh_prefix all-users
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "exit code $code"
    folder="$(unix_path "$install_dir")"
    check_installed_files "$folder"
    check_entry HKLM "$install_dir"
    image="$(reg_value "$service_key" ImagePath || true)"
    [ "$image" = "\"$install_dir\\SellwickService.exe\"" ] || fail "the service's path is '$image'"
    wine uninstaller --list 2>/dev/null | tr -d '\r' | grep -q "Quorvale" || fail "uninstaller --list does not show Quorvale"
    code="$(exit_code "$install_dir\\Quorvale.exe" /preview 'C:\preview.txt')"
    [ "$code" = 0 ] || fail "Quorvale.exe /preview from the install folder ended with $code"
    [ -s "$WINEPREFIX/drive_c/preview.txt" ] || fail "the preview wrote nothing"
    for v in 32 64; do
        ! reg_value "HKLM\\$run_key" Quorvale "$v" >/dev/null || fail "setup wrote a Run value (HKLM, view $v)"
    done
    ! reg_value "HKCU\\$run_key" Quorvale >/dev/null || fail "setup wrote a Run value (HKCU)"
    [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvale.lnk" ] ||
        fail "no Start-menu shortcut"
    ! find "$WINEPREFIX/drive_c/users" -path '*Desktop*' -name 'Quorvale*' | grep -q . || fail "a desktop shortcut"

}

# --- Upgrade keeps the user's settings ------------------------------------------------------------
case_upgrade() {
    begin "upgrade over a changed copy"
    fresh_prefix upgrade
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "first install: exit code $code"
    folder="$(unix_path "$install_dir")"
    printf '[InstallerTest]\r\nAddedKey=kept\r\n' >>"$folder/Options.ini"
    cp "$folder/Options.ini" "$work/options-before"
    # The user ticked the sample, which was older: a line the new one no longer has.
    perl -pi -e 's/^Selected=0\r$/Selected=1\r/; $_ .= "; a line of the older sample\r\n" if eof' "$folder/Plug-ins/$sample"
    printf '[Information]\r\nDescription=Mine\r\nSelected=1\r\n[Method]\r\nDelFiles=C:\\mine.txt\r\n' >"$folder/Plug-ins/Mine.qv"
    cp "$folder/Plug-ins/Mine.qv" "$work/mine-before"
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "upgrade: exit code $code"
    cmp -s "$work/options-before" "$folder/Options.ini" || fail "Options.ini was changed"
    perl -pe 's/^Selected=0\r$/Selected=1\r/' "$stage/Plug-ins/$sample" >"$work/sample-expected"
    cmp -s "$work/sample-expected" "$folder/Plug-ins/$sample" ||
        fail "$sample is not the new sample with the user's Selected=1: $(diff "$work/sample-expected" "$folder/Plug-ins/$sample" | head -5 | tr '\n' ' ')"
    cmp -s "$work/mine-before" "$folder/Plug-ins/Mine.qv" || fail "the user's own plug-in was changed"
    for other in "$stage/Plug-ins/"*.qv; do
        name="$(basename "$other")"
        [ "$name" = "$sample" ] || cmp -s "$other" "$folder/Plug-ins/$name" || fail "$name is not the new sample"
    done

    # An upgrade without /D= goes where the installed copy is.
    elsewhere='C:\Tools\Quorvale'
    code="$(silent_install "/D=$elsewhere")"
    [ "$code" = 0 ] || fail "install into $elsewhere: exit code $code"
    printf '[InstallerTest]\r\nAddedKey=elsewhere\r\n' >>"$(unix_path "$elsewhere")/Options.ini"
    cp "$(unix_path "$elsewhere")/Options.ini" "$work/options-elsewhere"
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "upgrade of $elsewhere: exit code $code"
    [ "$(reg_value "$uninstall_key" InstallLocation)" = "$elsewhere" ] || fail "the upgrade did not stay in $elsewhere"
    cmp -s "$work/options-elsewhere" "$(unix_path "$elsewhere")/Options.ini" || fail "Options.ini in $elsewhere was changed"

}

# --- A running Quorvale is closed, and a run under way finishes its file ---------------------------

case_running() {
    begin "a running Quorvale during install and uninstall"
    fresh_prefix running
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "first install: exit code $code"
    wine "$install_dir\\Quorvale.exe" >/dev/null 2>&1 </dev/null &
    quorvale=$!
    wait_for 600 quorvale_window || fail "Quorvale's window did not appear"
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "install over a running Quorvale: exit code $code"
    if kill -0 "$quorvale" 2>/dev/null; then
        fail "Quorvale still runs after setup"
        kill "$quorvale"
    fi
    status=0
    wait "$quorvale" || status=$?
    [ "$status" = 0 ] || fail "Quorvale ended with $status, not by its own close"

    wine "$install_dir\\Quorvale.exe" >/dev/null 2>&1 </dev/null &
    quorvale=$!
    wait_for 600 quorvale_window || fail "Quorvale's window did not appear"
    code="$(silent_uninstall "$install_dir")"
    [ "$code" = 0 ] || fail "uninstall with Quorvale running: exit code $code"
    kill -0 "$quorvale" 2>/dev/null && fail "Quorvale still runs after the uninstaller" && kill "$quorvale"
    wait "$quorvale" || true
    [ ! -e "$(unix_path "$install_dir")/Quorvale.exe" ] || fail "Quorvale.exe was left"
}

case_run_under_way() {
    begin "a run under way when setup closes Quorvale"
    fresh_prefix run-under-way
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "install: exit code $code"
    folder="$(unix_path "$install_dir")"
    data="$WINEPREFIX/drive_c/BigRun"
    mkdir -p "$data"
    # Files of one repeated byte, wiped with one random pass: a file cut off mid-pass holds both.
    for i in $(seq -w 1 12); do
        head -c $((64 * 1024 * 1024)) /dev/zero | tr '\0' 'Q' >"$data/file$i.dat"
    done
    perl -pi -e 's/^\[Miscellaneous\]\r$/[Miscellaneous]\r\nSecurityLevel=Random\r\nRandomRepeatedTime=1\r/' "$folder/Options.ini"
    grep -q '^SecurityLevel=Random' "$folder/Options.ini" || fail "the test could not choose the wipe method"
    printf '[Information]\r\nDescription=Big run\r\nSelected=1\r\n[Method]\r\nDelFolder=C:\\BigRun\\*.*\r\n' \
        >"$folder/Plug-ins/BigRun.qv"
    wine "$install_dir\\Quorvale.exe" /erase >/dev/null 2>&1 </dev/null &
    quorvale=$!
    head -c 4096 "$data/file01.dat" >"$work/original-block"
    # Under way: some file has been written to (or is gone already).
    run_started() {
        local f
        for f in $(seq -w 1 12); do
            cmp -s -n 4096 "$work/original-block" "$data/file$f.dat" || return 0
        done
        return 1
    }
    wait_for 1800 run_started || fail "the run did not start"
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "install during a run: exit code $code"
    kill -0 "$quorvale" 2>/dev/null && fail "Quorvale still runs after setup" && kill "$quorvale"
    wait "$quorvale" || true
    python3 - "$data" <<'EOF' || fail "a file was cut off mid-pass"
import os, sys
folder = sys.argv[1]
marker = b"Q" * 4096
left = sorted(os.listdir(folder))
for name in left:
    data = open(os.path.join(folder, name), "rb").read()
    blocks = [data[i:i + 4096] for i in range(0, len(data), 4096)]
    originals = sum(1 for b in blocks if b == marker)
    if originals not in (0, len(blocks)):
        print(f"{name}: {originals} of {len(blocks)} blocks still hold the original bytes")
        sys.exit(1)
EOF
    remaining="$(find "$data" -name '*.dat' | wc -l)"
    [ "$remaining" -gt 0 ] || fail "the run was not stopped: every file is gone"
    echo "   files left when the run stopped: $remaining of 12"
}

# --- Uninstall ---------------------------------------------------------------------------------------
case_uninstall() {
    begin "silent uninstall"
    fresh_prefix uninstall
    # The Run key exists in both views on Windows; Wine makes only the 64-bit one.
    wine reg add "HKLM\\$run_key" /f /reg:32 >/dev/null 2>&1
    wine regedit /E "$work/before.reg" >/dev/null 2>&1
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "install: exit code $code"
    folder="$(unix_path "$install_dir")"
    # What the program itself writes: its start-with-Windows value and the service's key.
    for v in 32 64; do
        wine reg add "HKLM\\$run_key" /v Quorvale /d '"x"' /f "/reg:$v" >/dev/null 2>&1
        wine reg add 'HKLM\Software\Quorvale' /v Sid /d S-1-5 /f "/reg:$v" >/dev/null 2>&1
    done
    wine reg add "HKCU\\$run_key" /v Quorvale /d '"x"' /f >/dev/null 2>&1
    reg_value "HKLM\\$run_key" Quorvale 32 >/dev/null || fail "the test could not write the 32-bit Run value"
    printf 'mine\r\n' >"$folder/my notes.txt"
    code="$(silent_uninstall "$install_dir")"
    [ "$code" = 0 ] || fail "exit code $code"
    ! reg_key_exists "$service_key" || fail "the service is still registered"
    ! reg_key_exists "$uninstall_key" || fail "the Add/Remove entry is still there"
    for v in 32 64; do
        ! reg_value "HKLM\\$run_key" Quorvale "$v" >/dev/null || fail "the HKLM Run value is left (view $v)"
        ! reg_key_exists 'HKLM\Software\Quorvale' "$v" || fail "HKLM\\Software\\Quorvale is left (view $v)"
    done
    ! reg_value "HKCU\\$run_key" Quorvale >/dev/null || fail "the HKCU Run value is left"
    for name in Quorvale.exe SellwickService.exe help.chm Uninstall.exe; do
        [ ! -e "$folder/$name" ] || fail "$name is left"
    done
    [ -f "$folder/Options.ini" ] || fail "Options.ini was removed without /REMOVESETTINGS"
    [ -f "$folder/Plug-ins/$sample" ] || fail "the plug-ins were removed without /REMOVESETTINGS"
    [ -f "$folder/my notes.txt" ] || fail "the user's file was removed"
    [ ! -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Quorvale.lnk" ] ||
        fail "the Start-menu shortcut is left"

    code="$(silent_install)"
    [ "$code" = 0 ] || fail "second install: exit code $code"
    code="$(silent_uninstall "$install_dir" /REMOVESETTINGS)"
    [ "$code" = 0 ] || fail "/REMOVESETTINGS: exit code $code"
    [ ! -e "$folder/Options.ini" ] || fail "/REMOVESETTINGS left Options.ini"
    [ ! -e "$folder/Plug-ins" ] || fail "/REMOVESETTINGS left the Plug-ins folder"
    [ -f "$folder/my notes.txt" ] || fail "/REMOVESETTINGS removed the user's file"
    rm "$folder/my notes.txt"

    code="$(silent_install)"
    [ "$code" = 0 ] || fail "third install: exit code $code"
    code="$(silent_uninstall "$install_dir" /REMOVESETTINGS)"
    [ "$code" = 0 ] || fail "/REMOVESETTINGS with nothing of the user's: exit code $code"
    [ ! -e "$folder" ] || fail "the install folder is left though nothing of the user's is in it"
    rm -rf "$WINEPREFIX/drive_c/uninstaller-copy"
    wine regedit /E "$work/after.reg" >/dev/null 2>&1
    # Wine's own volatile keys, which it rewrites as it starts: the display devices it finds (the
    # hardware map, device classes, the display and monitor classes, the video keys, the devices it
    # enumerates, the current hardware profile), its count of service starts, the system parameters it
    # keeps for the session, and the session's dynamic data.
    volatile='\\(Hardware\\DEVICEMAP|Control\\DeviceClasses|Control\\Class\\|Control\\Video|CurrentControlSet\\Enum|Hardware Profiles\\Current|Control\\ServiceCurrent|Wine\\Temporary System Parameters|Volatile Environment|Dynamic)'
    normal() { iconv -f UTF-16LE -t UTF-8 "$1" | tr -d '\r' | VOL="$volatile" awk 'BEGIN { vol = ENVIRON["VOL"] }
        /^\[/ { skip = ($0 ~ vol) } !skip' ; }
    if ! diff <(normal "$work/before.reg") <(normal "$work/after.reg") >"$work/registry.diff"; then
        fail "the registry after uninstall differs from before install: $(head -20 "$work/registry.diff" | tr '\n' ' ')"
    fi
}

# A program file held by a running process (Wine, like Windows, refuses to delete a running
# program): the helper runs under Quorvale.exe's name, with no window and no mutex of Quorvale's.
case_file_in_use() {
    begin "a file in use is removed at restart"
    fresh_prefix file-in-use
    code="$(silent_install)"
    [ "$code" = 0 ] || fail "install: exit code $code"
    folder="$(unix_path "$install_dir")"
    cp "$(qv_build_dir "$arch")/tests/QvTestHelper.exe" "$folder/Quorvale.exe"
    wine "$install_dir\\Quorvale.exe" sleep >/dev/null 2>&1 </dev/null &
    holder=$!
    # Wine names a started program's process by its Windows path once the program is loaded.
    holder_loaded() { pgrep -f 'Quorvale\\Quorvale.exe sleep' >/dev/null; }
    wait_for 600 holder_loaded || fail "the helper did not start"
    code="$(silent_uninstall "$install_dir")"
    # A Linux exit status keeps the low byte of Windows' exit code: 3010 arrives as 194.
    [ "$code" = $((3010 & 255)) ] || fail "exit code $code, not 3010"
    pending="$(reg_value 'HKLM\System\CurrentControlSet\Control\Session Manager' PendingFileRenameOperations 64 || true)"
    [[ "$pending" == *"Quorvale\\Quorvale.exe"* ]] || fail "Quorvale.exe is not to be deleted at restart: '$pending'"
    [ ! -e "$folder/help.chm" ] || fail "the files not in use were left"
    kill "$holder" 2>/dev/null || true
    wait "$holder" 2>/dev/null || true
}

# --- Install for the current user --------------------------------------------------------------------
case_current_user() {
    begin "silent install for the current user"
    fresh_prefix current-user
    code="$(silent_install /CurrentUser)"
    [ "$code" = 0 ] || fail "exit code $code"
    local_app_data="$(wine cmd /c echo %LOCALAPPDATA% 2>/dev/null | tr -d '\r')"
    user_dir="$local_app_data\\Programs\\Quorvale"
    check_installed_files "$(unix_path "$user_dir")"
    check_entry HKCU "$user_dir"
    ! reg_key_exists "$uninstall_key" || fail "an all-users entry was written"
    ! reg_key_exists "$service_key" || fail "the service was installed"
    [ ! -e "$(unix_path "$install_dir")" ] || fail "Program Files was written to"
    code="$(silent_uninstall "$user_dir")"
    [ "$code" = 0 ] || fail "uninstall: exit code $code"
    ! reg_key_exists 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvale' || fail "the HKCU entry is left"

}

# --- Bad input ----------------------------------------------------------------------------------------
case_bad_input() {
    begin "bad input changes nothing"
    fresh_prefix bad-input
    printf 'a file\r\n' >"$WINEPREFIX/drive_c/a-file"
    snapshot() { (cd "$WINEPREFIX/drive_c" && find . -path ./windows -prune -o -print | sort); }
    snapshot >"$work/files-before"
    for case in "4 /D=C:\\a-file" "4 /D=C:\\a-file\\Quorvale" "4 /D=W:\\Quorvale" "2 /Bogus" "2 /S2" "2 /currentuserx"; do
        expected="${case%% *}" switch="${case#* }"
        code="$(silent_install "$switch")"
        [ "$code" = "$expected" ] || fail "'$switch' ended with $code, not $expected"
    done
    snapshot >"$work/files-after"
    diff -q "$work/files-before" "$work/files-after" >/dev/null || fail "files changed: $(diff "$work/files-before" "$work/files-after" | head -5 | tr '\n' ' ')"
    ! reg_key_exists "$uninstall_key" || fail "an entry was written"
    ! reg_key_exists "$service_key" || fail "the service was installed"
    # Without /S the unknown switch is said in a box.
    wine "$installer" /Bogus >/dev/null 2>&1 </dev/null &
    setup=$!
    setup_box() { xdotool search --onlyvisible --name 'Quorvale' >/dev/null 2>&1; }
    if wait_for 600 setup_box; then
        xdotool key --window "$(xdotool search --onlyvisible --name 'Quorvale' | head -1)" Return >/dev/null 2>&1 || true
    else
        fail "no box for an unknown switch"
    fi
    status=0
    wait_for 300 bash -c "! kill -0 $setup 2>/dev/null" || kill "$setup"
    wait "$setup" || status=$?
    [ "$status" = 2 ] || fail "the box's setup ended with $status, not 2"
}

sample="$(cd "$stage/Plug-ins" && ls | head -1)"
# QV_INSTALLER_CASES (names separated by spaces) runs only those cases.
for name in all_users upgrade running run_under_way uninstall file_in_use current_user bad_input; do
    [ -z "${QV_INSTALLER_CASES:-}" ] || [[ " $QV_INSTALLER_CASES " == *" $name "* ]] || continue
    "case_$name"
done
echo "(all cases: ${SECONDS}s)"
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "Every installer check passed."
