#!/bin/sh
# Runs a Windows program under the project's own 32-bit Wine prefix, creating
# the prefix once, under a lock, if it is not there yet.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]   or   wine-run.sh PREFIX --init
set -e
WINEPREFIX=$1
shift
export WINEPREFIX WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

if [ ! -f "$WINEPREFIX/.ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.ready" ]; then
            wineboot -i >/dev/null 2>&1
            # A crashing program ends at once instead of waiting on a debugger.
            wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
                /v Debugger /f >/dev/null 2>&1 || true
            wineserver -w
            touch "$WINEPREFIX/.ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi

[ "$1" = "--init" ] && exit 0
# Under qemu's user-mode emulation Wine's threads are not reliable; tests that
# race several threads skip themselves when told so.
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
    export VORNEL_TEST_EMULATED_CPU=1
fi
exec wine "$@"
