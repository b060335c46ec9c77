# Sourced by test.sh: small scratch drives for the drive tests, so that no test ever fills a real
# disk. Q: is a 48 MiB tmpfs without a label that the tests may fill; R: is a 1 MiB tmpfs labelled
# "  Protected  " holding ReadOnly.txt, remounted read-only (a write-protected drive); P: points
# nowhere (a drive without a disk). I: is a 24 MiB ext2 file system on a loop-mounted image, whose
# raw bytes the tests read (QV_TEST_DRIVE_IMAGE names the image) to prove that an erased trace is
# nowhere on the drive, free blocks included. W: is a 768 MiB tmpfs labelled "QvLongWash", for a wash
# long enough to be watched while it runs (its memory is taken only while a test fills it). Q:, R:,
# I: and W: are mounted under the build folder; all
# are mapped into the Wine prefix ($WINEPREFIX must be set). When mounting is refused (not root, no
# permission in a container) the drives are simply absent and the tests that need them skip.

test_drives_start() {
    local build="$1"
    TEST_DRIVES_DIR="$build/test-drives"
    test_drives_unmount
    mkdir -p "$TEST_DRIVES_DIR/q" "$TEST_DRIVES_DIR/r" "$TEST_DRIVES_DIR/i" "$TEST_DRIVES_DIR/w"
    test_drives_image
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
    if mount -t tmpfs -o size=768m qv-test-w "$TEST_DRIVES_DIR/w" 2>/dev/null; then
        printf 'QvLongWash' >"$TEST_DRIVES_DIR/w/.windows-label"
        ln -sfn "$TEST_DRIVES_DIR/w" "$WINEPREFIX/dosdevices/w:"
    fi
    ln -sfn "$TEST_DRIVES_DIR/q" "$WINEPREFIX/dosdevices/q:"
    mountpoint -q "$TEST_DRIVES_DIR/r" && ln -sfn "$TEST_DRIVES_DIR/r" "$WINEPREFIX/dosdevices/r:"
    ln -sfn "$TEST_DRIVES_DIR/no-disk" "$WINEPREFIX/dosdevices/p:"
    echo "Test drives: P: (no disk), Q: (48 MiB, writable), R: (1 MiB, read-only) mapped into $WINEPREFIX."
}

# I:, the drive whose raw image the tests read. A fresh image each time, so that nothing a former
# run left in its free blocks can be found.
test_drives_image() {
    local image="$TEST_DRIVES_DIR/i.img" mkfs
    mkfs="$(command -v mkfs.ext2 || echo /usr/sbin/mkfs.ext2)"
    rm -f "$image"
    if truncate -s 24m "$image" && "$mkfs" -q -F "$image" >/dev/null 2>&1 &&
        mount -o loop "$image" "$TEST_DRIVES_DIR/i" 2>/dev/null; then
        ln -sfn "$TEST_DRIVES_DIR/i" "$WINEPREFIX/dosdevices/i:"
        export QV_TEST_DRIVE_IMAGE="$image"
        echo "Test drives: I: (24 MiB ext2 on the image $image) mapped into $WINEPREFIX."
    else
        echo "Test drives: mounting an ext2 image was refused; the tests that read drive I:'s raw bytes will be skipped." >&2
        rm -f "$image"
    fi
}

test_drives_unmount() {
    local dir
    for dir in "$TEST_DRIVES_DIR/q" "$TEST_DRIVES_DIR/r" "$TEST_DRIVES_DIR/i" "$TEST_DRIVES_DIR/w"; do
        if mountpoint -q "$dir" 2>/dev/null; then
            umount "$dir" 2>/dev/null || umount -l "$dir" 2>/dev/null || true
        fi
    done
}

test_drives_stop() {
    [ -n "${TEST_DRIVES_DIR:-}" ] || return 0
    rm -f "$WINEPREFIX/dosdevices/p:" "$WINEPREFIX/dosdevices/q:" "$WINEPREFIX/dosdevices/r:" \
        "$WINEPREFIX/dosdevices/i:" "$WINEPREFIX/dosdevices/w:" 2>/dev/null || true
    test_drives_unmount
    rm -f "$TEST_DRIVES_DIR/i.img"
    unset QV_TEST_DRIVE_IMAGE
}
