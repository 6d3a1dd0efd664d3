#!/usr/bin/env bash
# Installs what building, running and testing FTP Torvex needs on Debian 12.
# Safe to run again: packages already present are left alone.
set -euo pipefail

# libssl-dev: the server checks TLS session resumption through OpenSSL; openssl makes the
# server dialog's certificate.
build_pkgs=(build-essential cmake ninja-build qtbase5-dev qttools5-dev qttools5-dev-tools libssl-dev openssl)
test_pkgs=(python3-pyftpdlib vsftpd lftp curl wget ncftp time xvfb xauth openssl ca-certificates)
# The end-to-end test (real input events, screenshots, the window's close request) and the
# menu entry's check.
test_pkgs+=(xdotool imagemagick python3-xlib iproute2 util-linux desktop-file-utils)
# Making and checking the Debian package (scripts/check-deb.sh).
package_pkgs=(dpkg-dev x11-utils man-db)
# Only for remaking the committed images (scripts/make-images.py) and screenshots
# (scripts/make-screenshots.sh, whose Chinese, Japanese and Korean need the CJK font).
image_pkgs=(librsvg2-bin fonts-noto-cjk)

want=("${build_pkgs[@]}")
for option in "$@"; do
    case "$option" in
        --tests) want+=("${test_pkgs[@]}") ;;
        --images) want+=("${image_pkgs[@]}") ;;
        --package) want+=("${package_pkgs[@]}") ;;
        *) echo "usage: $0 [--tests] [--images] [--package]" >&2; exit 2 ;;
    esac
done

missing=()
for p in "${want[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# vsftpd's package starts a system-wide daemon on port 21; our tests and benchmarks run
# their own instances on high loopback ports, so keep the system one out of the way.
if [ -x /usr/sbin/vsftpd ]; then
    if command -v systemctl >/dev/null 2>&1; then
        systemctl stop vsftpd >/dev/null 2>&1 || true
    fi
    if [ -x /etc/init.d/vsftpd ]; then
        /etc/init.d/vsftpd stop >/dev/null 2>&1 || true
    fi
fi
exit 0
