#!/usr/bin/env bash
# Checks that only the safety gate overwrites and deletes: the Win32 functions that delete, rename
# or truncate files and folders, delete registry keys and values, URL-cache entries or the recycle
# bins' contents are called only by the platform layer, and the platform functions that wrap them
# only by the gate (<src>/gate/) and by the platform itself. Prints one line per call out of place
# and fails when there is one.
# Usage: check-gate.sh <src folder>
set -euo pipefail
src="$1"

win32='DeleteFile[AW]?|RemoveDirectory[AW]?|MoveFile(Ex|WithProgress)?[AW]?|ReplaceFile[AW]?|SetEndOfFile|SetFileInformationByHandle|NtSetInformationFile|RegDeleteKey(Ex)?[AW]?|RegDeleteValue[AW]?|RegDeleteTree[AW]?|SHDeleteKey[AW]?|SHDeleteValue[AW]?|SHFileOperation[AW]?|DeleteUrlCacheEntry[AW]?|SHEmptyRecycleBin[AW]?|_wremove|_wunlink|_wrmdir'
wrappers='DeleteFileAt|OpenForRewrite|RemoveFolder|RenameFile|RenameOpenFile|DeleteWhenClosed|TruncateAtPosition|OpenForOverwrite|OpenForOverwriteAndDelete|DeleteRegValue|DeleteRegTree|DeleteUrlCacheEntryOf|EmptyRecycleBinsThrough'

faults=0
files=0
# Calls of the names, comments left out: "file:line: name".
calls() {
    sed -E 's#//.*$##' "$1" | grep -n -o -E "(^|[^A-Za-z0-9_])($2)[[:space:]]*\(" |
        sed -E "s#^([0-9]+):[^A-Za-z_]*([A-Za-z0-9_]+).*#\1: \2#" || true
}
for file in "$src"/*/*.cpp "$src"/*/*.h; do
    [ -e "$file" ] || continue
    files=$((files + 1))
    layer="$(basename "$(dirname "$file")")"
    name="${file#"$src"/}"
    if [ "$layer" != platform ]; then
        while read -r call; do
            [ -n "$call" ] || continue
            echo "$name:$call is Windows' own deleting call: only the platform layer makes it, for the gate"
            faults=$((faults + 1))
        done < <(calls "$file" "$win32")
    fi
    if [ "$layer" != platform ] && [ "$layer" != gate ]; then
        while read -r call; do
            [ -n "$call" ] || continue
            echo "$name:$call overwrites or deletes around the safety gate (use gate/GateActs.h)"
            faults=$((faults + 1))
        done < <(calls "$file" "$wrappers")
    fi
done

if [ "$files" -eq 0 ]; then
    echo "no source files under $src"
    exit 1
fi
if [ "$faults" -ne 0 ]; then
    echo "$faults call(s) around the safety gate in $files files"
    exit 1
fi
echo "gate: $files files, every overwrite and delete goes through the gate"
