#!/usr/bin/env bash
# A private CUPS server for the printing tests, so that they never touch the machine's own.
#
#   cups-test-server.sh start <dir>   starts cupsd on the Unix socket <dir>/cups.sock with the
#                                     default queue QuorvaPDF, whose PDFs land in <dir>/out, and
#                                     prints the line to export for clients
#   cups-test-server.sh stop <dir>    stops it
#
# Exits with 77 and says why on stderr when the server cannot be had here.
#
# cups-pdf reads its settings from /etc/cups only, whatever the device URI says, so cupsd runs
# in a mount namespace of its own where our cups-pdf.conf is bound over the system's file; the
# system's file and its other users never see the change.
set -euo pipefail

readonly queue=QuorvaPDF
readonly backend=/usr/lib/cups/backend/cups-pdf
readonly ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
readonly system_config=/etc/cups/cups-pdf.conf
readonly wait_seconds=60

skip() {
    echo "cups-test-server: $*" >&2
    exit 77
}

usage() {
    echo "usage: $0 start|stop <dir>" >&2
    exit 2
}

require_tools() {
    [ "$(id -u)" -eq 0 ] || skip "needs root (cups-pdf runs only as root)"
    local tool
    for tool in cupsd lpadmin lpstat lp gs pdftocairo unshare mount; do
        command -v "$tool" >/dev/null || skip "$tool is not installed"
    done
    [ -x "$backend" ] || skip "the cups-pdf backend is not installed ($backend)"
    [ -f "$ppd" ] || skip "the cups-pdf printer description is missing ($ppd)"
    [ -f "$system_config" ] || skip "$system_config is missing"
    unshare --mount true 2>/dev/null || skip "cannot make a private mount namespace"
}

# Whether the process runs, as the program named (by default any): a pid reused by another
# program is not ours, and a child that died before the script ended lingers as a zombie.
alive() {
    local stat
    stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
    [[ "${stat##*) }" != Z* ]] || return 1
    [ -z "${2:-}" ] || [[ "$stat" == *"($2) "* ]]
}

# The pid of our cupsd, or nothing once it is gone.
server_pid() {
    local pid
    pid="$(cat "$dir/cupsd.pid" 2>/dev/null)" || return 0
    if alive "$pid" cupsd; then echo "$pid"; fi
}

write_config() {
    cat >"$dir/etc/cups-files.conf" <<EOF
ServerRoot $dir/etc
RequestRoot $dir/spool
TempDir $dir/spool/tmp
CacheDir $dir/cache
StateDir $dir/state
AccessLog $dir/log/access_log
ErrorLog $dir/log/error_log
PageLog $dir/log/page_log
SystemGroup root
User lp
Group lp
EOF
    # Administration is for root alone: backends run as root.
    cat >"$dir/etc/cupsd.conf" <<EOF
LogLevel warn
Listen $dir/cups.sock
Browsing No
BrowseLocalProtocols none
DefaultShared No
WebInterface No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit CUPS-Add-Modify-Printer CUPS-Delete-Printer CUPS-Add-Modify-Class CUPS-Delete-Class CUPS-Set-Default CUPS-Accept-Jobs CUPS-Reject-Jobs Pause-Printer Resume-Printer>
    AuthType Default
    Require user @SYSTEM
    Order deny,allow
  </Limit>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
    # The queue's printer description labels every file with the job id, so equal titles
    # never overwrite each other.
    cat >"$dir/etc/cups-pdf.conf" <<EOF
Out $dir/out
AnonDirName $dir/out
Spool $dir/pdf-spool
Log $dir/log
GSTmp $dir/pdf-spool
Grp lp
EOF
}

wait_for_scheduler() {
    local pid="$1" tries
    # Until it execs cupsd the process is still unshare or sh.
    for ((tries = 0; tries < wait_seconds * 10; ++tries)); do
        [ "$(LC_ALL=C lpstat -r 2>/dev/null)" = "scheduler is running" ] && return 0
        alive "$pid" || break
        sleep 0.1
    done
    return 1
}

# Prints a page of PostScript and waits for its PDF: the whole chain has to work before the
# tests may rely on it.
probe_queue() {
    local probe="$dir/spool/probe.ps" tries
    printf '%s\n' '%!PS' '/Helvetica findfont 12 scalefont setfont' '72 720 moveto' \
        '(probe) show showpage' >"$probe"
    lp -d "$queue" -t probe "$probe" >/dev/null || return 1
    for ((tries = 0; tries < wait_seconds * 10; ++tries)); do
        [ -z "$(lpstat -o "$queue")" ] && break
        sleep 0.1
    done
    rm -f "$probe"
    compgen -G "$dir/out/*probe*.pdf" >/dev/null || return 1
    rm -f "$dir"/out/*probe*.pdf
}

# Everything that says why the server failed, on stderr.
show_logs() {
    local log
    for log in "$dir/log/cupsd.out" "$dir/log/error_log" "$dir/log/cups-pdf_log" \
        "$dir"/log/cups-pdf-*_log; do
        [ -s "$log" ] && tail -n 20 "$log" >&2
    done
    return 0
}

start() {
    require_tools
    mkdir -p "$dir"
    dir="$(cd "$dir" && pwd)"
    [ -z "$(server_pid)" ] || skip "a server already runs in $dir"
    # A socket path longer than this does not fit sockaddr_un.
    [ ${#dir} -lt 90 ] || skip "the folder name is too long for a socket: $dir"
    mkdir -p "$dir"/{etc,spool/tmp,cache,state,log,out,pdf-spool}
    # The filters run as lp and read the spool; nobody else gets in, socket included.
    chgrp lp "$dir"
    chmod 0710 "$dir"
    write_config
    rm -f "$dir/cups.sock"
    export CUPS_SERVER="$dir/cups.sock"

    # shellcheck disable=SC2016 # the inner shell expands its arguments
    unshare --mount --propagation private sh -c \
        'mount --bind "$1" "$2" && exec cupsd -f -c "$3" -s "$4"' cupsd \
        "$dir/etc/cups-pdf.conf" "$system_config" "$dir/etc/cupsd.conf" \
        "$dir/etc/cups-files.conf" </dev/null >"$dir/log/cupsd.out" 2>&1 &
    local pid=$!
    echo "$pid" >"$dir/cupsd.pid"
    if ! wait_for_scheduler "$pid"; then
        show_logs
        stop
        skip "cupsd did not start in $dir"
    fi
    # The PDF reaches cups-pdf as PostScript; the default renderer makes its text unreadable
    # (Type 3 fonts without character codes), pdftocairo keeps it.
    if ! lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" -o printer-is-shared=false \
        -o pdftops-renderer-default=pdftocairo >"$dir/log/lpadmin.out" 2>&1 ||
        ! lpadmin -d "$queue" >>"$dir/log/lpadmin.out" 2>&1; then
        cat "$dir/log/lpadmin.out" >&2
        stop
        skip "cannot add the queue $queue"
    fi
    if ! probe_queue; then
        show_logs
        stop
        skip "the queue $queue wrote no PDF within $wait_seconds s"
    fi
    printf 'export CUPS_SERVER=%q\n' "$dir/cups.sock"
}

stop() {
    local pid tries
    pid="$(server_pid)"
    rm -f "$dir/cupsd.pid"
    [ -n "$pid" ] || return 0
    kill -TERM "$pid"
    for ((tries = 0; tries < 100; ++tries)); do
        alive "$pid" cupsd || return 0
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
}

[ $# -eq 2 ] || usage
dir="$2"
case "$1" in
    start) start ;;
    stop)
        [ -d "$dir" ] || exit 0
        dir="$(cd "$dir" && pwd)"
        stop
        ;;
    *) usage ;;
esac
