# Sourced by common.sh: makes sure this machine can run 32-bit (i386) programs, which Wine
# needs for the Win32 build. Where the kernel runs them natively nothing is changed. Where it
# refuses them ("Exec format error"), i386 programs are handed to QEMU's user-mode emulator
# through binfmt_misc. Only QEMU 10 or later will do: Wine's fault handling fails under 7.2,
# so the emulator comes from the backports suite. KORVANE_EMULATE_I386=1 forces this path.
#
# Every step is idempotent and silent once done; a failing step stops with what failed and
# what can be done about it.

korvane_qemu=/usr/bin/qemu-i386-static
korvane_qemu_min_version=1:10.0
korvane_binfmt_dir=/proc/sys/fs/binfmt_misc
korvane_binfmt_entry=$korvane_binfmt_dir/qemu-i386
# The ELF header of an i386 executable or shared object, and which of its bits matter.
korvane_i386_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
korvane_i386_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'

korvane_i386_fail() {
    korvane_log "cannot run 32-bit programs: $1"
    korvane_log "$2"
    exit 1
}

# Whether the i386 loader that wine32 brings runs.
korvane_i386_runs() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

korvane_i386_emulated() {
    [ -f "$korvane_binfmt_entry" ] && head -n 1 "$korvane_binfmt_entry" | grep -qx enabled &&
        grep -qx "interpreter $korvane_qemu" "$korvane_binfmt_entry"
}

korvane_ensure_i386() {
    if korvane_i386_emulated; then
        korvane_log "32-bit programs run under emulation (QEMU user mode) on this machine"
        korvane_i386_runs && return 0
        korvane_i386_fail "i386 programs are registered for $korvane_qemu, but the loader still fails" \
            "Check that $korvane_qemu runs, or remove the registration (echo -1 > $korvane_binfmt_entry)."
    fi
    if [ "${KORVANE_EMULATE_I386:-0}" != 1 ] && korvane_i386_runs; then
        return 0
    fi
    korvane_log "32-bit programs cannot run natively here: setting up emulation (QEMU user mode)"
    korvane_install_qemu
    korvane_register_qemu
    korvane_log "32-bit programs run under emulation (QEMU user mode) on this machine"
    korvane_i386_runs || korvane_i386_fail "/lib/ld-linux.so.2 does not run under $korvane_qemu" \
        "Check the registration in $korvane_binfmt_entry and the QEMU version ($korvane_qemu --version)."
}

korvane_qemu_version() {
    dpkg-query -W -f='${Version}' qemu-user-static 2>/dev/null
}

korvane_install_qemu() {
    local version
    version=$(korvane_qemu_version)
    if [ -n "$version" ] && dpkg --compare-versions "$version" ge "$korvane_qemu_min_version"; then
        return 0
    fi
    local codename
    codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
    [ -n "$codename" ] || korvane_i386_fail "this system names no release codename in /etc/os-release" \
        "Install qemu-user-static $korvane_qemu_min_version or later by hand."
    korvane_add_backports "$codename"
    korvane_log "installing qemu-user-static from $codename-backports"
    $korvane_sudo apt-get update -q >&2 ||
        korvane_i386_fail "apt-get update failed" "Check the network and /etc/apt/sources.list.d/korvane-backports.sources."
    DEBIAN_FRONTEND=noninteractive $korvane_sudo apt-get install -y -q --no-install-recommends \
        -t "$codename-backports" qemu-user-static >&2 ||
        korvane_i386_fail "qemu-user-static could not be installed from $codename-backports" \
            "Install qemu-user-static $korvane_qemu_min_version or later by hand, then run this again."
    version=$(korvane_qemu_version)
    dpkg --compare-versions "${version:-0}" ge "$korvane_qemu_min_version" ||
        korvane_i386_fail "qemu-user-static $version is too old (Wine needs $korvane_qemu_min_version or later)" \
            "Install a newer qemu-user-static by hand, then run this again."
}

# Adds RELEASE-backports beside the sources apt already uses, with the same mirror and keyring.
korvane_add_backports() {
    local codename=$1 list=/etc/apt/sources.list.d/korvane-backports.sources
    if grep -rqsE "^[^#]*\b$codename-backports\b" /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 0
    fi
    local uri keyring
    read -r uri keyring < <(korvane_release_source "$codename")
    [ -n "$uri" ] || korvane_i386_fail "no apt source for $codename was found to take the mirror from" \
        "Add $codename-backports to apt's sources by hand, then run this again."
    korvane_log "adding $codename-backports from $uri"
    {
        echo "Types: deb"
        echo "URIs: $uri"
        echo "Suites: $codename-backports"
        echo "Components: main"
        [ -n "$keyring" ] && echo "Signed-By: $keyring"
    } | $korvane_sudo tee "$list" >/dev/null ||
        korvane_i386_fail "$list could not be written" "Run as root, or with sudo available."
}

# Prints "URI KEYRING" of the first source that serves RELEASE itself (keyring may be empty).
korvane_release_source() {
    local codename=$1 file
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk -v release="$codename" '
            function flush() {
                if (!done && types ~ /(^| )deb( |$)/ && (" " suites " ") ~ (" " release " ") && uri != "") {
                    print uri, keyring; done = 1
                }
                types = suites = uri = keyring = ""
            }
            /^[ \t]*$/ { flush(); next }
            /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0 }
            /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0 }
            /^URIs:/ { uri = $2 }
            /^Signed-By:/ { keyring = $2 }
            END { flush() }' "$file" | head -n 1
    done | head -n 1 | grep . && return 0
    # One-line format: deb [signed-by=KEYRING] URI RELEASE COMPONENTS...
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | awk -v release="$codename" '
        $1 == "deb" {
            keyring = ""; i = 2
            if ($2 ~ /^\[/) {
                for (; i <= NF; i++) {
                    if ($i ~ /signed-by=/) { keyring = $i; sub(/.*signed-by=/, "", keyring); sub(/\]$/, "", keyring) }
                    if ($i ~ /\]$/) { i++; break }
                }
            }
            if ($(i + 1) == release) { print $i, keyring; exit }
        }'
}

korvane_register_qemu() {
    if ! [ -f "$korvane_binfmt_dir/register" ]; then
        $korvane_sudo mount -t binfmt_misc binfmt_misc "$korvane_binfmt_dir" 2>/dev/null ||
            korvane_i386_fail "binfmt_misc is not mounted and could not be mounted at $korvane_binfmt_dir" \
                "Run as root (or in a container allowed to mount binfmt_misc)."
    fi
    if [ -f "$korvane_binfmt_entry" ]; then
        # Registered for another interpreter (an older QEMU's wrapper, say): replace it.
        echo -1 | $korvane_sudo tee "$korvane_binfmt_entry" >/dev/null
    fi
    # F: the interpreter is opened now, so it is found inside any root (Wine's included);
    # P: programs see their own argv[0]; C: credentials come from the program, not QEMU.
    printf ':qemu-i386:M::%s:%s:%s:FPC\n' "$korvane_i386_magic" "$korvane_i386_mask" "$korvane_qemu" |
        $korvane_sudo tee "$korvane_binfmt_dir/register" >/dev/null ||
        korvane_i386_fail "registering $korvane_qemu with binfmt_misc failed" \
            "Check that $korvane_binfmt_dir is writable by root and that no other entry claims i386 ELF files."
}
