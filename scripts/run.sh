#!/bin/sh
# Builds Kestra and starts it on the embedded database of ~/Kestra (or
# $KESTRA_HOME), creating the demonstration database on the first run only.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
sh "$ROOT/scripts/setup.sh"
cmake -S "$ROOT" -B "$ROOT/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$ROOT/build" -j2 --target kestra kestra-cli

HOMEDIR="${KESTRA_HOME:-$HOME/Kestra}"
mkdir -p "$HOMEDIR/Programme" "$HOMEDIR/Donnees"

# The program reads ../CheminBase.ini from its working directory, Programme.
INI="$HOMEDIR/CheminBase.ini"
[ -f "$INI" ] || printf '[CheminBase]\r\nRep=%s\r\n' "$HOMEDIR/Donnees" > "$INI"

# A local directory without a database gets the demonstration one; a server
# path (host:/dir) is left to its administrator.
REP=$(sed -n 's/^[[:space:]]*[Rr][Ee][Pp][[:space:]]*=[[:space:]]*//p' "$INI" | tr -d '\r' | head -n 1)
case "$REP" in
    *:*) ;;
    *) [ -f "$REP/Kestra.GDB" ] || "$ROOT/build/app/kestra-cli" create-db "$REP" --demo >/dev/null ;;
esac

cd "$HOMEDIR/Programme"
exec "$ROOT/build/app/kestra"
