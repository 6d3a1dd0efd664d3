#!/bin/bash
# torvex-cli on 127.0.0.1 against pyftpdlib (every command, statuses, messages, passwords, links),
# then against vsftpd up to TLS 1.2 and 1.3 (trees both ways, resume, certificates).
set -u
CLI=${TORVEX_CLI:-}
[ -x "$CLI" ] || { echo "SKIP: torvex-cli not built"; exit 0; }
/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null || { echo "SKIP: no pyftpdlib"; exit 0; }
. "$(dirname "$0")/support/peertools.sh"
W=$(mktemp -d)
chmod 755 "$W"
PIDS=""
trap stop_all EXIT
cd "$W" || exit 1
export HOME="$W/home" XDG_CONFIG_HOME="$W/config"

mkdir -p "root/tree/sub dir" root/tree/empty root/real local dl home
head -c 3000000 /dev/urandom >root/tree/big.bin
echo "blank" >"root/tree/sub dir/a b.txt"
cp -r root/tree local/tree
# pyftpdlib listens on the port it is given, which another program may take first.
for attempt in 1 2 3; do
    PORT=$(free_port)
    /usr/bin/python3 -m pyftpdlib -D -i 127.0.0.1 -p "$PORT" -u u -P p -d root -w >py.log 2>&1 &
    PIDS="$PIDS $!"
    wait_greeting "$PORT" && break
    [ "$attempt" = 3 ] && { echo "FAIL: pyftpdlib did not start"; exit 1; }
done
C="timeout 120 $CLI --port $PORT"
T="$C --user u --password p 127.0.0.1"

# pyftpdlib refuses AUTH TLS.
expect 0 "--tls falls back to plain FTP" $C --tls --user u --password p 127.0.0.1 ls /
expect 5 "--tls-required sends no password" --err "password was not sent" \
    $C --tls-required --user u --password p 127.0.0.1 ls /
# The password from the environment with the user from a URL, and both from ~/.netrc.
expect 0 "TORVEX_PASSWORD and a URL" --out big.bin \
    env TORVEX_PASSWORD=p timeout 60 "$CLI" ls "ftp://u@127.0.0.1:$PORT/tree"
printf 'machine other login x password wrong\nmachine 127.0.0.1 login u password p\n' >home/.netrc
expect 0 "login from .netrc" $C 127.0.0.1 ls /
rm home/.netrc
expect 0 "--help names TORVEX_PASSWORD" --out TORVEX_PASSWORD "$CLI" --help

expect 0 "ls" --out "sub dir" $T ls /tree
grep -q "big.bin" out || bad "ls lists big.bin"
expect 0 "get a folder" $T get /tree dl
diff -r root/tree dl/tree >/dev/null || bad "get: trees differ"
[ "$(grep -c '^ok ' out)" = 2 ] || bad "get: one result line per file expected"
expect 0 "get a file" $T get /tree/big.bin dl
cmp -s root/tree/big.bin dl/big.bin || bad "get: the file differs"
expect 0 "mkdir" $T mkdir /up
expect 0 "put a folder" $T put local/tree /up
# An upload leaves empty folders out.
diff -r --exclude=empty local/tree root/up/tree >/dev/null || bad "put: trees differ"
expect 0 "mv into a folder" $T mv /up/tree/big.bin /up
[ -f root/up/big.bin ] || bad "mv"
expect 0 "chmod" $T chmod 600 /up/big.bin
[ "$(stat -c %a root/up/big.bin)" = 600 ] || bad "chmod mode"
expect 0 "compare identical" $T compare local/tree /tree
echo "changed" >"local/tree/sub dir/a b.txt"
expect 1 "compare different" --out "different sub dir/a b.txt" $T compare local/tree /tree
expect 0 "rm a folder" $T rm /up
[ ! -e root/up ] || bad "rm left the folder"

expect 2 "missing remote path" --err "no such remote file or folder: /missing" $T get /missing dl
expect 2 "missing local folder" $T get /tree nowhere
expect 4 "refused login" --err "login refused" $C --user u --password wrong 127.0.0.1 ls /
DEAD=$(free_port)
expect 3 "unreachable host" --err "cannot connect to 127.0.0.1 port $DEAD" \
    timeout 60 "$CLI" --port "$DEAD" 127.0.0.1 ls /
expect 2 "unknown command" "$CLI" 127.0.0.1 frobnicate

# A link to a folder is fetched and filled as a folder and takes uploads; rm removes the link only.
echo "inner" >root/real/inner.txt
ln -s real root/lnk
expect 0 "get a link to a folder" $T get /lnk dl
cmp -s root/real/inner.txt dl/lnk/inner.txt || bad "folder through a link"
expect 0 "put into a link to a folder" $T put root/tree/big.bin /lnk
cmp -s root/tree/big.bin root/real/big.bin || bad "put through a link"
expect 0 "rm a link to a folder" $T rm /lnk
[ ! -L root/lnk ] && [ -f root/real/inner.txt ] || bad "rm touched the target"

[ -x /usr/sbin/vsftpd ] && [ "$(id -u)" = 0 ] && command -v openssl >/dev/null \
    || { echo "SKIP: vsftpd needs root here, and openssl"; finish; exit; }
for name in self other; do make_cert "$name"; done
FP=$(fingerprint self.pem)
mkdir -p root/w config/torvex
chown "$(ftp_account)" root/w
for max in TLSv1.2 TLSv1.3; do
    start_vsftpd "$max" self "$max" || { echo "FAIL: vsftpd $max did not start"; exit 1; }
    T="timeout 120 $CLI --tls-required --trust $FP --port $PORT 127.0.0.1"
    mkdir -p "dl/$max"
    expect 0 "$max: get a tree" $T get /tree "dl/$max"
    diff -r root/tree "dl/$max/tree" >/dev/null || bad "$max: downloaded tree differs"
    head -c 1000000 root/tree/big.bin >"dl/$max/tree/big.bin"
    expect 0 "$max: get --continue" $T get -c /tree "dl/$max"
    cmp -s root/tree/big.bin "dl/$max/tree/big.bin" || bad "$max: resumed file differs"
    # vsftpd creates no folder for a put into one that does not exist.
    expect 0 "$max: mkdir" $T mkdir "/w/$max"
    expect 0 "$max: put a tree" $T put local/tree "/w/$max"
    diff -r --exclude=empty local/tree "root/w/$max/tree" >/dev/null || bad "$max: put differs"
done
# Certificates, against the TLS 1.3 server and its self-signed certificate.
C="timeout 60 $CLI --port $PORT"
expect 5 "self-signed certificate refused" --err "$FP" $C --tls-required 127.0.0.1 ls /
expect 5 "another fingerprint trusted: refused" \
    $C --tls-required --trust "$(fingerprint other.pem)" 127.0.0.1 ls /
expect 4 "plain login refused by the server" $C 127.0.0.1 ls /
printf '[Hosts]\n127.0.0.1%%20%s=%s\n' "$PORT" "$FP" >config/torvex/trusted-certificates.ini
expect 0 "trusted in the settings folder, ftpes:// URL" --out big.bin \
    $C ls "ftpes://127.0.0.1:$PORT/tree"
finish
