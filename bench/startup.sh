#!/bin/sh
# Start-up benchmark: time from process start to the window on screen (target under 250 ms),
# and the window built again in the same process. Runs the real window under Xvfb with a fresh settings folder.
# Usage: bench/startup.sh [build folder] [runs]
set -eu
build=${1:-build}
runs=${2:-5}
bench="$build/bench/startup/startup_bench"
if [ ! -x "$bench" ]; then
  echo "startup.sh: $bench is not built (make build)" >&2
  exit 2
fi
if ! command -v xvfb-run >/dev/null; then
  echo "startup.sh: xvfb-run is missing (scripts/install-deps)" >&2
  exit 2
fi
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/.config" "$sandbox/run"
chmod 700 "$sandbox/run"
i=1
while [ "$i" -le "$runs" ]; do
  echo "run $i:"
  HOME=$sandbox XDG_CONFIG_HOME=$sandbox/.config XDG_RUNTIME_DIR=$sandbox/run \
    xvfb-run -a -s "-screen 0 1024x768x24" \
    sh -c 'exec "$0" "$(date +%s%N)" 20' "$bench" 2>/dev/null | sed 's/^/  /'
  i=$((i + 1))
done
