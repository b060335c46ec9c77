#!/usr/bin/env bash
# Checks the layers of the source tree: every file under <src>/<layer>/ may include headers of its
# own layer and of the layers below it, and nothing else (no header of a layer above, none of a
# sibling). Prints one line per include out of place and fails when there is one.
# Usage: check-layers.sh <src folder>
set -euo pipefail
src="$1"

# What each layer may use, its own folder included. The floor is platform (Win32 behind UTF-8
# functions and handle classes, and the message pump); ui is the window framework over it, which
# only the windows use; the gate alone overwrites and deletes; the store keeps Options.ini; the
# engine erases and shows no window; tools, settings and about are windows; app is the program on
# top of them all.
declare -A uses=(
    [platform]="platform"
    [ui]="platform ui"
    [gate]="platform gate"
    [store]="platform store"
    [engine]="platform gate store engine"
    [tools]="platform ui gate store engine tools"
    [settings]="platform ui gate store engine settings"
    [about]="platform ui about"
    [app]="platform ui gate store engine tools settings about app"
    [service]="platform gate service"
)

faults=0
files=0
for file in "$src"/*/*.cpp "$src"/*/*.h; do
    [ -e "$file" ] || continue
    files=$((files + 1))
    layer="$(basename "$(dirname "$file")")"
    allowed="${uses[$layer]:-}"
    if [ -z "$allowed" ]; then
        echo "${file#"$src"/}: the folder $layer is no layer (add it to this check and to src/CMakeLists.txt)"
        faults=$((faults + 1))
        continue
    fi
    while IFS=: read -r line header; do
        case "$header" in
        */*) folder="${header%%/*}" ;;
        *) folder="$layer" ;; # a header beside the file
        esac
        case " $allowed " in
        *" $folder "*) ;;
        *)
            echo "${file#"$src"/}:$line: includes $header, but the $layer layer may use only: $allowed"
            faults=$((faults + 1))
            ;;
        esac
    done < <(grep -n -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$file" | sed -E 's/^([0-9]+):[^"]*"([^"]+)".*/\1:\2/')
done

if [ "$files" -eq 0 ]; then
    echo "no source files under $src"
    exit 1
fi
if [ "$faults" -ne 0 ]; then
    echo "$faults include(s) out of their layer in $files files"
    exit 1
fi
echo "layers: $files files, every include within its layer"
