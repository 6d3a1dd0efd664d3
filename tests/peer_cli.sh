#!/bin/bash
# torvex-cli against pyftpdlib on 127.0.0.1: every command, exit statuses and the messages for a
# refused login, a missing path and an unreachable host; links and the login folder also against
# torvex-server.
set -u
CLI=${TORVEX_CLI:-}
[ -x "$CLI" ] || { echo "SKIP: torvex-cli not built"; exit 0; }
/usr/bin/python3 -c 'import pyftpdlib' 2>/dev/null || { echo "SKIP: pyftpdlib not installed"; exit 0; }

W=$(mktemp -d)
PID=""
cleanup() { [ -n "$PID" ] && kill "$PID" 2>/dev/null && wait "$PID" 2>/dev/null; rm -rf "$W"; }
trap cleanup EXIT
fails=0
check() { # check DESCRIPTION EXPECTED_STATUS ACTUAL_STATUS
    if [ "$2" = "$3" ]; then echo "ok   $1"; else echo "FAIL $1: status $3, expected $2"; fails=$((fails + 1)); fi
}

free_port() { /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1]); s.close()'; }
mkdir -p "$W/root/tree/sub dir" "$W/root/tree/empty" "$W/local" "$W/dl"
head -c 3000000 /dev/urandom >"$W/root/tree/big.bin"
echo "blank" >"$W/root/tree/sub dir/a b.txt"
cp -r "$W/root/tree" "$W/local/tree"

for attempt in 1 2 3 4 5; do
    PORT=$(free_port)
    /usr/bin/python3 -m pyftpdlib -i 127.0.0.1 -p "$PORT" -u u -P p -d "$W/root" -w >"$W/server.log" 2>&1 &
    PID=$!
    for i in $(seq 1 50); do
        if /usr/bin/python3 -c "import socket,sys; s=socket.create_connection(('127.0.0.1',$PORT),1); sys.exit(0 if s.recv(3)==b'220' else 1)" 2>/dev/null; then break 2; fi
        kill -0 "$PID" 2>/dev/null || break
        read -r -t 0.1 <> <(:) || true
    done
    kill "$PID" 2>/dev/null; wait "$PID" 2>/dev/null; PID=""
done
[ -n "$PID" ] || { echo "FAIL: pyftpdlib did not start"; exit 1; }

T="timeout 120 $CLI --port $PORT --user u --password p 127.0.0.1"

$T ls /tree >"$W/out" 2>&1; check "ls" 0 $?
grep -q "big.bin" "$W/out" && grep -q "sub dir" "$W/out" || { echo "FAIL ls output"; fails=$((fails + 1)); }

$T get /tree "$W/dl" >"$W/out" 2>&1; check "get folder" 0 $?
diff -r "$W/root/tree" "$W/dl/tree" >/dev/null || { echo "FAIL get: trees differ"; fails=$((fails + 1)); }
[ "$(grep -c '^ok ' "$W/out")" = 2 ] || { echo "FAIL get: one result line per file expected"; cat "$W/out"; fails=$((fails + 1)); }

$T get /tree/big.bin "$W/dl" >/dev/null 2>&1; check "get file" 0 $?
cmp -s "$W/root/tree/big.bin" "$W/dl/big.bin" || { echo "FAIL get file differs"; fails=$((fails + 1)); }

$T mkdir /up >/dev/null 2>&1; check "mkdir" 0 $?
$T put "$W/local/tree" /up >/dev/null 2>&1; check "put folder" 0 $?
cmp -s "$W/local/tree/big.bin" "$W/root/up/tree/big.bin" && cmp -s "$W/local/tree/sub dir/a b.txt" "$W/root/up/tree/sub dir/a b.txt" \
    || { echo "FAIL put content"; fails=$((fails + 1)); }

$T mv /up/tree/big.bin /up >/dev/null 2>&1; check "mv into folder" 0 $?
[ -f "$W/root/up/big.bin" ] || { echo "FAIL mv"; fails=$((fails + 1)); }
$T chmod 600 /up/big.bin >/dev/null 2>&1; check "chmod" 0 $?
[ "$(stat -c %a "$W/root/up/big.bin")" = 600 ] || { echo "FAIL chmod mode"; fails=$((fails + 1)); }

$T compare "$W/local/tree" /tree >"$W/out" 2>&1; check "compare identical" 0 $?
echo "changed" >"$W/local/tree/sub dir/a b.txt"
$T compare "$W/local/tree" /tree >"$W/out" 2>&1; check "compare different" 1 $?
grep -q "different sub dir/a b.txt" "$W/out" || { echo "FAIL compare output"; cat "$W/out"; fails=$((fails + 1)); }

$T rm /up >/dev/null 2>&1; check "rm folder" 0 $?
[ ! -e "$W/root/up" ] || { echo "FAIL rm left the folder"; fails=$((fails + 1)); }

$T get /missing "$W/dl" >/dev/null 2>"$W/err"; check "missing remote path" 2 $?
grep -q "no such remote file or folder: /missing" "$W/err" || { echo "FAIL missing-path message"; fails=$((fails + 1)); }
$T get /tree "$W/nowhere" >/dev/null 2>"$W/err"; check "missing local folder" 2 $?
timeout 60 "$CLI" --port "$PORT" --user u --password wrong 127.0.0.1 ls / >/dev/null 2>"$W/err"; check "refused login" 4 $?
grep -q "login refused" "$W/err" || { echo "FAIL login message"; fails=$((fails + 1)); }
DEAD=$(free_port)
timeout 60 "$CLI" --port "$DEAD" 127.0.0.1 ls / >/dev/null 2>"$W/err"; check "unreachable host" 3 $?
grep -q "cannot connect to 127.0.0.1 port $DEAD" "$W/err" || { echo "FAIL unreachable message"; fails=$((fails + 1)); }
"$CLI" 127.0.0.1 frobnicate >/dev/null 2>&1; check "unknown command" 2 $?

# Links and the login folder, against pyftpdlib and our own server alike: a file in the login
# folder by its bare name, a rename within one folder, a link to a file fetched as that file, a
# link to a folder fetched as a folder (the server may name it by its real path), and rm of a
# link to a folder removing the link only.
link_checks() { # link_checks NAME ROOT COMMAND...
    local name=$1 root=$2; shift 2
    local dl="$W/dl-$name"
    rm -rf "$dl"; mkdir -p "$dl"
    "$@" get top.txt "$dl" >"$W/out" 2>&1; check "$name: get a file in the login folder" 0 $?
    cmp -s "$root/top.txt" "$dl/top.txt" || { echo "FAIL $name: top.txt differs"; fails=$((fails + 1)); }
    "$@" mv top.txt moved.txt >"$W/out" 2>&1; check "$name: mv within one folder" 0 $?
    [ -f "$root/moved.txt" ] || { echo "FAIL $name: mv did not rename"; cat "$W/out"; fails=$((fails + 1)); }
    "$@" get /flink "$dl" >"$W/out" 2>&1; check "$name: get a link to a file" 0 $?
    # With the content the server sends for it: our server sends a link's target text.
    [ -f "$dl/flink" ] && [ ! -L "$dl/flink" ] || { echo "FAIL $name: the link was not fetched as a file"; cat "$W/out"; fails=$((fails + 1)); }
    [ "$name" != pyftpdlib ] || cmp -s "$root/real/inner.txt" "$dl/flink" || { echo "FAIL $name: link content"; fails=$((fails + 1)); }
    "$@" get /lnk "$dl" >"$W/out" 2>&1; check "$name: get a link to a folder" 0 $?
    cmp -s "$root/real/inner.txt" "$dl/lnk/inner.txt" || { echo "FAIL $name: folder through a link"; cat "$W/out"; fails=$((fails + 1)); }
    "$@" put "$root/moved.txt" /lnk >"$W/out" 2>&1; check "$name: put into a link to a folder" 0 $?
    [ -f "$root/real/moved.txt" ] || { echo "FAIL $name: put through a link"; cat "$W/out"; fails=$((fails + 1)); }
    "$@" rm /lnk >"$W/out" 2>&1; check "$name: rm a link to a folder" 0 $?
    [ ! -L "$root/lnk" ] && [ -f "$root/real/inner.txt" ] \
        || { echo "FAIL $name: rm of the link touched its target"; cat "$W/out"; fails=$((fails + 1)); }
}
make_link_tree() { # make_link_tree ROOT
    mkdir -p "$1/real"
    echo "top" >"$1/top.txt"
    echo "inner" >"$1/real/inner.txt"
    ln -s real "$1/lnk"
    ln -s real/inner.txt "$1/flink"
}
make_link_tree "$W/root"
link_checks pyftpdlib "$W/root" $T

SERVER=${TORVEX_SERVER:-}
if [ -x "$SERVER" ]; then
    make_link_tree "$W/own"
    OWN_PORT=$(free_port)
    HOME="$W/home" XDG_CONFIG_HOME="$W/config" "$SERVER" --port "$OWN_PORT" --root "$W/own" --user u:p --address 127.0.0.1 >"$W/own.log" 2>&1 &
    OWN_PID=$!
    for i in $(seq 1 50); do
        /usr/bin/python3 -c "import socket,sys; s=socket.create_connection(('127.0.0.1',$OWN_PORT),1); sys.exit(0 if s.recv(3)==b'220' else 1)" 2>/dev/null && break
        read -r -t 0.1 <> <(:) || true
    done
    link_checks torvex-server "$W/own" timeout 120 "$CLI" --port "$OWN_PORT" --user u --password p 127.0.0.1
    kill "$OWN_PID" 2>/dev/null; wait "$OWN_PID" 2>/dev/null
else
    echo "SKIP: torvex-server not built"
fi

[ "$fails" = 0 ] && echo "all passed" || echo "$fails failed"
[ "$fails" = 0 ]
