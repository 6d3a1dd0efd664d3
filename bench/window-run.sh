#!/usr/bin/env bash
# The window against torvex-cli: the same 512 MiB file and 500-file tree from a private vsftpd on
# 127.0.0.1, downloaded through the main window (driven by its slots, offscreen) and through
# torvex-cli, taking turns within each run. Prints one table; see bench/README.md.
#   bash bench/window-run.sh [--build DIR] [--runs N] [--size-mib N]
set -euo pipefail
cd "$(dirname "$0")/.."
REPO=$PWD
BUILD=$REPO/build; RUNS=3; SIZE_MIB=512
while [ $# -gt 0 ]; do
    case "$1" in
        --build) BUILD=$(cd "$2" && pwd); shift 2 ;;
        --runs) RUNS=$2; shift 2 ;;
        --size-mib) SIZE_MIB=$2; shift 2 ;;
        *) echo "usage: $0 [--build DIR] [--runs N] [--size-mib N]" >&2; exit 2 ;;
    esac
done
log() { printf '[window-bench] %s\n' "$*" >&2; }
die() { log "error: $*"; exit 1; }
CLI=${TORVEX_CLI:-$BUILD/app/torvex-cli}
VSFTPD=${VSFTPD:-/usr/sbin/vsftpd}
[ -x "$CLI" ] || die "no torvex-cli at $CLI: build it first"
[ -x "$VSFTPD" ] || die "no vsftpd: bash scripts/install-deps.sh --tests"
[ -x /usr/bin/time ] || die "no /usr/bin/time: bash scripts/install-deps.sh --tests"
export QT_QPA_PLATFORM=offscreen

# The driver is built beside the main build, with the same build type.
DRIVER_BUILD=$BUILD-window-bench
log "building the window driver in $DRIVER_BUILD"
cmake -S "$REPO/bench/window" -B "$DRIVER_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$DRIVER_BUILD" --target torvex-window-bench -j2 >/dev/null
DRIVER=$DRIVER_BUILD/torvex-window-bench

BASE=/tmp; [ -w /dev/shm ] && [ "$(df -Pk /dev/shm | awk 'NR==2{print $4}')" -gt $(( (SIZE_MIB * 3 + 64) * 1024 )) ] && BASE=/dev/shm
W=$(mktemp -d "$BASE/torvex-window-bench.XXXXXX"); chmod 755 "$W"
VSFTPD_PID=""
cleanup() {
    if [ -n "$VSFTPD_PID" ]; then
        kill -TERM -- "-$VSFTPD_PID" 2>/dev/null || true
        wait "$VSFTPD_PID" 2>/dev/null || true
    fi
    rm -rf "$W"
}
trap cleanup EXIT

ROOT=$W/root; EMPTY=$W/empty
mkdir -p "$ROOT/tree" "$ROOT/big" "$EMPTY"
umask 022
log "creating test data in $W"
# The big file sits in a folder: both programs then fetch the same kind of entry the same way.
head -c $((SIZE_MIB * 1024 * 1024)) /dev/urandom >"$ROOT/big/big.bin"
for d in 1 2 3 4 5; do
    mkdir -p "$ROOT/tree/d$d"
    head -c $((100 * 4096)) /dev/urandom >"$W/blob"
    (cd "$ROOT/tree/d$d" && split -b 4096 -a 3 -d --additional-suffix=.dat "$W/blob" f)
done
rm -f "$W/blob"; chmod -R a+rX "$ROOT"

PORT=$(( 61000 + RANDOM % 2000 )); PMIN=$((PORT + 1)); PMAX=$((PORT + 400))
FTP_USER=ftp; getent passwd ftp >/dev/null || FTP_USER=nobody
cat >"$W/vsftpd.conf" <<CONF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$PORT
background=NO
anonymous_enable=YES
local_enable=NO
ftp_username=$FTP_USER
anon_root=$ROOT
no_anon_password=YES
pasv_enable=YES
pasv_address=127.0.0.1
pasv_min_port=$PMIN
pasv_max_port=$PMAX
port_enable=NO
connect_from_port_20=NO
secure_chroot_dir=$EMPTY
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
ssl_enable=NO
use_sendfile=YES
xferlog_enable=NO
syslog_enable=NO
max_clients=50
max_per_ip=50
CONF
chmod 600 "$W/vsftpd.conf"
setsid "$VSFTPD" "$W/vsftpd.conf" >"$W/vsftpd.out" 2>&1 </dev/null &
VSFTPD_PID=$!
for i in $(seq 1 100); do
    timeout 1 bash -c "exec 3<>/dev/tcp/127.0.0.1/$PORT" 2>/dev/null && break
    kill -0 "$VSFTPD_PID" 2>/dev/null || die "vsftpd did not start: $(head -c 300 "$W/vsftpd.out")"
    sleep 0.1
done
log "vsftpd on 127.0.0.1:$PORT"

# run_timed LABEL COMMAND...: prints "SECONDS RSS_KIB", or "FAILED"
run_timed() {
    local out=$W/time.out
    if timeout 600 /usr/bin/time -v -o "$out" "$@" >"$W/run.log" 2>&1; then
        awk -F': ' '/Elapsed \(wall clock\)/{n=split($2,t,":"); s=0; for(i=1;i<=n;i++) s=s*60+t[i]; w=s}
                    /Maximum resident set size/{r=$2} END{printf "%.3f %d\n", w, r}' "$out"
    else
        echo FAILED
    fi
}
median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END{if (NR) print a[int((NR+1)/2)]}'; }

check() { # check KIND DIR: the download is byte for byte the server's
    case "$1" in
        big) cmp -s "$ROOT/big/big.bin" "$2/big/big.bin" ;;
        tree) diff -rq "$ROOT/tree" "$2/tree" >/dev/null ;;
    esac
}

declare -A SECONDS_OF RSS_OF JOB_OF
for kind in big tree; do
    name=$kind
    for run in $(seq 1 "$RUNS"); do
        for who in window cli; do
            dir=$W/dl-$who; rm -rf "$dir"; mkdir -p "$dir"
            if [ "$who" = window ]; then
                result=$(run_timed "$DRIVER" "$PORT" anonymous x "$name" "$dir")
            else
                result=$(run_timed "$CLI" --port "$PORT" --user anonymous --password x 127.0.0.1 get "/$name" "$dir")
            fi
            if [ "$result" = FAILED ] || ! check "$kind" "$dir"; then
                log "$who $kind run $run FAILED: $(tail -c 300 "$W/run.log")"; result="FAILED"
            else
                log "$who $kind run $run: ${result% *} s, peak ${result#* } KiB"
            fi
            SECONDS_OF[$who-$kind]+="${result% *} "; RSS_OF[$who-$kind]+="${result#* } "
            # The window's own line: from the Download click to the end of the job.
            [ "$who" = window ] && JOB_OF[$kind]+="$(sed -n 's/.* in \([0-9.]*\) s$/\1/p' "$W/run.log" | head -1) "
            rm -rf "$dir"
        done
    done
done

status=0
printf '\n| row | window s | window job s | torvex-cli s | window ÷ cli | goal | window peak RSS | goal |\n|---|---|---|---|---|---|---|---|\n'
for kind in big tree; do
    label="download ${SIZE_MIB} MiB"; [ "$kind" = tree ] && label="tree 500 × 4 KiB"
    w=$(median ${SECONDS_OF[window-$kind]}); c=$(median ${SECONDS_OF[cli-$kind]}); j=$(median ${JOB_OF[$kind]:-})
    rss=$(printf '%s\n' ${RSS_OF[window-$kind]} | sort -g | tail -1)
    if [[ "${SECONDS_OF[window-$kind]}${SECONDS_OF[cli-$kind]}" == *FAILED* ]]; then
        printf '| %s | FAILED | | | | ≤ 1.3 | | < 100 MiB |\n' "$label"; status=3; continue
    fi
    ratio=$(awk -v a="$w" -v b="$c" 'BEGIN{printf "%.2f", (b > 0 ? a / b : 0)}')
    mib=$(awk -v k="$rss" 'BEGIN{printf "%.1f", k / 1024}')
    ok_ratio=$(awk -v r="$ratio" 'BEGIN{print (r <= 1.3) ? "PASS" : "FAIL"}')
    ok_rss=$(awk -v m="$mib" 'BEGIN{print (m < 100) ? "PASS" : "FAIL"}')
    [ "$ok_ratio$ok_rss" = PASSPASS ] || status=3
    printf '| %s | %s | %s | %s | %s | ≤ 1.3 %s | %s MiB | < 100 MiB %s |\n' "$label" "$w" "$j" "$c" "$ratio" "$ok_ratio" "$mib" "$ok_rss"
done
exit $status
