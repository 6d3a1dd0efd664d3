#!/bin/bash
# torvex-cli over FTP over TLS against vsftpd on 127.0.0.1 (TLS required for logins and data,
# data connections resuming the control connection's session), once limited to TLS 1.2 and once
# with TLS 1.3: list, download and upload a tree byte for byte, resume; certificates refused or
# trusted by fingerprint; a stripped AUTH TLS never gets a password; URLs and passwords from
# TORVEX_PASSWORD and ~/.netrc. A certificate from a known authority is checked in process
# (tst_engine_tls), so this test leaves the machine's trust store alone.
set -u
CLI=${TORVEX_CLI:-}
[ -x "$CLI" ] || { echo "SKIP: torvex-cli not built"; exit 0; }
[ -x /usr/sbin/vsftpd ] && [ "$(id -u)" = 0 ] || { echo "SKIP: vsftpd needs root here"; exit 0; }
command -v openssl >/dev/null || { echo "SKIP: openssl missing"; exit 0; }
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/support/peertools.sh"
W=$(mktemp -d)
chmod 755 "$W"
PIDS=""
trap stop_all EXIT

make_cert self
make_cert other
SELF_FP=$(fingerprint "$W/self.pem")
mkdir -p "$W/root/tree/sub" "$W/root/w" "$W/local/tree/deep" "$W/dl" "$W/home" "$W/config/torvex"
head -c 3000000 /dev/urandom >"$W/root/tree/big.bin"
echo "small" >"$W/root/tree/sub/small.txt"
: >"$W/root/tree/sub/empty.txt"
head -c 700000 /dev/urandom >"$W/local/tree/up.bin"
echo "deep" >"$W/local/tree/deep/d.txt"
chown -R "$(ftp_account)" "$W/root/w"
export HOME="$W/home" XDG_CONFIG_HOME="$W/config"

for max in TLSv1.2 TLSv1.3; do
    start_vsftpd "$max" self "$max" || exit 1
    T="timeout 120 $CLI --tls-required --trust $SELF_FP --port $PORT 127.0.0.1"
    dl="$W/dl/$max"
    mkdir -p "$dl"
    expect 0 "$max: ls" $T ls /tree
    grep -q "big.bin" "$W/out" || bad "$max: ls output"
    expect 0 "$max: get a tree" $T get /tree "$dl"
    diff -r "$W/root/tree" "$dl/tree" >/dev/null || bad "$max: downloaded tree differs"
    head -c 1000000 "$W/root/tree/big.bin" >"$dl/tree/big.bin"
    expect 0 "$max: get --continue" $T get -c /tree "$dl"
    cmp -s "$W/root/tree/big.bin" "$dl/tree/big.bin" || bad "$max: resumed file differs"
    # vsftpd creates no folder for a put into one that does not exist.
    expect 0 "$max: mkdir" $T mkdir "/w/$max"
    expect 0 "$max: put a tree" $T put "$W/local/tree" "/w/$max"
    diff -r "$W/local/tree" "$W/root/w/$max/tree" >/dev/null || bad "$max: uploaded tree differs"
done

# Certificates, against the TLS 1.3 server and its self-signed certificate.
expect 5 "self-signed certificate refused" timeout 60 "$CLI" --tls-required --port "$PORT" 127.0.0.1 ls /
grep -q "$SELF_FP" "$W/err" || bad "the refusal names the fingerprint"
expect 5 "another fingerprint trusted: refused" \
    timeout 60 "$CLI" --tls-required --trust "$(fingerprint "$W/other.pem")" --port "$PORT" 127.0.0.1 ls /
expect 4 "plain login refused by the server" timeout 60 "$CLI" --port "$PORT" 127.0.0.1 ls /
printf '[Hosts]\n127.0.0.1%%20%s=%s\n' "$PORT" "$SELF_FP" >"$W/config/torvex/trusted-certificates.ini"
expect 0 "trusted in the settings folder, ftpes:// URL" timeout 60 "$CLI" ls "ftpes://127.0.0.1:$PORT/tree"
grep -q "big.bin" "$W/out" || bad "URL path listed"

# A server that refuses AUTH TLS, like a man in the middle stripping it; it logs what it gets.
/usr/bin/python3 "$HERE/support/plainftpstub.py" "$W/stub.port" "$W/stub.log" "500 AUTH not understood" &
PIDS="$PIDS $!"
for _ in $(seq 1 50); do [ -s "$W/stub.port" ] && break; sleep 0.1; done
SPORT=$(cat "$W/stub.port")
CRED="--user alice --password secret-pass --port $SPORT 127.0.0.1 ls /"
expect 5 "stripped AUTH TLS with TLS required" timeout 60 "$CLI" --tls-required $CRED
grep -q "PASS\|USER" "$W/stub.log" && bad "credentials sent after a refused AUTH TLS"
grep -q "password was not sent" "$W/err" || bad "the message says no password was sent"
expect 4 "--tls falls back to plain FTP" timeout 60 "$CLI" --tls $CRED
grep -q "^PASS secret-pass" "$W/stub.log" || bad "--tls logs in in clear when the server has no TLS"

# Passwords from the environment and ~/.netrc, the user from a URL.
: >"$W/stub.log"
TORVEX_PASSWORD=from-env timeout 60 "$CLI" ls "ftp://bob@127.0.0.1:$SPORT/pub" >/dev/null 2>&1
printf 'machine other login x password wrong\nmachine 127.0.0.1 login carol password from-netrc\n' >"$W/home/.netrc"
timeout 60 "$CLI" --port "$SPORT" 127.0.0.1 ls / >/dev/null 2>&1
grep -q "^USER bob" "$W/stub.log" && grep -q "^PASS from-env" "$W/stub.log" || bad "TORVEX_PASSWORD and the URL's user"
grep -q "^USER carol" "$W/stub.log" && grep -q "^PASS from-netrc" "$W/stub.log" || bad "~/.netrc login and password"
"$CLI" --help | grep -q "TORVEX_PASSWORD" || bad "--help names TORVEX_PASSWORD"
finish
