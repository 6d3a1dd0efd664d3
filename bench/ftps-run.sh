#!/bin/bash
# FTP over TLS throughput: torvex-cli against curl --ssl-reqd, both downloading and uploading one
# big file from and to vsftpd on 127.0.0.1 (TLS required, data sessions resumed), in the same
# run, alternating, median of the runs. Needs root (vsftpd), openssl, curl.
#   bash bench/ftps-run.sh [--size-mib N] [--runs N]      (defaults: 512 MiB, 3 runs)
set -eu
SIZE=512
RUNS=3
while [ $# -gt 0 ]; do
    case $1 in
        --size-mib) SIZE=$2; shift 2 ;;
        --runs) RUNS=$2; shift 2 ;;
        *) echo "unknown option $1"; exit 2 ;;
    esac
done
ROOT=$(cd "$(dirname "$0")/.." && pwd)
CLI=${TORVEX_CLI:-$ROOT/build/app/torvex-cli}
[ -x "$CLI" ] || { echo "build torvex-cli first"; exit 2; }
BASE=/dev/shm; [ -d "$BASE" ] || BASE=/tmp
W=$(mktemp -d "$BASE/torvex-ftps.XXXXXX"); chmod 755 "$W"
PID=""
cleanup() { if [ -n "$PID" ]; then kill "$PID" 2>/dev/null; wait "$PID" 2>/dev/null || true; fi; rm -rf "$W"; }
trap cleanup EXIT

cd "$W"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 -subj "/CN=127.0.0.1" \
    -addext "subjectAltName=IP:127.0.0.1" 2>/dev/null
FP=$(openssl x509 -in cert.pem -noout -fingerprint -sha256 | cut -d= -f2)
mkdir -p root/up empty dl src
ACCOUNT=$(getent passwd ftp >/dev/null && echo ftp || echo nobody)
chown "$ACCOUNT" root/up; chmod 777 root/up
head -c $((SIZE * 1024 * 1024)) /dev/urandom >root/big.bin
cp root/big.bin src/big.bin
PORT=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
PASV=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
cat >vsftpd.conf <<CONF
listen=YES
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
anon_other_write_enable=YES
pasv_address=127.0.0.1
pasv_min_port=$PASV
pasv_max_port=$((PASV + 50 > 65535 ? 65535 : PASV + 50))
secure_chroot_dir=$W/empty
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
ssl_enable=YES
allow_anon_ssl=YES
force_anon_logins_ssl=YES
force_anon_data_ssl=YES
require_ssl_reuse=YES
rsa_cert_file=$W/cert.pem
rsa_private_key_file=$W/key.pem
CONF
/usr/sbin/vsftpd "$W/vsftpd.conf" >vsftpd.log 2>&1 &
PID=$!
for i in $(seq 1 50); do
    python3 -c "import socket,sys; s=socket.create_connection(('127.0.0.1',$PORT),1); sys.exit(0 if s.recv(3)==b'220' else 1)" 2>/dev/null && break
    sleep 0.1
done

calc() { python3 -c "print(round($1, 2))"; }
seconds() { local s e; s=$(date +%s.%N); "$@" >/dev/null 2>&1 || { echo "FAILED: $*" >&2; exit 1; }; e=$(date +%s.%N); calc "$e - $s"; }
rate() { calc "$SIZE * 1.048576 / $1"; }
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
: >cli_get; : >curl_get; : >cli_put; : >curl_put
for run in $(seq 1 "$RUNS"); do
    rm -f dl/big.bin; rate "$(seconds timeout 600 "$CLI" --trust "$FP" get "ftpes://127.0.0.1:$PORT/big.bin" dl)" >>cli_get
    cmp -s root/big.bin dl/big.bin || { echo "torvex-cli download differs"; exit 1; }
    rm -f dl/big.bin; rate "$(seconds timeout 600 curl -s --ssl-reqd -k --disable-epsv -o dl/big.bin "ftp://127.0.0.1:$PORT/big.bin")" >>curl_get
    cmp -s root/big.bin dl/big.bin || { echo "curl download differs"; exit 1; }
    rm -f root/up/big.bin; rate "$(seconds timeout 600 "$CLI" --trust "$FP" put src/big.bin "ftpes://127.0.0.1:$PORT/up")" >>cli_put
    cmp -s src/big.bin root/up/big.bin || { echo "torvex-cli upload differs"; exit 1; }
    rm -f root/up/big.bin; rate "$(seconds timeout 600 curl -s --ssl-reqd -k --disable-epsv -T src/big.bin "ftp://127.0.0.1:$PORT/up/big.bin")" >>curl_put
    cmp -s src/big.bin root/up/big.bin || { echo "curl upload differs"; exit 1; }
done
for d in get put; do
    ours=$(median <cli_$d); peer=$(median <curl_$d)
    printf '%s %d MiB over FTPS: torvex-cli %s MB/s, curl --ssl-reqd %s MB/s, ratio %s (runs: %s / %s)\n' \
        "$d" "$SIZE" "$ours" "$peer" "$(calc "$ours / $peer")" "$(paste -sd, cli_$d)" "$(paste -sd, curl_$d)"
done
