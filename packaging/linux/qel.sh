#!/bin/sh
# Starts Qel from its data folder: the game reads its picture, music and
# sounds from the folder it runs in. Paths are found from where this script
# lies, so an unpacked copy of the package runs as well as the installed one.
here=$(dirname "$(readlink -f "$0")")
prefix=$(dirname "$here")
cd "$prefix/share/games/qel" || exit 1
exec "$prefix/lib/games/qel/qel" "$@"
