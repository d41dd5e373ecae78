#!/bin/sh
# Window memory benchmark: peak resident memory of the window loading a real font, and the same
# font padded to 1 GiB and 2 GiB with a sparse tail (no disk space used). A window that maps the
# font stays near the first figure; one that reads the file whole grows by the padding.
# Usage: bench/window-memory.sh [build folder] [font]
set -eu
build=${1:-build}
font=${2:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
bench="$build/bench/memory/memory_bench"
if [ ! -x "$bench" ]; then
  echo "window-memory.sh: $bench is not built (make build)" >&2
  exit 2
fi
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/.config" "$sandbox/run" "$sandbox/fonts"
chmod 700 "$sandbox/run"
cp "$font" "$sandbox/fonts/REAL.TTF"
for size in 1G 2G; do
  cp "$font" "$sandbox/fonts/PAD$size.TTF"
  truncate -s "$size" "$sandbox/fonts/PAD$size.TTF"
done
for f in REAL PAD1G PAD2G; do
  HOME=$sandbox XDG_CONFIG_HOME=$sandbox/.config XDG_RUNTIME_DIR=$sandbox/run \
  QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen} \
    "$bench" "$sandbox/fonts/$f.TTF" 2>/dev/null
done
