#!/bin/sh
# Installs what the build and the tests need and this machine lacks, and
# nothing else: the MinGW-w64 i686 cross-compiler, 32-bit Wine, GoogleTest's
# sources and CMake. Debian; run as root.
#
# Where the kernel runs no 32-bit Linux programs (its IA-32 emulation is off),
# 32-bit Wine runs under qemu's user-mode emulator instead, registered with
# binfmt_misc; Wine's preloader and the native 64-bit wineserver keep that fast.
set -e

missing=""
need() { missing="$missing $1"; }
installed() { dpkg -s "$1" >/dev/null 2>&1; }

command -v i686-w64-mingw32-g++-posix >/dev/null 2>&1 || need g++-mingw-w64-i686
installed wine || need wine
installed wine32:i386 || need wine32:i386
installed wine32-preloader:i386 || need wine32-preloader:i386
installed wine64 || need wine64
[ -d /usr/src/googletest ] || need googletest
command -v cmake >/dev/null 2>&1 || need cmake
command -v flock >/dev/null 2>&1 || need util-linux

runs_i386() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

runs_i386 && exit 0

echo "This kernel runs no 32-bit programs: registering qemu-i386 for them"
command -v qemu-i386-static >/dev/null 2>&1 || {
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user-static >/dev/null
}
binfmt=/proc/sys/fs/binfmt_misc
[ -f $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
[ -f $binfmt/qemu-i386 ] && echo -1 > $binfmt/qemu-i386
# i386 ELF executables; F keeps the interpreter usable from any mount namespace.
printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' > $binfmt/register
runs_i386
