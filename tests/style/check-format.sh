#!/usr/bin/env bash
# Fails when a C++ source of the project disagrees with .clang-format, naming each such file and
# the command that puts it right. Usage: check-format.sh <project root>
set -euo pipefail
root="$1"
cd "$root"
if ! command -v clang-format >/dev/null; then
    echo "clang-format is missing: scripts/setup.sh installs it" >&2
    exit 1
fi
mapfile -t files < <(find src tests bench \( -name '*.cpp' -o -name '*.h' \) -not -path '*/probe/*' | sort)
bad=()
for file in "${files[@]}"; do
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || bad+=("$file")
done
if [ ${#bad[@]} -gt 0 ]; then
    printf '%s does not follow .clang-format\n' "${bad[@]}"
    echo "Fix with: clang-format -i ${bad[*]}"
    exit 1
fi
echo "${#files[@]} files follow .clang-format ($(clang-format --version))"
