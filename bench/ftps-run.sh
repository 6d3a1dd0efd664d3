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
PIDS=""
# The same private vsftpd as the peer tests: loopback only, TLS required, sessions resumed.
. "$ROOT/tests/support/peertools.sh"
trap stop_all EXIT

cd "$W"
make_cert server
FP=$(fingerprint server.pem)
mkdir -p root/up dl src
chown "$(ftp_account)" root/up
head -c $((SIZE * 1024 * 1024)) /dev/urandom >root/big.bin
cp root/big.bin src/big.bin
start_vsftpd vsftpd server

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
