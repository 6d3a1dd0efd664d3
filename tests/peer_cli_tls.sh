#!/bin/bash
# torvex-cli over FTP over TLS against vsftpd on 127.0.0.1 (TLS required for logins and data,
# data connections must resume the control connection's session), once limited to TLS 1.2 and
# once with TLS 1.3: list, download and upload a tree byte for byte, resume; certificates
# refused, trusted by fingerprint, vouched for by an authority; a stripped AUTH TLS never gets
# a password; URLs and passwords from TORVEX_PASSWORD and ~/.netrc.
set -u
CLI=${TORVEX_CLI:-}
[ -x "$CLI" ] || { echo "SKIP: torvex-cli not built"; exit 0; }
[ -x /usr/sbin/vsftpd ] && [ "$(id -u)" = 0 ] || { echo "SKIP: vsftpd needs root here"; exit 0; }
command -v openssl >/dev/null || { echo "SKIP: openssl missing"; exit 0; }
STUB="$(cd "$(dirname "$0")" && pwd)/support/plainftpstub.py"

W=$(mktemp -d)
chmod 755 "$W"
PIDS=""
SYSCA=""
cleanup() {
    for p in $PIDS; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
    [ -n "$SYSCA" ] && rm -f "$SYSCA" && update-ca-certificates --fresh >/dev/null 2>&1
    rm -rf "$W"
}
trap cleanup EXIT
fails=0
check() { # check DESCRIPTION EXPECTED_STATUS ACTUAL_STATUS
    if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: status $3, expected $2"; fails=$((fails + 1)); fi
}
bad() { echo "FAIL $1"; [ -f "$W/err" ] && cat "$W/err"; fails=$((fails + 1)); }
free_port() { /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
wait_greeting() { # wait_greeting PORT
    for i in $(seq 1 50); do
        /usr/bin/python3 -c "import socket,sys; s=socket.create_connection(('127.0.0.1',$1),1); sys.exit(0 if s.recv(3)==b'220' else 1)" 2>/dev/null && return 0
        read -r -t 0.1 <> <(:) || true
    done
    return 1
}

# A certificate authority of the test's own, and two server certificates for 127.0.0.1: one it
# signed, one self-signed.
cd "$W" || exit 1
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Torvex Test CA" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signed.key -out signed.csr -subj "/CN=127.0.0.1" 2>/dev/null
printf 'subjectAltName=IP:127.0.0.1\n' >san.ext
openssl x509 -req -in signed.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signed.pem -days 2 -extfile san.ext 2>/dev/null
openssl req -x509 -newkey rsa:2048 -nodes -keyout self.key -out self.pem -days 2 -subj "/CN=127.0.0.1" \
    -addext "subjectAltName=IP:127.0.0.1" 2>/dev/null
fingerprint() { openssl x509 -in "$1" -noout -fingerprint -sha256 | cut -d= -f2; }
SELF_FP=$(fingerprint self.pem)
SIGNED_FP=$(fingerprint signed.pem)

mkdir -p root/tree/sub root/w empty local/tree/deep dl home config
head -c 3000000 /dev/urandom >root/tree/big.bin
echo "small" >root/tree/sub/small.txt
: >root/tree/sub/empty.txt
head -c 700000 /dev/urandom >local/tree/up.bin
echo "deep" >local/tree/deep/d.txt
chown -R ftp root/w 2>/dev/null || chown -R nobody root/w
chmod 777 root/w
ACCOUNT=$(getent passwd ftp >/dev/null && echo ftp || echo nobody)
export HOME="$W/home" XDG_CONFIG_HOME="$W/config"

start_vsftpd() { # start_vsftpd NAME CERT KEY MAXPROTOCOL -> sets PORT
    local name=$1 cert=$2 key=$3 max=$4
    printf 'openssl_conf = conf\n[conf]\nssl_conf = ssl\n[ssl]\nsystem_default = sys\n[sys]\nMaxProtocol = %s\n' "$max" >"$name.cnf"
    PORT=$(free_port); local pasv; pasv=$(free_port)
    cat >"$name.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$PORT
background=NO
anonymous_enable=YES
local_enable=NO
ftp_username=$ACCOUNT
anon_root=$W/root
no_anon_password=YES
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_umask=022
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=$pasv
pasv_max_port=$((pasv + 100 > 65535 ? 65535 : pasv + 100))
port_enable=NO
secure_chroot_dir=$W/empty
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
xferlog_enable=NO
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
force_local_logins_ssl=YES
require_ssl_reuse=YES
rsa_cert_file=$W/$cert
rsa_private_key_file=$W/$key
CONF
    OPENSSL_CONF="$W/$name.cnf" /usr/sbin/vsftpd "$W/$name.conf" >"$W/$name.log" 2>&1 &
    PIDS="$PIDS $!"
    wait_greeting "$PORT" || { echo "FAIL: vsftpd $name did not start"; cat "$W/$name.log"; exit 1; }
}

transfer_round() { # transfer_round NAME PORT
    local name=$1 port=$2 dl="$W/dl/$1"
    local T="timeout 120 $CLI --tls-required --trust $SELF_FP --port $port 127.0.0.1"
    mkdir -p "$dl"
    $T ls /tree >"$W/out" 2>"$W/err"; check "$name: ls" 0 $?
    grep -q "big.bin" "$W/out" || bad "$name: ls output"
    $T get /tree "$dl" >"$W/out" 2>"$W/err"; check "$name: get a tree" 0 $?
    diff -r "$W/root/tree" "$dl/tree" >/dev/null || bad "$name: downloaded tree differs"
    head -c 1000000 "$W/root/tree/big.bin" >"$dl/tree/big.bin"
    $T get -c /tree "$dl" >"$W/out" 2>"$W/err"; check "$name: get --continue" 0 $?
    cmp -s "$W/root/tree/big.bin" "$dl/tree/big.bin" || bad "$name: resumed file differs"
    $T put "$W/local/tree" /w/$name >"$W/out" 2>"$W/err"
    # vsftpd creates no folder for a put into one that does not exist: make it first.
    $T mkdir /w/$name >/dev/null 2>&1
    $T put "$W/local/tree" /w/$name >"$W/out" 2>"$W/err"; check "$name: put a tree" 0 $?
    diff -r "$W/local/tree" "$W/root/w/$name/tree" >/dev/null || bad "$name: uploaded tree differs"
}

start_vsftpd tls12 self.pem self.key TLSv1.2
transfer_round tls12 "$PORT"
start_vsftpd tls13 self.pem self.key TLSv1.3
transfer_round tls13 "$PORT"

# Certificates, against the TLS 1.3 server with its self-signed certificate.
timeout 60 "$CLI" --tls-required --port "$PORT" 127.0.0.1 ls / >/dev/null 2>"$W/err"; check "self-signed certificate refused" 5 $?
grep -q "$SELF_FP" "$W/err" || bad "the refusal names the fingerprint"
timeout 60 "$CLI" --tls-required --trust "$SIGNED_FP" --port "$PORT" 127.0.0.1 ls / >/dev/null 2>"$W/err"
check "another fingerprint trusted: refused" 5 $?
timeout 60 "$CLI" --port "$PORT" 127.0.0.1 ls / >/dev/null 2>"$W/err"; check "plain login refused by the server" 4 $?
mkdir -p "$W/config/torvex"
printf '[Hosts]\n127.0.0.1%%20%s=%s\n' "$PORT" "$SELF_FP" >"$W/config/torvex/trusted-certificates.ini"
timeout 60 "$CLI" --port "$PORT" ls ftpes://127.0.0.1:"$PORT"/tree >"$W/out" 2>"$W/err"
check "trusted in the settings folder, ftpes:// URL" 0 $?
grep -q "big.bin" "$W/out" || bad "URL path listed"
rm -f "$W/config/torvex/trusted-certificates.ini"

# A certificate the system's authorities vouch for is taken without asking.
if [ -d /usr/local/share/ca-certificates ] && command -v update-ca-certificates >/dev/null; then
    start_vsftpd signed signed.pem signed.key TLSv1.3
    SYSCA=/usr/local/share/ca-certificates/torvex-test-ca-$$.crt
    cp ca.pem "$SYSCA" && update-ca-certificates >/dev/null 2>&1
    timeout 60 "$CLI" --tls-required --port "$PORT" 127.0.0.1 ls / >/dev/null 2>"$W/err"
    check "certificate from a trusted authority" 0 $?
    rm -f "$SYSCA"; update-ca-certificates --fresh >/dev/null 2>&1; SYSCA=""
else
    echo "SKIP: no system CA folder"
fi

# A man in the middle that strips AUTH TLS: with TLS required no password leaves.
for mode in required available; do
    : >"$W/stub.log"; rm -f "$W/stub.port"
    /usr/bin/python3 "$STUB" "$W/stub.port" "$W/stub.log" "500 AUTH not understood" &
    PIDS="$PIDS $!"
    for i in $(seq 1 50); do [ -s "$W/stub.port" ] && break; read -r -t 0.1 <> <(:) || true; done
    SPORT=$(cat "$W/stub.port")
    if [ "$mode" = required ]; then
        timeout 60 "$CLI" --tls-required --user alice --password secret-pass --port "$SPORT" 127.0.0.1 ls / >/dev/null 2>"$W/err"
        check "stripped AUTH TLS with TLS required" 5 $?
        grep -q "PASS\|USER" "$W/stub.log" && bad "credentials sent after a refused AUTH TLS"
        grep -q "password was not sent" "$W/err" || bad "the message says no password was sent"
    else
        timeout 60 "$CLI" --tls --user alice --password secret-pass --port "$SPORT" 127.0.0.1 ls / >/dev/null 2>"$W/err"
        check "--tls falls back to plain FTP" 4 $?
        grep -q "^PASS secret-pass" "$W/stub.log" || bad "--tls logs in in clear when the server has no TLS"
    fi
    kill %% 2>/dev/null
done

# Passwords from the environment and ~/.netrc, the user from a URL.
: >"$W/stub.log"; rm -f "$W/stub.port"
/usr/bin/python3 "$STUB" "$W/stub.port" "$W/stub.log" "500 no" &
PIDS="$PIDS $!"
for i in $(seq 1 50); do [ -s "$W/stub.port" ] && break; read -r -t 0.1 <> <(:) || true; done
SPORT=$(cat "$W/stub.port")
TORVEX_PASSWORD=from-env timeout 60 "$CLI" ls "ftp://bob@127.0.0.1:$SPORT/pub" >/dev/null 2>&1
printf 'machine other login x password wrong\nmachine 127.0.0.1 login carol password from-netrc\n' >"$W/home/.netrc"
timeout 60 "$CLI" --port "$SPORT" 127.0.0.1 ls / >/dev/null 2>&1
grep -q "^USER bob" "$W/stub.log" && grep -q "^PASS from-env" "$W/stub.log" || bad "TORVEX_PASSWORD and the URL's user"
grep -q "^USER carol" "$W/stub.log" && grep -q "^PASS from-netrc" "$W/stub.log" || bad "~/.netrc login and password"
"$CLI" --help | grep -q "TORVEX_PASSWORD" || bad "--help names TORVEX_PASSWORD"

[ "$fails" = 0 ] && echo "all passed" || echo "$fails failed"
[ "$fails" = 0 ]
