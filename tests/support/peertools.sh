# shellcheck shell=bash
# Shell peer tests' and bench/ftps-run.sh's helpers; expects W (scratch) and PIDS (to end at exit).
fails=0
bad() { echo "FAIL $1"; cat "$W/out" "$W/err" 2>/dev/null; fails=$((fails + 1)); }
expect() { # expect STATUS DESCRIPTION [--out|--err TEXT] COMMAND...: status and TEXT in that output
    local status=$1 what=$2 stream="" text=""
    shift 2
    case $1 in --out | --err) stream=${1#--} text=$2 && shift 2 ;; esac
    "$@" >"$W/out" 2>"$W/err"
    local got=$?
    [ "$got" = "$status" ] || { bad "$what: status $got, expected $status"; return; }
    [ -z "$stream" ] || grep -q -- "$text" "$W/$stream" || { bad "$what: no $text"; return; }
    echo "ok   $what"
}
finish() { echo "$fails failed"; [ "$fails" = 0 ]; }
stop_all() {
    for p in $PIDS; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null || true; done
    rm -rf "$W"
}
free_port() {
    /usr/bin/python3 -c 'import socket; print(socket.create_server(("127.0.0.1", 0)).getsockname()[1])'
}
wait_greeting() { # wait_greeting PORT: up to 5 s for a 220
    for _ in $(seq 1 50); do
        timeout 2 bash -c "head -c 3 </dev/tcp/127.0.0.1/$1" 2>/dev/null | grep -q 220 && return 0
        sleep 0.1
    done
    return 1
}
make_cert() { # make_cert NAME: a self-signed NAME.pem and NAME.key for 127.0.0.1 in $W
    openssl req -x509 -newkey rsa:2048 -nodes -keyout "$W/$1.key" -out "$W/$1.pem" -days 2 \
        -subj "/CN=127.0.0.1" -addext "subjectAltName=IP:127.0.0.1" 2>/dev/null
}
fingerprint() { openssl x509 -in "$1" -noout -fingerprint -sha256 | cut -d= -f2; }
ftp_account() { getent passwd ftp >/dev/null && echo ftp || echo nobody; }

# start_vsftpd NAME CERT [MAXPROTOCOL]: vsftpd as root on 127.0.0.1 serving $W/root to anonymous
# users, writable where the ftp account may write; TLS required for logins and data, data
# connections must resume the control connection's TLS session. Sets PORT.
start_vsftpd() {
    local name=$1 pasv
    printf '%s\n' "openssl_conf = conf" "[conf]" "ssl_conf = ssl" "[ssl]" "system_default = sys" \
        "[sys]" "MaxProtocol = ${3:-TLSv1.3}" >"$W/$name.cnf"
    PORT=$(free_port)
    pasv=$(free_port)
    mkdir -p "$W/empty"
    # Plain settings for a private instance: loopback only, no sandbox, no chroot jail of its own.
    printf '%s\n' listen=YES listen_address=127.0.0.1 "listen_port=$PORT" background=NO \
        anonymous_enable=YES no_anon_password=YES local_enable=NO "ftp_username=$(ftp_account)" \
        "anon_root=$W/root" write_enable=YES anon_upload_enable=YES anon_mkdir_write_enable=YES \
        anon_other_write_enable=YES anon_umask=022 port_enable=NO pasv_address=127.0.0.1 \
        "pasv_min_port=$pasv" "pasv_max_port=$((pasv + 100 > 65535 ? 65535 : pasv + 100))" \
        "secure_chroot_dir=$W/empty" seccomp_sandbox=NO isolate=NO isolate_network=NO \
        ssl_enable=YES allow_anon_ssl=YES force_anon_logins_ssl=YES force_anon_data_ssl=YES \
        require_ssl_reuse=YES "rsa_cert_file=$W/$2.pem" "rsa_private_key_file=$W/$2.key" \
        >"$W/$name.conf"
    OPENSSL_CONF="$W/$name.cnf" /usr/sbin/vsftpd "$W/$name.conf" >"$W/$name.log" 2>&1 &
    PIDS="$PIDS $!"
    wait_greeting "$PORT" || { echo "vsftpd $name did not start"; cat "$W/$name.log"; return 1; }
}
