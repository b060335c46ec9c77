# shellcheck shell=bash
# Sourced by setup.sh: installs Wine's 32-bit loader (wine32:i386) beside the 64-bit one, also from a
# mirror whose i386 lists lag behind its amd64 ones (a security list caught mid-sync). Packages that
# are "Multi-Arch: same" must have one version on both architectures; when an amd64 package in
# wine32's dependencies is installed at a version no i386 list offers, apt finds no way to add the
# i386 one short of removing wine64. Then each such pair is aligned to the highest version both
# architectures offer, with the main suite as the target release. Nothing is ever removed.
# Needs apt_install (setup.sh) and may use $sudo.

# Every "Package Version" pair the lists offer for the packages named (with their architecture), of
# the records that say "Multi-Arch: same", one a line; one look for them all.
qv_offered_same_arch() {
    [ $# -gt 0 ] || return 0
    apt-cache show "$@" 2>/dev/null |
        awk '/^Package: /{p=$2; v=""; same=0} /^Version: /{v=$2} /^Multi-Arch: same/{same=1}
             /^$/{if (same && v != "") print p, v; p=""} END{if (same && v != "") print p, v}' | sort -u
}

# The highest of the versions on standard input (Debian's ordering), or nothing.
qv_highest_version() {
    local version best=""
    while read -r version; do
        [ -n "$version" ] || continue
        if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best"; then
            best="$version"
        fi
    done
    [ -z "$best" ] || echo "$best"
}

# Prints "name=version name:i386=version" for every "Multi-Arch: same" package of wine32:i386's
# dependencies whose installed amd64 version no i386 list offers, aligned to the highest version both
# architectures offer. Says on stderr what it aligns.
qv_wine32_alignments() {
    local names offered386 installed name version offered64 common
    names="$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
        --no-replaces --no-enhances wine32:i386 2>/dev/null | sed -n 's/^\([^ <][^ ]*\):i386$/\1/p' | sort -u)"
    [ -n "$names" ] || return 0
    # shellcheck disable=SC2046,SC2086 # the names are words
    offered386="$(qv_offered_same_arch $(printf '%s:i386 ' $names))"
    # shellcheck disable=SC2046 # the names are words
    installed="$(dpkg-query -W -f='${Package} ${Status} ${Version}\n' $(awk '{print $1 ":amd64"}' <<<"$offered386" | sort -u) \
        2>/dev/null | sed -n 's/^\([^ ]*\) install ok installed /\1 /p')"
    local -A behind=()
    while read -r name version; do
        [ -n "$name" ] && ! grep -qxF "$name $version" <<<"$offered386" && behind[$name]="$version"
    done <<<"$installed"
    [ ${#behind[@]} -gt 0 ] || return 0
    # shellcheck disable=SC2046 # the names are words
    offered64="$(qv_offered_same_arch $(printf '%s:amd64 ' "${!behind[@]}"))"
    for name in $(printf '%s\n' "${!behind[@]}" | sort); do
        common="$(comm -12 <(sed -n "s/^$name //p" <<<"$offered64" | sort) \
            <(sed -n "s/^$name //p" <<<"$offered386" | sort) | qv_highest_version)"
        if [ -z "$common" ]; then
            echo "No version of $name is offered for both amd64 and i386 (amd64 has ${behind[$name]})." >&2
            continue
        fi
        echo "Aligning $name: amd64 ${behind[$name]} -> $common, the highest version offered for i386 too." >&2
        echo "$name=$common $name:i386=$common"
    done
}

# Installs wine32:i386; when the plain install fails, aligns the pairs above and tries once more with
# the main suite as the target. Returns non-zero when it is still not installed.
qv_install_wine32() {
    apt_install --no-remove wine32:i386 && return 0
    echo "The plain install of wine32:i386 failed; looking for amd64 packages installed at a version" \
        "no i386 list offers ..." >&2
    local pins suite
    pins="$(qv_wine32_alignments)"
    suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
    if [ -z "$pins" ] || [ -z "$suite" ]; then
        echo "Nothing to align (or no release name in /etc/os-release): wine32:i386 stays missing." >&2
        return 1
    fi
    # shellcheck disable=SC2086 # the pins are words
    apt_install --no-remove --allow-downgrades -t "$suite" wine32:i386 $pins
}
