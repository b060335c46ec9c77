# Sourced by test.sh: small scratch drives for the drive tests, so that no test ever fills a real
# disk. Q: is a 48 MiB tmpfs without a label that the tests may fill; R: is a 1 MiB tmpfs labelled
# "  Protected  " holding ReadOnly.txt, remounted read-only (a write-protected drive); P: points
# nowhere (a drive without a disk). Q: and R: are mounted under the build folder; all three are
# mapped into the Wine prefix ($WINEPREFIX must be set). When mounting is refused (not root, no
# permission in a container) the drives are simply absent and the tests that need them skip.

test_drives_start() {
    local build="$1"
    TEST_DRIVES_DIR="$build/test-drives"
    test_drives_unmount
    mkdir -p "$TEST_DRIVES_DIR/q" "$TEST_DRIVES_DIR/r"
    if ! mount -t tmpfs -o size=48m qv-test-q "$TEST_DRIVES_DIR/q" 2>/dev/null; then
        echo "Test drives: mounting a tmpfs was refused; the tests of drives Q: and R: will be skipped." >&2
        return 0
    fi
    if mount -t tmpfs -o size=1m qv-test-r "$TEST_DRIVES_DIR/r" 2>/dev/null; then
        printf 'This drive is write-protected.\r\n' >"$TEST_DRIVES_DIR/r/ReadOnly.txt"
        printf '  Protected  ' >"$TEST_DRIVES_DIR/r/.windows-label"
        mount -o remount,ro "$TEST_DRIVES_DIR/r" 2>/dev/null || {
            echo "Test drives: remounting R: read-only was refused; its tests will be skipped." >&2
            umount "$TEST_DRIVES_DIR/r"
        }
    fi
    ln -sfn "$TEST_DRIVES_DIR/q" "$WINEPREFIX/dosdevices/q:"
    mountpoint -q "$TEST_DRIVES_DIR/r" && ln -sfn "$TEST_DRIVES_DIR/r" "$WINEPREFIX/dosdevices/r:"
    ln -sfn "$TEST_DRIVES_DIR/no-disk" "$WINEPREFIX/dosdevices/p:"
    echo "Test drives: P: (no disk), Q: (48 MiB, writable), R: (1 MiB, read-only) mapped into $WINEPREFIX."
}

test_drives_unmount() {
    local dir
    for dir in "$TEST_DRIVES_DIR/q" "$TEST_DRIVES_DIR/r"; do
        if mountpoint -q "$dir" 2>/dev/null; then
            umount "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null || true
        fi
    done
}

test_drives_stop() {
    [ -n "${TEST_DRIVES_DIR:-}" ] || return 0
    rm -f "$WINEPREFIX/dosdevices/p:" "$WINEPREFIX/dosdevices/q:" "$WINEPREFIX/dosdevices/r:" 2>/dev/null || true
    test_drives_unmount
}
