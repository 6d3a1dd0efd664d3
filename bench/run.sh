#!/usr/bin/env bash
# Throughput benchmarks of torvex-cli against peer clients (curl, lftp), on 127.0.0.1,
# against a private vsftpd instance and, where the build has it, our own torvex-server.
#
#   bash bench/run.sh [--build DIR] [--runs N] [--size-mib N] [--keep] [--markdown FILE] [--vsftpd-only]
#                     [--servers]
#
# --vsftpd-only leaves our own server out.
# --servers measures our server instead of our client: the same peer clients (curl, lftp)
# against torvex-server and against vsftpd, as ratios of the two.
#
# Every figure is a ratio of our client to a peer client measured in the same run against
# the same server.  See bench/README.md for what each row means.
#
# Network: everything is on loopback.  vsftpd listens on 127.0.0.1 only and announces
# 127.0.0.1 for passive connections; before a server is measured its PASV answer is
# probed, and a server that announces anything outside 127.0.0.0/8 is skipped.
# Every client runs under `timeout`; every server started here is stopped on exit.

set -u -o pipefail

SCRIPT_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
REPO_DIR=$(cd "$SCRIPT_DIR/.." && pwd)

BUILD="$REPO_DIR/build"
RUNS=5
HAVE_SERVER_WANTED=1
SIZE_MIB=512
KEEP=0
MARKDOWN_OUT=""
SERVER_ROWS=0

usage() {
    sed -n '2,16p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
}

while [ $# -gt 0 ]; do
    case "$1" in
        --build) BUILD=${2:?--build needs a folder}; shift 2 ;;
        --build=*) BUILD=${1#--build=}; shift ;;
        --runs) RUNS=${2:?--runs needs a number}; shift 2 ;;
        --size-mib) SIZE_MIB=${2:?--size-mib needs a number}; shift 2 ;;
        --keep) KEEP=1; shift ;;
        --vsftpd-only) HAVE_SERVER_WANTED=0; shift ;;
        --servers) SERVER_ROWS=1; shift ;;
        --markdown) MARKDOWN_OUT=${2:?--markdown needs a file}; shift 2 ;;
        -h|--help) usage; exit 0 ;;
        *) echo "run.sh: unknown argument: $1" >&2; usage >&2; exit 2 ;;
    esac
done

case "$RUNS" in ''|*[!0-9]*) echo "run.sh: --runs must be a positive number" >&2; exit 2 ;; esac
case "$SIZE_MIB" in ''|*[!0-9]*) echo "run.sh: --size-mib must be a positive number" >&2; exit 2 ;; esac
[ "$RUNS" -ge 1 ] && [ "$RUNS" -le 20 ] || { echo "run.sh: --runs must be 1..20" >&2; exit 2; }
[ "$SIZE_MIB" -ge 1 ] || { echo "run.sh: --size-mib must be at least 1" >&2; exit 2; }

# No proxy may send a client anywhere but loopback.
unset ftp_proxy FTP_PROXY http_proxy HTTP_PROXY https_proxy HTTPS_PROXY all_proxy ALL_PROXY
export no_proxy='*' NO_PROXY='*'
export LC_ALL=C
# torvex-cli is a Qt program: never let it look for a display.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

log() { printf '[bench] %s\n' "$*" >&2; }
die() { printf '[bench] error: %s\n' "$*" >&2; exit 1; }

# ---------------------------------------------------------------- tools

TORVEX_CLI=${TORVEX_CLI:-$BUILD/app/torvex-cli}
TORVEX_SERVER=${TORVEX_SERVER:-$BUILD/app/torvex-server}
VSFTPD=${VSFTPD:-/usr/sbin/vsftpd}

ensure_tool() { # ensure_tool COMMAND DEBIAN_PACKAGE: installs the package only when the tool is missing
    local cmd=$1 pkg=$2
    if [ -x "$cmd" ] || command -v "$cmd" >/dev/null 2>&1; then return 0; fi
    if [ "$(id -u)" -eq 0 ] && command -v apt-get >/dev/null 2>&1; then
        log "installing Debian package '$pkg' for $cmd"
        DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null 2>&1 || true
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$pkg" >/dev/null 2>&1 || true
    fi
    [ -x "$cmd" ] || command -v "$cmd" >/dev/null 2>&1 || die "$cmd is missing (Debian package '$pkg'; scripts/install-deps.sh --tests installs the peers)"
}

ensure_tool "$VSFTPD" vsftpd
ensure_tool curl curl
ensure_tool lftp lftp
ensure_tool /usr/bin/time time
ensure_tool timeout coreutils
ensure_tool md5sum coreutils
ensure_tool ss iproute2

HAVE_CLI=0
[ -x "$TORVEX_CLI" ] && HAVE_CLI=1
HAVE_SERVER=0
[ -x "$TORVEX_SERVER" ] && HAVE_SERVER=1

# ---------------------------------------------------------------- work folder on tmpfs

NEED_KIB=$(( (SIZE_MIB * 3 + 64) * 1024 ))   # source + download copy + upload copy + small trees
pick_workdir() {
    local d
    for d in "${TORVEX_BENCH_TMP:-}" /dev/shm /run/user/$(id -u) /tmp; do
        [ -n "$d" ] && [ -d "$d" ] && [ -w "$d" ] || continue
        [ "$(stat -f -c %T "$d" 2>/dev/null)" = tmpfs ] || continue
        [ "$(df -Pk "$d" | awk 'NR==2{print $4}')" -ge "$NEED_KIB" ] || continue
        echo "$d"; return 0
    done
    return 1
}
if BASE=$(pick_workdir); then
    WORK_NOTE="tmpfs ($BASE)"
else
    BASE=/tmp
    WORK_NOTE="NOT tmpfs: no tmpfs with $((NEED_KIB / 1024)) MiB free, fell back to /tmp (disk speed may dominate)"
    log "note: $WORK_NOTE"
fi
W=$(mktemp -d "$BASE/torvex-bench.XXXXXX") || die "cannot create a work folder in $BASE"
chmod 755 "$W"

VSFTPD_PID=""
TSERVER_PID=""
cleanup() {
    local pid i
    for pid in "$VSFTPD_PID" "$TSERVER_PID"; do
        [ -n "$pid" ] || continue
        # Let the server reap its finished sessions first (up to 2 s), so none is left a zombie.
        for i in $(seq 1 20); do [ -z "$(ps -o pid= --ppid "$pid" 2>/dev/null)" ] && break; sleep 0.1; done
        # Each server was started with setsid, so its process group holds it and its sessions only.
        kill -TERM -- "-$pid" 2>/dev/null || kill -TERM "$pid" 2>/dev/null
    done
    for pid in "$VSFTPD_PID" "$TSERVER_PID"; do
        [ -n "$pid" ] || continue
        for i in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
        kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null
    done
    if [ "$KEEP" = 1 ]; then
        log "work folder kept: $W"
    else
        rm -rf "$W"
    fi
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# ---------------------------------------------------------------- test data

ROOT="$W/root"          # served by both servers
LOCAL_CMP="$W/cmp-local" # local side of the compare
DL="$W/dl"               # downloads land here
EMPTY="$W/empty"         # vsftpd's secure_chroot_dir
mkdir -p "$ROOT/tree" "$ROOT/cmp" "$ROOT/up" "$LOCAL_CMP" "$DL" "$EMPTY"
chmod 755 "$ROOT" "$ROOT/tree" "$ROOT/cmp" "$EMPTY"
chmod 777 "$ROOT/up"

BIG_BYTES=$((SIZE_MIB * 1024 * 1024))
TREE_DIRS=5; TREE_PER_DIR=100; TREE_FILE=4096
CMP_FILES=200; CMP_FILE=65536

log "creating test data in $W ($WORK_NOTE)"
umask 022
head -c "$BIG_BYTES" /dev/urandom >"$ROOT/big.bin" || die "cannot create the ${SIZE_MIB} MiB file"
for d in $(seq 1 "$TREE_DIRS"); do
    mkdir -p "$ROOT/tree/d$d"
    head -c $((TREE_PER_DIR * TREE_FILE)) /dev/urandom >"$W/blob"
    (cd "$ROOT/tree/d$d" && split -b "$TREE_FILE" -a 3 -d --additional-suffix=.dat "$W/blob" f) \
        || die "cannot create the tree"
done
head -c $((CMP_FILES * CMP_FILE)) /dev/urandom >"$W/blob"
(cd "$ROOT/cmp" && split -b "$CMP_FILE" -a 3 -d --additional-suffix=.bin "$W/blob" c) || die "cannot create the compare files"
rm -f "$W/blob"
cp -p "$ROOT/cmp/"* "$LOCAL_CMP/"
chmod -R a+rX "$ROOT"
[ "$(find "$ROOT/tree" -type f | wc -l)" -eq $((TREE_DIRS * TREE_PER_DIR)) ] || die "tree has the wrong number of files"
[ "$(find "$ROOT/cmp" -type f | wc -l)" -eq "$CMP_FILES" ] || die "compare set has the wrong number of files"
BIG_MD5=$(md5sum <"$ROOT/big.bin" | cut -d' ' -f1)

# ---------------------------------------------------------------- ports

# Only listening sockets block a bind (connections in TIME_WAIT do not).
range_free() { # range_free FIRST LAST
    local busy
    busy=$(ss -Htln 2>/dev/null | awk -v a="$1" -v b="$2" '{n=split($4,p,":"); q=p[n]+0; if (q>=a && q<=b) c++} END{print c+0}')
    [ "$busy" -eq 0 ]
}

# Control port and passive range lie outside the kernel's ephemeral range, so the
# clients' own outgoing ports never collide with them: above it when there is room, else below.
PASV_SPAN=2000
pick_port() {
    local lo hi
    read -r lo hi </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || { lo=32768; hi=60999; }
    if [ $((65535 - hi)) -gt $((PASV_SPAN + 100)) ]; then
        echo $(( hi + 1 + RANDOM % (65535 - hi - PASV_SPAN - 1) ))
    elif [ $((lo - 10000)) -gt $((PASV_SPAN + 100)) ]; then
        echo $(( 10000 + RANDOM % (lo - 10000 - PASV_SPAN - 1) ))
    else
        echo $(( 40000 + RANDOM % 15000 ))
    fi
}

wait_listening() { # wait_listening PORT PID: up to 10 s
    local i
    for i in $(seq 1 100); do
        kill -0 "$2" 2>/dev/null || return 1
        timeout 1 bash -c "exec 3<>/dev/tcp/127.0.0.1/$1" 2>/dev/null && return 0
        sleep 0.1
    done
    return 1
}

# ---------------------------------------------------------------- vsftpd

start_vsftpd() {
    local ftp_user=ftp attempt port pmin pmax
    getent passwd ftp >/dev/null || ftp_user=nobody
    chown "$ftp_user" "$ROOT/up"
    for attempt in $(seq 1 20); do
        port=$(pick_port)
        pmin=$((port + 1)); pmax=$((port + PASV_SPAN))
        range_free "$port" "$pmax" || { log "ports $port-$pmax partly in use, trying others"; continue; }
        cat >"$W/vsftpd.conf" <<EOF
# private benchmark instance: loopback only, anonymous with its own root
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
run_as_launching_user=NO
anonymous_enable=YES
local_enable=NO
ftp_username=$ftp_user
anon_root=$ROOT
no_anon_password=YES
write_enable=YES
anon_upload_enable=YES
anon_mkdir_write_enable=YES
anon_other_write_enable=YES
anon_umask=022
anon_world_readable_only=YES
pasv_enable=YES
pasv_address=127.0.0.1
pasv_addr_resolve=NO
pasv_min_port=$pmin
pasv_max_port=$pmax
port_enable=NO
connect_from_port_20=NO
secure_chroot_dir=$EMPTY
seccomp_sandbox=NO
isolate=NO
isolate_network=NO
ssl_enable=NO
tcp_wrappers=NO
use_sendfile=YES
dirmessage_enable=NO
hide_ids=NO
xferlog_enable=NO
syslog_enable=NO
vsftpd_log_file=$W/vsftpd.log
max_clients=50
max_per_ip=50
idle_session_timeout=120
data_connection_timeout=60
EOF
        chmod 600 "$W/vsftpd.conf"
        setsid "$VSFTPD" "$W/vsftpd.conf" >"$W/vsftpd.out" 2>&1 </dev/null &
        VSFTPD_PID=$!
        if wait_listening "$port" "$VSFTPD_PID"; then
            VSFTPD_PORT=$port
            log "vsftpd (pid $VSFTPD_PID) on 127.0.0.1:$port, passive $pmin-$pmax, root $ROOT"
            return 0
        fi
        kill -TERM -- "-$VSFTPD_PID" 2>/dev/null
        wait "$VSFTPD_PID" 2>/dev/null
        VSFTPD_PID=""
        log "vsftpd did not start on port $port: $(head -c 300 "$W/vsftpd.out" | tr '\n' ' ')"
    done
    return 1
}

# ---------------------------------------------------------------- torvex-server

start_torvex_server() {
    local i port=""
    setsid "$TORVEX_SERVER" --port 0 --address 127.0.0.1 --root "$ROOT" --user bench:benchpw \
        >"$W/tserver.out" 2>&1 </dev/null &
    TSERVER_PID=$!
    for i in $(seq 1 100); do
        port=$(sed -n 's/.*listening on port \([0-9][0-9]*\).*/\1/p' "$W/tserver.out" | head -1)
        [ -n "$port" ] && break
        kill -0 "$TSERVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$port" ] || ! wait_listening "$port" "$TSERVER_PID"; then
        log "torvex-server did not start: $(head -c 300 "$W/tserver.out" | tr '\n' ' ')"
        return 1
    fi
    TSERVER_PORT=$port
    log "torvex-server (pid $TSERVER_PID) on port $port, root $ROOT"
}

# ---------------------------------------------------------------- loopback guard

# Logs in, asks PASV, prints the announced address; the run skips a server announcing
# anything but 127.x.x.x, so no client is ever sent off the loopback interface.
probe_pasv() { # probe_pasv PORT USER PASS
    timeout 15 bash -c '
        exec 3<>/dev/tcp/127.0.0.1/$1 || exit 1
        reply() { local l i; for i in $(seq 1 50); do IFS= read -r -t 5 l <&3 || return 1; l=${l%$'"'\r'"'}; R=$l; [[ $l =~ ^[0-9]{3}\  ]] && return 0; done; return 1; }
        send() { printf "%s\r\n" "$1" >&3; }
        reply || exit 1
        send "USER $2"; reply || exit 1
        if [[ $R == 331* ]]; then send "PASS $3"; reply || exit 1; fi
        [[ $R == 230* ]] || { echo "login refused: $R" >&2; exit 1; }
        send "PASV"; reply || exit 1
        send "QUIT"
        [[ $R =~ ([0-9]+),([0-9]+),([0-9]+),([0-9]+),[0-9]+,[0-9]+ ]] || { echo "no PASV address: $R" >&2; exit 1; }
        echo "${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.${BASH_REMATCH[3]}.${BASH_REMATCH[4]}"
    ' _ "$@"
}

# ---------------------------------------------------------------- measuring

# run_timed LIMIT_SECONDS CMD...: runs CMD under timeout and /usr/bin/time -v;
# sets T_ELAPSED (seconds, wall clock) and T_RSS_KB (peak resident set of CMD); returns CMD's status.
run_timed() {
    local limit=$1 t0 t1 rc
    shift
    rm -f "$W/time.out"
    t0=$(date +%s.%N)
    timeout --kill-after=5 "$limit" /usr/bin/time -v -o "$W/time.out" "$@" >"$W/client.out" 2>&1 </dev/null
    rc=$?
    t1=$(date +%s.%N)
    T_ELAPSED=$(awk -v a="$t0" -v b="$t1" 'BEGIN{printf "%.6f", b - a}')
    T_RSS_KB=$(awk -F': *' '/Maximum resident set size/{print $2}' "$W/time.out" 2>/dev/null)
    T_RSS_KB=${T_RSS_KB:-0}
    if [ "$rc" -ne 0 ]; then
        log "  command failed (status $rc): $*"
        sed 's/^/[bench]     /' "$W/client.out" | tail -5 >&2
    fi
    return "$rc"
}

median() { # median VALUES...: prints the median, or "" when none
    [ $# -gt 0 ] || { echo ""; return; }
    printf '%s\n' "$@" | sort -g | awk '{v[NR]=$1} END{ if (NR%2) printf "%.6f", v[(NR+1)/2]; else printf "%.6f", (v[NR/2]+v[NR/2+1])/2 }'
}
maxof() { printf '%s\n' "$@" | sort -g | tail -1; }

LFTP_SET='set net:max-retries 1; set net:timeout 10; set net:reconnect-interval-base 1; set ftp:passive-mode on; set ftp:ssl-allow no; set ftp:prefer-epsv no; set ftp:ignore-pasv-address yes; set cmd:fail-exit yes; set xfer:clobber on'
CURL_OPTS=(-sS --disable-epsv --ftp-skip-pasv-ip --noproxy '*' --connect-timeout 10)

fresh_dl() { rm -rf "$DL"; mkdir -p "$DL"; }

# Per-server variables used by the measure_* functions.
S_PORT=""; S_USER=""; S_PASS=""
url() { echo "ftp://127.0.0.1:$S_PORT/$1"; }
CLI=()   # torvex-cli with the connection options for the server being measured

# Results: lines "server|metric|ours|peer|ratio|goal|result" in $W/results.
add_row() { printf '%s|%s|%s|%s|%s|%s|%s\n' "$@" >>"$W/results"; }

ratio_row() { # ratio_row SERVER METRIC UNIT OURS PEER KIND GOAL_OP GOAL
    # KIND "rate": ratio = ours/peer; KIND "time": ratio = ours/peer too (times), goal direction from GOAL_OP.
    local server=$1 metric=$2 unit=$3 ours=$4 peer=$5 op=$7 goal=$8 ratio="n/a" result="n/a"
    if [ "$ours" != "n/a" ] && [ "$ours" != "FAILED" ] && [ "$peer" != "n/a" ] && [ "$peer" != "FAILED" ]; then
        ratio=$(awk -v a="$ours" -v b="$peer" 'BEGIN{ if (b > 0) printf "%.2f", a / b; else print "n/a" }')
        if [ "$ratio" != "n/a" ]; then
            result=$(awk -v r="$ratio" -v g="$goal" -v op="$op" 'BEGIN{ ok = (op == ">=") ? (r >= g) : (r <= g); print ok ? "pass" : "FAIL" }')
        fi
    elif [ "$ours" = "FAILED" ]; then
        result="FAIL"
    fi
    local o=$ours p=$peer
    [ "$o" = "n/a" ] || [ "$o" = "FAILED" ] || o="$o $unit"
    [ "$p" = "n/a" ] || [ "$p" = "FAILED" ] || p="$p $unit"
    add_row "$server" "$metric" "$o" "$p" "$ratio" "$op $goal" "$result"
}

mbps() { awk -v b="$BIG_BYTES" -v t="$1" 'BEGIN{ printf "%.1f", b / 1e6 / t }'; }
secs() { awk -v t="$1" 'BEGIN{ printf "%.3f", t }'; }

# Collect per-run samples; a failed or unverified run makes the whole figure FAILED.
measure_server() { # measure_server NAME
    local name=$1 i
    local -a peer_dl=() our_dl=() peer_ul=() our_ul=() peer_tree=() our_tree=() peer_cmp=() our_cmp=()
    local -a our_rss=() peer_rss=()
    local peer_dl_bad=0 our_dl_bad=0 peer_ul_bad=0 our_ul_bad=0 peer_tree_bad=0 our_tree_bad=0 peer_cmp_bad=0 our_cmp_bad=0

    # curl config for the 200-file baseline: one process, one control connection, like one compare job.
    : >"$W/curl-cmp.cfg"
    local f
    for f in "$ROOT/cmp/"*; do
        f=${f##*/}
        printf 'url = "%s"\noutput = "%s"\n' "$(url "cmp/$f")" "$DL/cmp/$f" >>"$W/curl-cmp.cfg"
    done
    cat >"$W/cmp-baseline.sh" <<EOF
set -e -o pipefail
curl $(printf '%q ' "${CURL_OPTS[@]}")--create-dirs -u '$S_USER:$S_PASS' -K '$W/curl-cmp.cfg'
(cd '$DL/cmp' && md5sum -- *) >'$W/md5.remote'
(cd '$LOCAL_CMP' && md5sum -- *) >'$W/md5.local'
cmp -s '$W/md5.remote' '$W/md5.local'
EOF

    for i in $(seq 1 "$RUNS"); do
        log "$name: run $i/$RUNS"

        # -- download of the big file
        fresh_dl
        if run_timed 300 curl "${CURL_OPTS[@]}" -u "$S_USER:$S_PASS" -o "$DL/big.bin" "$(url big.bin)" \
            && cmp -s "$ROOT/big.bin" "$DL/big.bin"; then
            peer_dl+=("$T_ELAPSED"); peer_rss+=("$T_RSS_KB")
        else peer_dl_bad=1; log "  curl download failed or differs"; fi
        if [ "$HAVE_CLI" = 1 ]; then
            fresh_dl
            if run_timed 300 "${CLI[@]}" get /big.bin "$DL" && cmp -s "$ROOT/big.bin" "$DL/big.bin"; then
                our_dl+=("$T_ELAPSED"); our_rss+=("$T_RSS_KB")
            else our_dl_bad=1; log "  torvex-cli get failed or differs"; fi
        fi
        fresh_dl

        # -- upload of the big file
        rm -f "$ROOT/up/big.bin"
        if run_timed 300 curl "${CURL_OPTS[@]}" -u "$S_USER:$S_PASS" -T "$ROOT/big.bin" "$(url up/big.bin)" \
            && cmp -s "$ROOT/big.bin" "$ROOT/up/big.bin"; then
            peer_ul+=("$T_ELAPSED"); peer_rss+=("$T_RSS_KB")
        else peer_ul_bad=1; log "  curl upload failed or differs"; fi
        rm -f "$ROOT/up/big.bin"
        if [ "$HAVE_CLI" = 1 ]; then
            if run_timed 300 "${CLI[@]}" put "$ROOT/big.bin" /up && cmp -s "$ROOT/big.bin" "$ROOT/up/big.bin"; then
                our_ul+=("$T_ELAPSED"); our_rss+=("$T_RSS_KB")
            else our_ul_bad=1; log "  torvex-cli put failed or differs"; fi
            rm -f "$ROOT/up/big.bin"
        fi

        # -- recursive download of the tree
        fresh_dl
        if run_timed 300 lftp --norc -u "$S_USER,$S_PASS" -p "$S_PORT" \
                -e "$LFTP_SET; mirror /tree $DL/tree; quit" 127.0.0.1 \
            && diff -r -q "$ROOT/tree" "$DL/tree" >/dev/null; then
            peer_tree+=("$T_ELAPSED")
        else peer_tree_bad=1; log "  lftp mirror failed or differs"; fi
        if [ "$HAVE_CLI" = 1 ]; then
            fresh_dl
            # The folder is expected as DIR/tree; a client that unpacks it into DIR itself also counts.
            if run_timed 300 "${CLI[@]}" get /tree "$DL" \
                && { diff -r -q "$ROOT/tree" "$DL/tree" >/dev/null 2>&1 || diff -r -q "$ROOT/tree" "$DL" >/dev/null 2>&1; }; then
                our_tree+=("$T_ELAPSED")
            else our_tree_bad=1; log "  torvex-cli get of the tree failed or differs"; fi
        fi

        # -- compare of 200 files
        fresh_dl
        if run_timed 300 bash "$W/cmp-baseline.sh"; then
            peer_cmp+=("$T_ELAPSED")
        else peer_cmp_bad=1; log "  curl + md5sum baseline failed"; fi
        if [ "$HAVE_CLI" = 1 ]; then
            fresh_dl
            if run_timed 300 "${CLI[@]}" compare "$LOCAL_CMP" /cmp; then
                our_cmp+=("$T_ELAPSED")
            else our_cmp_bad=1; log "  torvex-cli compare failed"; fi
        fi
        fresh_dl
    done

    # -- figures
    local po pp
    fig_rate() { # fig_rate BAD SAMPLES...: median MB/s, or FAILED / n/a
        local bad=$1; shift
        if [ "$bad" = 1 ]; then echo FAILED; elif [ $# -eq 0 ]; then echo n/a; else mbps "$(median "$@")"; fi
    }
    fig_time() {
        local bad=$1; shift
        if [ "$bad" = 1 ]; then echo FAILED; elif [ $# -eq 0 ]; then echo n/a; else secs "$(median "$@")"; fi
    }
    local have=$HAVE_CLI
    local mib="${SIZE_MIB} MiB"
    po=$(fig_rate "$our_dl_bad" ${our_dl[@]+"${our_dl[@]}"}); [ "$have" = 1 ] || po=n/a
    pp=$(fig_rate "$peer_dl_bad" ${peer_dl[@]+"${peer_dl[@]}"})
    ratio_row "$name" "download $mib: get / curl (MB/s)" "MB/s" "$po" "$pp" rate ">=" 0.9
    po=$(fig_rate "$our_ul_bad" ${our_ul[@]+"${our_ul[@]}"}); [ "$have" = 1 ] || po=n/a
    pp=$(fig_rate "$peer_ul_bad" ${peer_ul[@]+"${peer_ul[@]}"})
    ratio_row "$name" "upload $mib: put / curl -T (MB/s)" "MB/s" "$po" "$pp" rate ">=" 0.8
    po=$(fig_time "$our_tree_bad" ${our_tree[@]+"${our_tree[@]}"}); [ "$have" = 1 ] || po=n/a
    pp=$(fig_time "$peer_tree_bad" ${peer_tree[@]+"${peer_tree[@]}"})
    ratio_row "$name" "tree 500 x 4 KiB: get / lftp mirror (s)" "s" "$po" "$pp" time "<=" 1.5
    po=$(fig_time "$our_cmp_bad" ${our_cmp[@]+"${our_cmp[@]}"}); [ "$have" = 1 ] || po=n/a
    pp=$(fig_time "$peer_cmp_bad" ${peer_cmp[@]+"${peer_cmp[@]}"})
    ratio_row "$name" "compare 200 x 64 KiB: compare / (curl + md5sum) (s)" "s" "$po" "$pp" time "<=" 1.2

    # Peak resident memory of torvex-cli over its big transfers; curl's shown for scale only.
    local rss_o=n/a rss_p=n/a res=n/a
    if [ ${#peer_rss[@]} -gt 0 ]; then rss_p="$(awk -v k="$(maxof "${peer_rss[@]}")" 'BEGIN{printf "%.1f", k/1024}') MiB"; fi
    # Only verified transfers count; when none succeeded the figure is FAILED.
    if [ "$have" = 1 ] && [ ${#our_rss[@]} -eq 0 ]; then
        rss_o=FAILED; res=FAIL
    elif [ "$have" = 1 ]; then
        local k; k=$(maxof "${our_rss[@]}")
        if [ "$k" -gt 0 ]; then
            rss_o="$(awk -v k="$k" 'BEGIN{printf "%.1f", k/1024}') MiB"
            res=$(awk -v k="$k" 'BEGIN{ print (k < 64 * 1024) ? "pass" : "FAIL" }')
        fi
    fi
    add_row "$name" "peak RSS during $mib get/put (client)" "$rss_o" "$rss_p" "-" "< 64 MiB" "$res"
}

# Our server against vsftpd, both measured with the same peer clients in the same run, taking
# turns within each run.
measure_servers() {
    local i name port user pass
    local -a dl_v=() dl_t=() tree_v=() tree_t=()
    local bad_dl_v=0 bad_dl_t=0 bad_tree_v=0 bad_tree_t=0
    for i in $(seq 1 "$RUNS"); do
        log "servers: run $i/$RUNS"
        for name in vsftpd torvex; do
            if [ "$name" = vsftpd ]; then port=$VSFTPD_PORT; user=anonymous; pass=bench@
            else port=$TSERVER_PORT; user=bench; pass=benchpw; fi
            fresh_dl
            if run_timed 300 curl "${CURL_OPTS[@]}" -u "$user:$pass" -o "$DL/big.bin" \
                    "ftp://127.0.0.1:$port/big.bin" && cmp -s "$ROOT/big.bin" "$DL/big.bin"; then
                if [ "$name" = vsftpd ]; then dl_v+=("$T_ELAPSED"); else dl_t+=("$T_ELAPSED"); fi
            else
                if [ "$name" = vsftpd ]; then bad_dl_v=1; else bad_dl_t=1; fi
                log "  curl download from $name failed or differs"
            fi
            fresh_dl
            if run_timed 300 lftp --norc -u "$user,$pass" -p "$port" \
                    -e "$LFTP_SET; mirror /tree $DL/tree; quit" 127.0.0.1 \
                && diff -r -q "$ROOT/tree" "$DL/tree" >/dev/null; then
                if [ "$name" = vsftpd ]; then tree_v+=("$T_ELAPSED"); else tree_t+=("$T_ELAPSED"); fi
            else
                if [ "$name" = vsftpd ]; then bad_tree_v=1; else bad_tree_t=1; fi
                log "  lftp mirror from $name failed or differs"
            fi
        done
    done
    fresh_dl
    local ours peer
    figure() { # figure BAD KIND SAMPLES...
        local bad=$1 kind=$2; shift 2
        if [ "$bad" = 1 ]; then echo FAILED; elif [ $# -eq 0 ]; then echo n/a
        elif [ "$kind" = rate ]; then mbps "$(median "$@")"; else secs "$(median "$@")"; fi
    }
    ours=$(figure "$bad_dl_t" rate ${dl_t[@]+"${dl_t[@]}"})
    peer=$(figure "$bad_dl_v" rate ${dl_v[@]+"${dl_v[@]}"})
    ratio_row torvex-server "download ${SIZE_MIB} MiB by curl: torvex-server / vsftpd (MB/s)" "MB/s" \
        "$ours" "$peer" rate ">=" 0.5
    ours=$(figure "$bad_tree_t" time ${tree_t[@]+"${tree_t[@]}"})
    peer=$(figure "$bad_tree_v" time ${tree_v[@]+"${tree_v[@]}"})
    ratio_row torvex-server "tree 500 x 4 KiB by lftp mirror: torvex-server / vsftpd (s)" "s" \
        "$ours" "$peer" time "<=" 3
}

# ---------------------------------------------------------------- run

: >"$W/results"
SERVERS_DONE=0

if [ "$SERVER_ROWS" = 1 ]; then
    [ "$HAVE_SERVER" = 1 ] || die "--servers needs torvex-server at $TORVEX_SERVER"
    start_vsftpd || die "vsftpd could not be started"
    start_torvex_server || die "torvex-server could not be started"
    for pair in "$VSFTPD_PORT anonymous bench@" "$TSERVER_PORT bench benchpw"; do
        # shellcheck disable=SC2086
        addr=$(probe_pasv $pair) && [[ $addr == 127.* ]] || die "PASV probe of port ${pair%% *} gave '${addr:-nothing}'"
    done
    measure_servers
    SERVERS_DONE=2
elif start_vsftpd; then
    if addr=$(probe_pasv "$VSFTPD_PORT" anonymous bench@) && [[ $addr == 127.* ]]; then
        S_PORT=$VSFTPD_PORT; S_USER=anonymous; S_PASS=bench@
        CLI=("$TORVEX_CLI" --port "$S_PORT" --user "$S_USER" --password "$S_PASS" 127.0.0.1)
        measure_server vsftpd
        SERVERS_DONE=$((SERVERS_DONE + 1))
    else
        log "vsftpd skipped: PASV probe gave '${addr:-nothing}'"
    fi
else
    log "vsftpd could not be started; see its messages above"
fi

if [ "$SERVER_ROWS" = 1 ]; then
    :
elif [ "$HAVE_SERVER" = 1 ] && [ "$HAVE_SERVER_WANTED" = 0 ]; then
    log "torvex-server left out (--vsftpd-only)"
elif [ "$HAVE_SERVER" = 1 ]; then
    if start_torvex_server; then
        if addr=$(probe_pasv "$TSERVER_PORT" bench benchpw) && [[ $addr == 127.* ]]; then
            S_PORT=$TSERVER_PORT; S_USER=bench; S_PASS=benchpw
            CLI=("$TORVEX_CLI" --port "$S_PORT" --user "$S_USER" --password "$S_PASS" 127.0.0.1)
            measure_server torvex-server
            SERVERS_DONE=$((SERVERS_DONE + 1))
        else
            log "torvex-server skipped: its PASV answer '${addr:-nothing}' is not a loopback address"
        fi
    fi
else
    log "no torvex-server at $TORVEX_SERVER: measuring against vsftpd only"
fi
[ "$HAVE_CLI" = 1 ] || [ "$SERVER_ROWS" = 1 ] || log "no torvex-cli at $TORVEX_CLI: our figures are n/a"

# ---------------------------------------------------------------- table

print_table() { # prints the results as an aligned pipe table (valid Markdown)
    awk -F'|' '
        BEGIN { h[1]="server"; h[2]="metric"; h[3]="ours"; h[4]="peer"; h[5]="ratio"; h[6]="goal"; h[7]="result"
                for (i = 1; i <= 7; i++) w[i] = length(h[i]) }
        { n++; for (i = 1; i <= 7; i++) { c[n, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
        function row(a1,a2,a3,a4,a5,a6,a7,   i, v) {
            v[1]=a1; v[2]=a2; v[3]=a3; v[4]=a4; v[5]=a5; v[6]=a6; v[7]=a7
            line = "|"; for (i = 1; i <= 7; i++) line = line sprintf(" %-" w[i] "s |", v[i]); print line }
        END {
            row(h[1],h[2],h[3],h[4],h[5],h[6],h[7])
            line = "|"; for (i = 1; i <= 7; i++) { d = ""; for (j = 0; j < w[i] + 2; j++) d = d "-"; line = line d "|" } print line
            for (r = 1; r <= n; r++) row(c[r,1],c[r,2],c[r,3],c[r,4],c[r,5],c[r,6],c[r,7])
        }' "$W/results"
}

CPU=$(awk -F': ' '/model name/{print $2; exit}' /proc/cpuinfo)
MEM=$(awk '/MemTotal/{printf "%.1f GiB", $2/1048576}' /proc/meminfo)
{
    echo
    echo "FTP Torvex benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "machine: $(nproc) CPUs, ${CPU:-unknown CPU}, $MEM RAM; work folder on $WORK_NOTE"
    echo "command: bash bench/run.sh --build $BUILD --runs $RUNS --size-mib $SIZE_MIB$([ "$SERVER_ROWS" = 1 ] && echo " --servers"); median of $RUNS runs"
    echo "torvex-cli: $([ "$HAVE_CLI" = 1 ] && echo "$TORVEX_CLI" || echo "not built")"
    echo
    print_table
} | tee "$W/table.txt"

if [ -n "$MARKDOWN_OUT" ]; then
    cp "$W/table.txt" "$MARKDOWN_OUT"
fi

[ "$SERVERS_DONE" -gt 0 ] || exit 1
if grep -q '|FAIL$' "$W/results"; then exit 3; fi
exit 0
