#!/usr/bin/env bash
# Browser benchmarks on the real window, each against Qt doing the same work bare, in one
# process in Xvfb, rounds alternating which side goes first (bench/browse/BrowseBench.cpp):
#  - folder change into 10,000 .ttf files vs readdir plus a QListWidget fill of the same names
#    (target: at most 1.5x);
#  - load of the largest installed TrueType font of 5 MB or more (read, registered, strip
#    painted) vs QFontDatabase::addApplicationFont plus one paint of the same glyphs (target: at
#    most 1.2x).
# Measured under load average 6-8 at f30831b: folder change 1.6x to 2.2x; load of HanaMinB
# (30.7 MB) 18-39 ms against 3-8 ms, 3.6x to 5.9x.
# At bbcacbb, the style read from OS/2 and head instead of a raw copy of the face: folder change
# 13.7 ms against 10.1 ms, 1.45x; load of HanaMinB 3.2 ms against 2.6 ms, 1.20x (9 rounds).
# usage: bench/browse.sh [BUILD] [FONT]    (QM_BENCH_ROUNDS rounds, 15 by default)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
font=${2:-}
bench="$build/bench/browse/browse_bench"
[ -x "$bench" ] || { echo "browse.sh: $bench is missing; build first" >&2; exit 2; }
if [ -z "$font" ]; then
  font=$(find /usr/share/fonts -iname '*.ttf' -size +5M -printf '%s %p\n' 2>/dev/null |
         sort -n | tail -1 | cut -d' ' -f2-)
fi
if [ -z "$font" ]; then
  echo "browse.sh: no TrueType file of 5 MB or more under /usr/share/fonts; pass one" >&2
  exit 2
fi
# shellcheck source=bench/window-env.sh
. "$here/window-env.sh"
"$bench" "$font" 10000 "${QM_BENCH_ROUNDS:-15}" 2>/dev/null
