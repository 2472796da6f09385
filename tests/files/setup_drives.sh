#!/usr/bin/env bash
# Gives the test Wine prefix the drives the file tests use:
#   T:  a fixed disk labelled KorvData       S:  a CD-ROM drive
#   R:  a removable (floppy) drive           \\korvsrv\share  a network share
# Each is a folder beside the prefix. Usage: setup_drives.sh WINE-EXEC PREFIX-DIR
set -euo pipefail
wine_exec=$1
prefix=$(mkdir -p "$2" && cd "$2" && pwd)
# Make sure the prefix exists (wine-exec creates it on first use).
"$wine_exec" --prefix "$prefix" cmd /c "exit 0" >/dev/null 2>&1 || true
dosdevices=$prefix/wine/dosdevices
drives=$prefix/files-drives
mkdir -p "$drives/data" "$drives/removable" "$drives/cdrom" "$drives/share" "$dosdevices/unc/korvsrv"
printf 'KorvData' >"$drives/data/.windows-label"
printf 'KorvDisk' >"$drives/removable/.windows-label"
ln -sfn "$drives/data" "$dosdevices/t:"
ln -sfn "$drives/removable" "$dosdevices/r:"
ln -sfn "$drives/cdrom" "$dosdevices/s:"
ln -sfn "$drives/share" "$dosdevices/unc/korvsrv/share"
"$wine_exec" --prefix "$prefix" reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d floppy /f >/dev/null 2>&1
"$wine_exec" --prefix "$prefix" reg add 'HKLM\Software\Wine\Drives' /v 's:' /d cdrom /f >/dev/null 2>&1
