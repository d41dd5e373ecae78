#!/bin/sh
# Browser benchmarks: folder change into 10,000 .ttf files (target under 150 ms) and the load
# of a 5 MB+ font (target under 50 ms). Usage: bench/browse.sh [build folder] [font]
set -eu
build=${1:-build}
font=${2:-}
if [ -z "$font" ]; then
  # The largest installed TrueType file of at least 5 MB.
  font=$(find /usr/share/fonts -iname '*.ttf' -size +5M -printf '%s %p\n' 2>/dev/null |
         sort -n | tail -1 | cut -d' ' -f2-)
fi
if [ -z "$font" ]; then
  echo "no TrueType file of 5 MB or more under /usr/share/fonts; pass one" >&2
  exit 2
fi
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/.config" "$sandbox/run"
chmod 700 "$sandbox/run"
HOME=$sandbox XDG_CONFIG_HOME=$sandbox/.config XDG_RUNTIME_DIR=$sandbox/run \
QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
  "$build/bench/browse/browse_bench" "$font" 10000 15
