# shellcheck shell=bash
# Sourced by the window benchmarks: a fresh home, settings and runtime folder, and a display
# server of their own, both gone on exit (cleanup_window_env). Xvfb picks a free display number
# itself (-displayfd), so that Xvfbs started at the same moment by other jobs never share one.
command -v Xvfb >/dev/null || { echo "$0: Xvfb is missing (scripts/install-deps bench)" >&2; exit 2; }
sandbox=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$sandbox/display" 2>"$sandbox/xvfb.log" &
xvfb=$!
cleanup_window_env() {
  kill "$xvfb" 2>/dev/null || true
  wait "$xvfb" 2>/dev/null || true
  rm -rf "$sandbox"
}
trap cleanup_window_env EXIT
for _ in $(seq 100); do
  [ -s "$sandbox/display" ] && break
  sleep 0.1
done
[ -s "$sandbox/display" ] || { echo "$0: Xvfb did not start: $(cat "$sandbox/xvfb.log")" >&2; exit 1; }
DISPLAY=":$(cat "$sandbox/display")"
export DISPLAY
unset XAUTHORITY WAYLAND_DISPLAY
mkdir -p "$sandbox/.config" "$sandbox/run"
chmod 700 "$sandbox/run"
export HOME=$sandbox XDG_CONFIG_HOME=$sandbox/.config XDG_RUNTIME_DIR=$sandbox/run
export XDG_DATA_HOME=$sandbox/.local/share QT_QPA_PLATFORM=xcb
