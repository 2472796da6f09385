#!/usr/bin/env bash
# Two small disks for the export failure tests, as folders of the machine that Wine shows
# under Z:
#   DIR/full       a 64 KiB memory file system holding keep.bmp: an export does not fit
#   DIR/readonly   a file system mounted read-only, holding keep.bmp
# Mounting needs the right to mount (root, as in CI). Without it the folders stay ordinary
# ones and the tests that need them skip, saying why: this script never fails a run.
# Usage: export_disks.sh setup|cleanup DIR
set -u
action=$1
dir=$2
full=$dir/full
readonly_dir=$dir/readonly

release() {
    local mounted
    for mounted in "$full" "$readonly_dir"; do
        if mountpoint -q "$mounted" 2>/dev/null; then
            # Lazily: Wine's server may still hold the folder open for a moment.
            umount -l "$mounted" 2>/dev/null || echo "export_disks: could not unmount $mounted" >&2
        fi
    done
}

case "$action" in
    setup)
        release
        mkdir -p "$full" "$readonly_dir"
        if mount -t tmpfs -o size=64k,mode=0777 korvane-full "$full" 2>/dev/null; then
            printf 'old bytes' >"$full/keep.bmp"
            echo "export_disks: $full is a 64 KiB disk"
        else
            echo "export_disks: cannot mount a small disk at $full (not allowed to mount): its test will skip"
        fi
        if mount -t tmpfs -o size=64k,mode=0777 korvane-readonly "$readonly_dir" 2>/dev/null &&
            printf 'old bytes' >"$readonly_dir/keep.bmp" && mount -o remount,ro "$readonly_dir" 2>/dev/null; then
            echo "export_disks: $readonly_dir is mounted read-only"
        else
            echo "export_disks: cannot mount a read-only disk at $readonly_dir: its test will skip"
        fi
        ;;
    cleanup)
        release
        ;;
    *)
        echo "usage: export_disks.sh setup|cleanup DIR" >&2
        exit 2
        ;;
esac
exit 0
