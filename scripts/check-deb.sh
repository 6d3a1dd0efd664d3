#!/usr/bin/env bash
# Builds the Debian package and proves it: it installs with apt, puts "FTP Torvex" into the
# desktop menu, and the program starts from that menu entry.
#
#   bash scripts/check-deb.sh                 install on this machine, start, then apt remove
#   bash scripts/check-deb.sh --chroot DIR    install into a fresh Debian 12 made by debootstrap
#                                             in DIR (made once, reused; needs debootstrap)
#
# Needs root (apt). Not part of scripts/test.sh: it changes the machine's packages.
set -euo pipefail
cd "$(dirname "$0")/.."

chroot_dir=""
case "${1:-}" in
    --chroot) chroot_dir="${2:?usage: $0 [--chroot DIR]}" ;;
    "") ;;
    *) echo "usage: $0 [--chroot DIR]" >&2; exit 2 ;;
esac

fail() { echo "check-deb: FAIL: $*" >&2; exit 1; }
step() { echo "check-deb: $*"; }

bash scripts/install-deps.sh --tests --package
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target torvex torvex-server torvex-cli torvexhelp torvexman -j"$(nproc)"
rm -f build/torvex_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/torvex_*.deb)
step "built $deb"

# The package itself: what it declares and what it carries.
depends=$(dpkg-deb -f "$deb" Depends)
step "Depends: $depends"
for needed in libqt5core5a libqt5widgets5 libqt5network5 libc6; do
    grep -q "$needed" <<<"$depends" || fail "Depends lacks $needed"
done
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/bin/torvex ./usr/bin/torvex-server ./usr/bin/torvex-cli \
            ./usr/share/applications/torvex.desktop \
            ./usr/share/icons/hicolor/48x48/apps/torvex.png \
            ./usr/share/icons/hicolor/scalable/apps/torvex.svg \
            ./usr/share/man/man1/torvex-server.1.gz ./usr/share/man/man1/torvex-cli.1.gz \
            ./usr/share/torvex/help/index.html; do
    grep -qx "$path" <<<"$contents" || fail "the package lacks $path"
done
step "contents complete"

# Starts the program the way the menu entry says, on a private X display, and waits (bounded)
# for its window. $1 runs a command in the target system (this machine or the chroot).
start_from_menu() {
    local run=$1 desktop=$2
    local exec_line
    exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -n1)
    [ -n "$exec_line" ] || fail "no Exec= in $desktop"
    step "menu entry runs: $exec_line"
    $run env -u QT_QPA_PLATFORM HOME=/tmp/check-deb-home XDG_CONFIG_HOME=/tmp/check-deb-home/.config \
        xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" sh -c "
            mkdir -p /tmp/check-deb-home
            $exec_line & pid=\$!
            for i in \$(seq 1 100); do
                if xwininfo -root -tree | grep -q '\"FTP Torvex\"'; then
                    echo 'window \"FTP Torvex\" is up'; kill \$pid; wait \$pid 2>/dev/null; exit 0
                fi
                kill -0 \$pid 2>/dev/null || { echo 'the program ended early'; exit 1; }
                sleep 0.1
            done
            echo 'no window within 10 s'; kill \$pid; exit 1" || fail "the program did not start from its menu entry"
}

if [ -n "$chroot_dir" ]; then
    command -v debootstrap >/dev/null || apt-get install -y -qq debootstrap >/dev/null
    if [ ! -x "$chroot_dir/usr/bin/apt-get" ]; then
        step "debootstrap bookworm into $chroot_dir"
        debootstrap --variant=minbase bookworm "$chroot_dir" >/dev/null
    fi
    cp "$deb" "$chroot_dir/tmp/"
    cleanup() { umount "$chroot_dir/proc" 2>/dev/null || true; }
    trap cleanup EXIT
    mount -t proc proc "$chroot_dir/proc"
    in_chroot() { chroot "$chroot_dir" "$@"; }
    in_chroot env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    # A chroot kept from an earlier check must not hold the package already.
    in_chroot env DEBIAN_FRONTEND=noninteractive apt-get purge -y -qq torvex >/dev/null 2>&1 || true
    step "apt install ./$(basename "$deb") in the fresh system"
    in_chroot env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "/tmp/$(basename "$deb")" >/dev/null
    # Only for the check: a display to start it on and a tool to see its window.
    in_chroot env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        xvfb xauth x11-utils >/dev/null
    desktop="$chroot_dir/usr/share/applications/torvex.desktop"
    [ -f "$desktop" ] || fail "no menu entry in /usr/share/applications"
    desktop-file-validate "$desktop" || fail "the menu entry does not validate"
    step "menu entry installed and valid"
    in_chroot torvex-cli --help >/dev/null || fail "torvex-cli does not run"
    in_chroot sh -c 'torvex-server --help' >/dev/null || fail "torvex-server does not run"
    start_from_menu in_chroot "$desktop"
else
    step "apt install ./$deb on this machine"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
    trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq torvex >/dev/null && echo "check-deb: removed again"' EXIT
    desktop=/usr/share/applications/torvex.desktop
    [ -f "$desktop" ] || fail "no menu entry in /usr/share/applications"
    desktop-file-validate "$desktop" || fail "the menu entry does not validate"
    step "menu entry installed and valid"
    man -w torvex-server >/dev/null && man -w torvex-cli >/dev/null || fail "manual pages not found"
    /usr/bin/torvex-cli --help >/dev/null || fail "torvex-cli does not run"
    plain() { "$@"; }
    start_from_menu plain "$desktop"
fi
step "OK"
