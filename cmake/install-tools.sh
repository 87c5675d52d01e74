#!/bin/sh
# Installs what the build and the tests need and this machine lacks, and
# nothing else: the MinGW-w64 cross-compilers for both editions, Wine (32-
# and 64-bit), GoogleTest's sources, CMake, the LLVM tools that make and
# prove the kit's MSVC import libraries (llvm-dlltool, clang, lld-link), and
# pkg-config, which proves its .pc files.
# Debian; run as root.
#
# Where the kernel runs no 32-bit Linux programs (its IA-32 emulation is off),
# 32-bit Wine runs under qemu's user-mode emulator instead, registered with
# binfmt_misc. Only qemu 10 or later runs Wine's threads reliably; older ones
# crash them, so an older registration is replaced.
set -e

missing=""
need() { missing="$missing $1"; }
installed() { dpkg -s "$1" >/dev/null 2>&1; }

command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || need g++-mingw-w64-i686-posix
command -v x86_64-w64-mingw32-g++-posix >/dev/null 2>&1 || need g++-mingw-w64-x86-64-posix
installed wine || need wine
installed wine32:i386 || need wine32:i386
installed wine32-preloader:i386 || need wine32-preloader:i386
installed wine64 || need wine64
[ -d /usr/src/googletest ] || need googletest
command -v cmake >/dev/null 2>&1 || need cmake
command -v flock >/dev/null 2>&1 || need util-linux
command -v llvm-dlltool >/dev/null 2>&1 || need llvm
command -v clang >/dev/null 2>&1 || need clang
command -v lld-link >/dev/null 2>&1 || need lld
command -v pkg-config >/dev/null 2>&1 || need pkgconf

apt_install() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" >/dev/null
}

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    apt_install $missing
fi

binfmt=/proc/sys/fs/binfmt_misc
entry=$binfmt/qemu-i386
runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
qemu_major() { "$1" --version 2>/dev/null | sed -n '1s/.* version \([0-9]*\)\..*/\1/p'; }
registered_qemu() { sed -n 's/^interpreter //p' $entry 2>/dev/null; }

# Already served by a recent enough emulator: nothing to do.
if grep -qs '^enabled' $entry && [ "$(qemu_major "$(registered_qemu)")" -ge 10 ] 2>/dev/null; then
    runs_i386 && exit 0
fi
# An older emulator's entry goes; then 32-bit code runs natively, or not at all.
[ -f $entry ] && echo -1 > $entry
runs_i386 && exit 0

echo "This kernel runs no 32-bit programs: registering qemu-i386 (10 or later) for them"
if [ "$(qemu_major /usr/bin/qemu-i386)" -ge 10 ] 2>/dev/null; then
    :
elif grep -qs '^VERSION_CODENAME=bookworm' /etc/os-release; then
    # bookworm's own qemu is 7.2; its backports carry 10.
    backports=/etc/apt/sources.list.d/bookworm-backports.list
    grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d ||
        echo 'deb http://deb.debian.org/debian bookworm-backports main' > $backports
    apt-get update -qq
    apt_install -t bookworm-backports qemu-user
else
    apt-get update -qq
    apt_install qemu-user
fi
qemu=/usr/bin/qemu-i386
[ "$(qemu_major $qemu)" -ge 10 ] 2>/dev/null || { echo "$qemu is older than 10" >&2; exit 1; }

[ -f $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
# i386 ELF executables; F keeps the interpreter usable from any mount namespace.
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' > $binfmt/register
runs_i386
