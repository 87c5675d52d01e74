#!/bin/sh
# Runs COMMAND inside one Wine session of an edition's build tree: the prefix
# is made first, Wine's own services are started once and kept up by the
# tree's session program, and the session is ended after COMMAND, whatever
# its outcome. Exits with COMMAND's status.
# Usage: wine-session.sh BUILD_TREE ARCH COMMAND [ARGS...]
tree=$(cd "$1" && pwd)
arch=$2
shift 2
wine="$(dirname "$0")/wine-run.sh $tree/wineprefix $arch"

$wine --init || exit 1
$wine "$tree/bin/wine_session.exe" </dev/null >/dev/null 2>&1 &
$wine cmd.exe /c exit </dev/null >/dev/null 2>&1  # waits out the services' start
"$@"
status=$?
# -k only signals the server; -w waits until it is gone, so that the next
# session starts against no half-stopped server.
WINEPREFIX=$tree/wineprefix wineserver -k
WINEPREFIX=$tree/wineprefix wineserver -w
exit $status
