#!/bin/sh
# Runs a Windows program under one of the project's Wine prefixes, creating
# the prefix once, under a lock, if it is not there yet.
# Usage: wine-run.sh PREFIX ARCH PROGRAM [ARGS...]   or   wine-run.sh PREFIX ARCH --init
# ARCH is the prefix's architecture: win32 for the 32-bit edition, win64 for x64.
set -e
WINEPREFIX=$1
WINEARCH=$2
shift 2
export WINEPREFIX WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=

# Debian's `wine` is the 32-bit loader, which starts 64-bit programs only by
# way of itself: where 32-bit code is emulated, that start would be too.
if [ "$WINEARCH" = win64 ]; then
    wine=/usr/lib/wine/wine64
    export WINELOADER=$wine
else
    wine=wine
fi

if [ ! -f "$WINEPREFIX/.ready" ]; then
    mkdir -p "$(dirname "$WINEPREFIX")"
    (
        flock 9
        if [ ! -f "$WINEPREFIX/.ready" ]; then
            $wine wineboot -i >/dev/null 2>&1
            # A crashing program ends at once instead of waiting on a debugger.
            $wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' \
                /v Debugger /f >/dev/null 2>&1 || true
            wineserver -w
            touch "$WINEPREFIX/.ready"
        fi
    ) 9>"$WINEPREFIX.lock"
fi

[ "$1" = "--init" ] && exit 0
# 32-bit code under qemu's user-mode emulator: figures are the emulator's,
# and before qemu 10 Wine's threads crash there, so tests that race threads
# skip themselves (reported as skipped) when told so.
entry=/proc/sys/fs/binfmt_misc/qemu-i386
if [ "$WINEARCH" = win32 ] && grep -qs '^enabled' $entry; then
    export VORNEL_EMULATED_CPU=1
    interpreter=$(sed -n 's/^interpreter //p' $entry)
    major=$("$interpreter" --version 2>/dev/null | sed -n '1s/.* version \([0-9]*\)\..*/\1/p')
    [ "${major:-0}" -ge 10 ] || export VORNEL_TEST_UNRELIABLE_THREADS=1
fi
# Listing a test program's tests changes nothing, and a listing that Wine
# leaves hanging at its exit (seen once in some hundred suites, after the
# whole list was printed) would stop the discovery of every test. So a
# listing that hangs, and only one that hangs, is tried again; its output
# is passed on only from the attempt that ended.
case " $* " in
*" --gtest_list_tests "*)
    listing=$(mktemp)
    for attempt in 1 2 3; do
        if timeout 40 $wine "$@" >"$listing"; then status=0; break; else status=$?; fi
        [ $status -eq 124 ] || break
        echo "wine-run.sh: listing attempt $attempt hung; trying again" >&2
    done
    cat "$listing"
    rm -f "$listing"
    exit $status
    ;;
esac
exec $wine "$@"
