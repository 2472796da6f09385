#!/usr/bin/env bash
# Gives the file tests' own Wine prefix the drives they use:
#   T:  a fixed disk labelled KorvData       S:  a CD-ROM drive
#   R:  a removable (floppy) drive           \\korvsrv\share  a network share
#   L:  the folder T:\linked-src under a second name, which T:\linked-lnk (a symbolic
#       link) also names
# Each is a folder beside the prefix. The prefix's Wine server is restarted once the
# drives are defined, so that the mount manager takes them up: the prefix serves the
# file tests only. Usage: setup_drives.sh WINE-EXEC PREFIX-DIR
set -euo pipefail
wine_exec=$1
prefix=$(mkdir -p "$2" && cd "$2" && pwd)
dosdevices=$prefix/wine/dosdevices
drives=$prefix/files-drives
marker=$prefix/files-drives.done

# Starts the prefix's server and services detached from our output: a service that
# inherited a test's output would keep the test runner waiting for it to close.
start_services() {
    "$wine_exec" --prefix "$prefix" cmd /c "exit 0" >/dev/null 2>&1 </dev/null || true
}

if [ -f "$marker" ] && [ -L "$dosdevices/t:" ] && [ -L "$dosdevices/l:" ]; then
    start_services
    exit 0
fi

# Make sure the prefix exists (wine-exec creates it on first use).
start_services
mkdir -p "$drives/data" "$drives/removable" "$drives/cdrom" "$drives/share" "$dosdevices/unc/korvsrv"
printf 'KorvData' >"$drives/data/.windows-label"
ln -sfn "$drives/data" "$dosdevices/t:"
ln -sfn "$drives/removable" "$dosdevices/r:"
ln -sfn "$drives/cdrom" "$dosdevices/s:"
ln -sfn "$drives/share" "$dosdevices/unc/korvsrv/share"
mkdir -p "$drives/data/linked-src"
ln -sfn "$drives/data/linked-src" "$dosdevices/l:"
ln -sfn linked-src "$drives/data/linked-lnk"
"$wine_exec" --prefix "$prefix" reg add 'HKLM\Software\Wine\Drives' /v 'r:' /d floppy /f >/dev/null 2>&1 </dev/null
"$wine_exec" --prefix "$prefix" reg add 'HKLM\Software\Wine\Drives' /v 's:' /d cdrom /f >/dev/null 2>&1 </dev/null
WINEPREFIX=$prefix/wine wineserver -k >/dev/null 2>&1 || true
WINEPREFIX=$prefix/wine wineserver -w >/dev/null 2>&1 || true
start_services
touch "$marker"
