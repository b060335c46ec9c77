#!/usr/bin/env bash
# Builds the release again from a clean folder and checks that it gives the same bytes as this
# build: both programs, the zip and, where the build has them, the installers. Only the release
# targets are built there, with the options of this build that shape the programs.
# Usage: check-repeatable.sh <source folder> <this build's folder> <toolchain file> <build type>
#        <SQLite folder> <SOURCE_DATE_EPOCH>
set -euo pipefail
source_dir="$1" build="$2" toolchain="$3" build_type="$4" sqlite="$5" epoch="$6"
again="$build/repeatable"
rm -rf "$again"
trap 'rm -rf "$again"' EXIT
# A signature holds its signing time, so the comparison is of what the build itself makes.
unset QV_SIGN_CERT QV_SIGN_KEY QV_SIGN_PASS QV_SIGN_TIMESTAMP_URL SOURCE_DATE_EPOCH

start=$SECONDS
cmake -S "$source_dir" -B "$again" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE="$build_type" \
    -DQV_SQLITE_DIR="$sqlite" -DQV_SOURCE_DATE_EPOCH="$epoch" -DQV_BUILD_TESTS=OFF >/dev/null
targets=(Quorvale SellwickService package_zip)
if cmake --build "$again" --target help | grep -qw package_installer; then
    targets+=(package_installer)
fi
cmake --build "$again" -j"$(nproc)" --target "${targets[@]}" >"$again.log" 2>&1 || {
    cat "$again.log" >&2
    rm -f "$again.log"
    exit 1
}
rm -f "$again.log"
echo "Built ${targets[*]} again in $((SECONDS - start)) s."

compared=()
status=0
for name in Quorvale.exe SellwickService.exe; do
    compared+=("$name")
done
while IFS= read -r name; do
    compared+=("$name")
done < <(cd "$again" && find . -maxdepth 1 -name 'Quorvale-*.zip' -o -maxdepth 1 -name 'Quorvale-*-setup.exe' |
    sed 's|^\./||' | sort)
for name in "${compared[@]}"; do
    if [ ! -f "$build/$name" ] || [ ! -f "$again/$name" ]; then
        echo "$name: missing from one of the builds" >&2
        status=1
    elif cmp -s "$build/$name" "$again/$name"; then
        echo "$name: the same bytes"
    else
        echo "$name: differs between the two builds ($(cmp "$build/$name" "$again/$name" | head -1);" \
            "this build must be up to date with the sources)" >&2
        status=1
    fi
done
[ ${#compared[@]} -ge 3 ] || { echo "no zip was built" >&2; status=1; }
exit $status
