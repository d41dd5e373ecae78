# Sourced by the window benchmarks: a fresh home, settings and runtime folder, removed on exit,
# and the whole script re-run once inside its own Xvfb, so that the real window and its baseline
# share one display server and no desktop's.
if [ "${QM_BENCH_XVFB:-}" != inside ]; then
  command -v xvfb-run >/dev/null || { echo "$0: xvfb-run is missing (scripts/install-deps bench)" >&2; exit 2; }
  QM_BENCH_XVFB=inside exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
sandbox=$(mktemp -d)
trap 'rm -rf "$sandbox"' EXIT
mkdir -p "$sandbox/.config" "$sandbox/run"
chmod 700 "$sandbox/run"
export HOME=$sandbox XDG_CONFIG_HOME=$sandbox/.config XDG_RUNTIME_DIR=$sandbox/run
export XDG_DATA_HOME=$sandbox/.local/share QT_QPA_PLATFORM=xcb

