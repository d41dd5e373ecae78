#!/bin/bash
# The real window and HELP's balloon at 1.25x, 1.5x and 2x (QT_SCALE_FACTOR) and at Xft.dpi 144 and 192,
# screenshot read back pixel by pixel against the same window at 1x (scaled_window.py says
# what is measured).
#   ScaledWindow.sh QUILLMARK
# Exit 77 (skipped) when Xvfb, xdotool, xprop or ImageMagick is missing.
set -euo pipefail

QM=$1
here=$(cd "$(dirname "$0")" && pwd)

for tool in xvfb-run xdotool xprop import convert python3; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done

if [ -z "${QM_SCALED_INSIDE:-}" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/home" "$work/config" "$work/run" "$work/shots"
    chmod 700 "$work/run"
    # Exit 3 from inside: no display (another Xvfb took the number first).
    for attempt in 1 2 3; do
        rc=0
        QM_SCALED_INSIDE=1 QM_SCALED_WORK=$work HOME=$work/home XDG_CONFIG_HOME=$work/config \
            XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb \
            xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96 -noreset" "$0" "$@" || rc=$?
        [ "$rc" -eq 3 ] || break
        echo "no display on attempt $attempt; trying again"
        sleep 1
    done
    [ "$rc" -eq 0 ] || { cp "$work"/shots/*.png "$PWD/" 2>/dev/null || true; exit "$rc"; }
    exec python3 "$here/scaled_window.py" "$work/shots"
fi

xdotool getmouselocation >/dev/null 2>&1 || exit 3
shots=$QM_SCALED_WORK/shots

# shoot NAME RATIO [VAR=VALUE...]: the window as it first settles, with the given environment,
# then the screen with HELP's balloon showing.
shoot() {
    local name=$1 ratio=$2
    shift 2
    env "$@" "$QM" 2>/dev/null &
    local pid=$! win=""
    for _ in $(seq 1 150); do
        win=$(xdotool search --onlyvisible --name "^Quillmark 2" 2>/dev/null | head -1) &&
            [ -n "$win" ] && break
        sleep 0.1
    done
    [ -n "$win" ] || { echo "FAIL: $name: the window did not appear" >&2; kill $pid; exit 1; }
    # Settled: two shots 0.7 s apart differ at most by the text caret's blink (12 pixels at
    # 1x), so lists filled after the first frame are in.
    local settled=""
    sleep 1
    import -window "$win" "$shots/$name.png"
    for _ in $(seq 1 15); do
        sleep 0.7
        import -window "$win" "$shots/$name.next.png"
        local diff
        diff=$(compare -metric AE "$shots/$name.png" "$shots/$name.next.png" null: 2>&1 || true)
        mv "$shots/$name.next.png" "$shots/$name.png"
        if [ "${diff%% *}" -le 60 ] 2>/dev/null; then settled=1; break; fi
    done
    [ -n "$settled" ] || { echo "FAIL: $name: the window kept changing" >&2; kill $pid; exit 1; }
    # The pointer resting on HELP (70, 414 in the window at 1x) until its balloon shows.
    local at
    for at in "69, 413" "70, 414"; do
        xdotool mousemove --window "$win" $(python3 -c "print(*(round(v * $ratio) for v in ($at)))")
        sleep 0.3
    done
    sleep 2
    import -window root "$shots/$name.balloon.png"
    kill $pid 2>/dev/null || true
    wait $pid 2>/dev/null || true
}

# The X resource Qt reads its logical DPI from, as `xrdb -merge` would set it (the server runs
# with -noreset, or the property would go with the last client).
xft_dpi() { xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "Xft.dpi:	$1
"; }

shoot scale-1 1
shoot scale-1.25 1.25 QT_SCALE_FACTOR=1.25
shoot scale-1.5 1.5 QT_SCALE_FACTOR=1.5
shoot scale-2 2 QT_SCALE_FACTOR=2
xft_dpi 144
shoot dpi-144 1.5
xft_dpi 192
shoot dpi-192 2
xprop -root -remove RESOURCE_MANAGER
