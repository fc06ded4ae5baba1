#!/usr/bin/env bash
# Regenerates every screenshot in docs/ from the real program on its virtual meter, under an X
# server of its own. Look at each picture before committing it.
#
# Usage: tools/screenshots.sh [PELICARD]
#   PELICARD  a program already built; without it the program is built in build-screenshots/.
set -euo pipefail
PELICARD_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
source "$PELICARD_ROOT/tools/setup.sh"
pelicard_install xvfb xdotool imagemagick dbus at-spi2-core python3-pyatspi

pelicard="${1:-}"
if [ -z "$pelicard" ]; then
    pelicard_build "$PELICARD_ROOT/build-screenshots" -DPELICARD_TESTS=OFF -DPELICARD_BENCHMARKS=OFF
    pelicard="$PELICARD_ROOT/build-screenshots/src/app/pelicard"
fi

# The distribution's interpreter sees the distribution's accessibility bindings.
python=python3
[ -x /usr/bin/python3 ] && python=/usr/bin/python3
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$python" "$PELICARD_ROOT/tools/screenshots.py" --pelicard "$pelicard" --docs "$PELICARD_ROOT/docs" --work "$work"
