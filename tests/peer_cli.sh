#!/bin/bash
# torvex-cli on 127.0.0.1 against pyftpdlib (every command, exit statuses and messages, a server
# without TLS, passwords from TORVEX_PASSWORD and ~/.netrc, links to folders), then against vsftpd
# requiring TLS with session reuse, up to TLS 1.2 and 1.3 (trees both ways, resume, certificates).
set -u
CLI=${TORVEX_CLI:-}
[ -x "$CLI" ] || { echo "SKIP: torvex-cli not built"; exit 0; }
/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null || { echo "SKIP: no pyftpdlib"; exit 0; }
. "$(dirname "$0")/support/peertools.sh"
W=$(mktemp -d)
chmod 755 "$W"
PIDS=""
trap stop_all EXIT
export HOME="$W/home" XDG_CONFIG_HOME="$W/config"

mkdir -p "$W/root/tree/sub dir" "$W/root/tree/empty" "$W/root/real" "$W/local" "$W/dl" "$W/home"
head -c 3000000 /dev/urandom >"$W/root/tree/big.bin"
echo "blank" >"$W/root/tree/sub dir/a b.txt"
cp -r "$W/root/tree" "$W/local/tree"
# pyftpdlib listens on the port it is given, which another program may take first.
for attempt in 1 2 3; do
    PORT=$(free_port)
    /usr/bin/python3 -m pyftpdlib -D -i 127.0.0.1 -p "$PORT" -u u -P p -d "$W/root" -w \
        >"$W/py.log" 2>&1 &
    PIDS="$PIDS $!"
    wait_greeting "$PORT" && break
    [ "$attempt" = 3 ] && { echo "FAIL: pyftpdlib did not start"; exit 1; }
done

# pyftpdlib refuses AUTH TLS.
expect 0 "--tls falls back to plain FTP" timeout 60 "$CLI" --tls --port "$PORT" --user u \
    --password p 127.0.0.1 ls /
# The password from the environment with the user from a URL, and both from ~/.netrc.
expect 0 "TORVEX_PASSWORD and a URL" \
    env TORVEX_PASSWORD=p timeout 60 "$CLI" ls "ftp://u@127.0.0.1:$PORT/tree"
grep -q "big.bin" "$W/out" || bad "the URL's path listed"
printf '%s\n' "machine other login x password wrong" "machine 127.0.0.1 login u password p" \
    >"$W/home/.netrc"
expect 0 "login from .netrc" timeout 60 "$CLI" --port "$PORT" 127.0.0.1 ls /
rm "$W/home/.netrc"
"$CLI" --help | grep -q "TORVEX_PASSWORD" || bad "--help names TORVEX_PASSWORD"

T="timeout 120 $CLI --port $PORT --user u --password p 127.0.0.1"
expect 0 "ls" $T ls /tree
grep -q "big.bin" "$W/out" && grep -q "sub dir" "$W/out" || bad "ls output"
expect 0 "get a folder" $T get /tree "$W/dl"
diff -r "$W/root/tree" "$W/dl/tree" >/dev/null || bad "get: trees differ"
[ "$(grep -c '^ok ' "$W/out")" = 2 ] || bad "get: one result line per file expected"
expect 0 "get a file" $T get /tree/big.bin "$W/dl"
cmp -s "$W/root/tree/big.bin" "$W/dl/big.bin" || bad "get: the file differs"
expect 0 "mkdir" $T mkdir /up
expect 0 "put a folder" $T put "$W/local/tree" /up
# An upload leaves empty folders out.
diff -r --exclude=empty "$W/local/tree" "$W/root/up/tree" >/dev/null || bad "put: trees differ"
expect 0 "mv into a folder" $T mv /up/tree/big.bin /up
[ -f "$W/root/up/big.bin" ] || bad "mv"
expect 0 "chmod" $T chmod 600 /up/big.bin
[ "$(stat -c %a "$W/root/up/big.bin")" = 600 ] || bad "chmod mode"
expect 0 "compare identical" $T compare "$W/local/tree" /tree
echo "changed" >"$W/local/tree/sub dir/a b.txt"
expect 1 "compare different" $T compare "$W/local/tree" /tree
grep -q "different sub dir/a b.txt" "$W/out" || bad "compare output"
expect 0 "rm a folder" $T rm /up
[ ! -e "$W/root/up" ] || bad "rm left the folder"

expect 2 "missing remote path" $T get /missing "$W/dl"
grep -q "no such remote file or folder: /missing" "$W/err" || bad "missing-path message"
expect 2 "missing local folder" $T get /tree "$W/nowhere"
expect 4 "refused login" timeout 60 "$CLI" --port "$PORT" --user u --password wrong 127.0.0.1 ls /
grep -q "login refused" "$W/err" || bad "login message"
DEAD=$(free_port)
expect 3 "unreachable host" timeout 60 "$CLI" --port "$DEAD" 127.0.0.1 ls /
grep -q "cannot connect to 127.0.0.1 port $DEAD" "$W/err" || bad "unreachable message"
expect 2 "unknown command" "$CLI" 127.0.0.1 frobnicate

# A link to a folder is fetched and filled as a folder and takes uploads; rm removes the link only.
echo "inner" >"$W/root/real/inner.txt"
ln -s real "$W/root/lnk"
expect 0 "get a link to a folder" $T get /lnk "$W/dl"
cmp -s "$W/root/real/inner.txt" "$W/dl/lnk/inner.txt" || bad "folder through a link"
expect 0 "put into a link to a folder" $T put "$W/root/tree/big.bin" /lnk
cmp -s "$W/root/tree/big.bin" "$W/root/real/big.bin" || bad "put through a link"
expect 0 "rm a link to a folder" $T rm /lnk
[ ! -L "$W/root/lnk" ] && [ -f "$W/root/real/inner.txt" ] || bad "rm touched the target"

tls_checks() {
    local fp max dl name
    for name in self other; do make_cert "$name"; done
    fp=$(fingerprint "$W/self.pem")
    mkdir -p "$W/root/w" "$W/config/torvex"
    chown "$(ftp_account)" "$W/root/w"
    for max in TLSv1.2 TLSv1.3; do
        start_vsftpd "$max" self "$max" || return 1
        T="timeout 120 $CLI --tls-required --trust $fp --port $PORT 127.0.0.1"
        dl="$W/dl/$max"
        mkdir -p "$dl"
        expect 0 "$max: get a tree" $T get /tree "$dl"
        diff -r "$W/root/tree" "$dl/tree" >/dev/null || bad "$max: downloaded tree differs"
        head -c 1000000 "$W/root/tree/big.bin" >"$dl/tree/big.bin"
        expect 0 "$max: get --continue" $T get -c /tree "$dl"
        cmp -s "$W/root/tree/big.bin" "$dl/tree/big.bin" || bad "$max: resumed file differs"
        # vsftpd creates no folder for a put into one that does not exist.
        expect 0 "$max: mkdir" $T mkdir "/w/$max"
        expect 0 "$max: put a tree" $T put "$W/local/tree" "/w/$max"
        diff -r --exclude=empty "$W/local/tree" "$W/root/w/$max/tree" >/dev/null \
            || bad "$max: uploaded tree differs"
    done
    # Certificates, against the TLS 1.3 server and its self-signed certificate.
    T="timeout 60 $CLI --port $PORT"
    expect 5 "self-signed certificate refused" $T --tls-required 127.0.0.1 ls /
    grep -q "$fp" "$W/err" || bad "the refusal names the fingerprint"
    expect 5 "another fingerprint trusted: refused" \
        $T --tls-required --trust "$(fingerprint "$W/other.pem")" 127.0.0.1 ls /
    expect 4 "plain login refused by the server" $T 127.0.0.1 ls /
    printf '[Hosts]\n127.0.0.1%%20%s=%s\n' "$PORT" "$fp" \
        >"$W/config/torvex/trusted-certificates.ini"
    expect 0 "trusted in the settings folder, ftpes:// URL" $T ls "ftpes://127.0.0.1:$PORT/tree"
    grep -q "big.bin" "$W/out" || bad "URL path listed"
}
if [ -x /usr/sbin/vsftpd ] && [ "$(id -u)" = 0 ] && command -v openssl >/dev/null; then
    tls_checks
else
    echo "SKIP: vsftpd needs root here, and openssl"
fi
finish
