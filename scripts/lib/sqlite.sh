#!/usr/bin/env bash
# Makes SQLite's amalgamation (sqlite3.c and sqlite3.h, the one C file the build compiles into the
# program) from Debian's sqlite3 source package, Debian's patches applied, and keeps it in
# deps/sqlite of the build root (arch.sh: $QV_BUILD_DIR, else build/ of this tree, which git
# ignores), where qv_configure points the builds. The package is fetched through an apt source
# list and state of its own, so the system's apt sources and lists stay as they are; nothing needs
# root. When the amalgamation is there already it only says so.
# Needs apt-get, dpkg-source (dpkg-dev), xz, tclsh, gcc and make: scripts/setup.sh installs them
# and then runs this script.
set -euo pipefail
here="$(dirname "$0")"
# shellcheck source=arch.sh
source "$here/arch.sh"
deps="$qv_build_root/deps"
out="$deps/sqlite"
suite=bookworm

have_amalgamation() { [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ] && [ -f "$out/VERSION" ]; }
say_have() { echo "SQLite $(cat "$out/VERSION") (Debian's source, amalgamated) in $out"; }

if have_amalgamation; then
    say_have
    exit 0
fi

missing=()
for tool in apt-get dpkg-source xz tclsh gcc make; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "scripts/lib/sqlite.sh needs ${missing[*]}: run scripts/setup.sh, which installs them." >&2
    exit 1
fi

mkdir -p "$deps"
# Two builds started at once make it once: the second waits and then finds it made.
exec 9>"$deps/sqlite.lock"
flock 9
if have_amalgamation; then
    say_have
    exit 0
fi

work="$deps/sqlite-work"
rm -rf "$work" "$out.new"
trap 'rm -rf "$work" "$out.new"' EXIT
mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/source" "$work/build"
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian $suite main" \
    >"$work/sources.list"
apt=(apt-get -q -o "Dir::Etc::SourceList=$work/sources.list" -o Dir::Etc::SourceParts=/dev/null
    -o "Dir::State::Lists=$work/lists" -o "Dir::Cache=$work/cache"
    -o "APT::Sandbox::User=$(id -un)")
now() { date +%s.%N; }
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }
# Quiet while it works; the whole log when a step fails.
log="$work/log"
# A download step that may be tried again: its status, with its output kept in the log.
run_once() { "$@" >>"$log" 2>&1 </dev/null; }
failed() {
    cat "$log" >&2
    echo "scripts/lib/sqlite.sh: failed: $*" >&2
    exit 1
}
run() { run_once "$@" || failed "$@"; }

echo "Fetching Debian's sqlite3 source package ($suite) ..."
start="$(now)"
# shellcheck source=retry.sh
source "$here/retry.sh"
retry run_once "${apt[@]}" update || failed "${apt[@]}" update
# apt-get source unpacks the package with dpkg-source, which applies Debian's patches.
(cd "$work/source" && { retry run_once "${apt[@]}" source sqlite3 || failed "${apt[@]}" source sqlite3; })
dsc="$(echo "$work"/source/sqlite3_*.dsc)"
tree="$(find "$work/source" -mindepth 1 -maxdepth 1 -type d -name 'sqlite3-*')"
if [ ! -f "$dsc" ] || [ ! -f "$tree/VERSION" ]; then
    cat "$log" >&2
    echo "scripts/lib/sqlite.sh: apt-get source left no unpacked sqlite3 source in $work/source" >&2
    exit 1
fi
version="$(sed -n 's/^Version: //p' "$dsc")"
echo "Fetched sqlite3 $version in $(since "$start")."

echo "Making the amalgamation ..."
start="$(now)"
# Only the generators run (lemon, mksourceid and the Tcl scripts), with the native compiler.
(cd "$work/build" && run "$tree/configure" --disable-tcl --disable-readline &&
    run make -j"$(nproc)" sqlite3.c)
mkdir -p "$out.new"
cp "$work/build/sqlite3.c" "$work/build/sqlite3.h" "$out.new/"
echo "$version" >"$out.new/VERSION"
rm -rf "$out"
mv "$out.new" "$out"
echo "Made the amalgamation in $(since "$start")."
say_have
