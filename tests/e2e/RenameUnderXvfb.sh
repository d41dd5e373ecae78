#!/bin/bash
# The real program under Xvfb, driven as a user would: pick a font in the home folder, change
# the family, make a new font, restore its names, close. Then the files on disk and the
# settings file are checked with quillmark-cli.
#   RenameUnderXvfb.sh QUILLMARK QUILLMARK_CLI
# Exit 77 (skipped) when Xvfb or xdotool is missing.
set -euo pipefail

QM=$1
CLI=$2
SOURCE_FONT=${SOURCE_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}

for tool in xvfb-run xdotool sha256sum; do
    command -v "$tool" >/dev/null || { echo "skipped: $tool missing"; exit 77; }
done
[ -r "$SOURCE_FONT" ] || { echo "skipped: $SOURCE_FONT missing"; exit 77; }

if [ -z "${QM_E2E_INSIDE:-}" ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    mkdir -p "$work/home" "$work/config" "$work/run"
    chmod 700 "$work/run"
    cp "$SOURCE_FONT" "$work/home/SOURCE.TTF"
    # Exit 3 from inside: the program found no display (another Xvfb took the number first).
    for attempt in 1 2 3; do
        rc=0
        QM_E2E_INSIDE=1 QM_E2E_WORK=$work HOME=$work/home XDG_CONFIG_HOME=$work/config \
            XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb \
            xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" "$0" "$@" || rc=$?
        [ "$rc" -eq 3 ] || exit "$rc"
        echo "no display on attempt $attempt; trying again"
        sleep 1
    done
    exit 1
fi

work=$QM_E2E_WORK
home=$work/home
fail() {
    echo "FAIL: $*" >&2
    command -v import >/dev/null && import -window root "$PWD/quillmark-e2e-failure.png" 2>/dev/null || true
    [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null || true
    exit 1
}
json_field() { # json_field FILE KEY
    "$CLI" read --json "$1" | sed -n "s/.*\"$2\": *\\(\"[^\"]*\"\\|true\\|false\\).*/\\1/p"
}

source_sum=$(sha256sum <"$home/SOURCE.TTF")

"$QM" &
pid=$!
wid=
for _ in $(seq 1 100); do
    wid=$(xdotool search --onlyvisible --name '^Quillmark' 2>/dev/null | head -n 1 || true)
    [ -n "$wid" ] && break
    sleep 0.1
done
if [ -z "$wid" ] && ! kill -0 "$pid" 2>/dev/null; then
    echo "the program ended before its window appeared" >&2
    exit 3
fi
[ -n "$wid" ] || fail "the window never appeared"
# No window manager runs here: give the window the keyboard focus as one would.
xdotool windowfocus --sync "$wid" || true
sleep 1
eval "$(xdotool getwindowgeometry --shell "$wid")"
# The caption bar, if the window carries one above the 432-pixel client area, shifts everything.
top=$((Y + HEIGHT - 432))
left=$X

click() { # click X Y, in client coordinates at 96 pixels per inch
    xdotool mousemove $((left + $1)) $((top + $2)) click 1
    sleep 0.4
}
keys() {
    xdotool key --delay 60 "$@"
    sleep 0.3
}
typetext() {
    xdotool type --delay 60 "$1"
    sleep 0.3
}

# The drive box: the second root is the home folder, which holds SOURCE.TTF.
click 501 292
keys Down Return
# The first (only) file of the list.
click 480 83
# The family box: select all of it and type the new family; Tab leaves it.
click 60 160
keys Home shift+End
typetext "Zeta Sans"
keys Tab
# "Create New Font Now", then the file name and Enter.
click 117 361
typetext "zeta"
keys Return
sleep 1

# Until a folder is fixed, new fonts go to the user's own font folder, whatever is browsed.
fonts=$home/.local/share/fonts
made=$fonts/ZETA.TTF
[ -f "$made" ] || fail "ZETA.TTF was not made in $fonts; home holds: $(ls -R "$home")"
[ "$(json_field "$made" FamilyName)" = '"Zeta Sans"' ] || fail "new family not written"
[ "$(json_field "$made" IsRenamed)" = true ] || fail "new file not marked renamed"
made_sum=$(sha256sum <"$made")

# "Restore Original Font Names" acts on the new file.
click 301 361
sleep 1
[ "$(json_field "$made" FamilyName)" = '"DejaVu Sans"' ] || fail "restore did not bring back the source family"
[ "$(sha256sum <"$made")" != "$made_sum" ] || fail "restore changed nothing"
[ "$(sha256sum <"$home/SOURCE.TTF")" = "$source_sum" ] || fail "the source font changed"

# Close with Alt+F4; where the program does not take it, ask the window to close as a
# window manager would.
ended() {
    for _ in $(seq 1 50); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    return 1
}
keys alt+F4
if ! ended; then
    /usr/bin/python3 "$(dirname "$0")/close_window.py" "$wid" || true
    ended || true
fi
if kill -0 "$pid" 2>/dev/null; then
    fail "the program did not close"
fi
wait "$pid" || fail "the program exited with status $?"
pid=

settings=$XDG_CONFIG_HOME/quillmark/HKEY_CURRENT_USER.reg
[ -f "$settings" ] || fail "no settings file at $settings"
for value in '"SoundOn"' '"Show Help"' '"Save To"' '"Version Reminder"'; do
    grep -q "^$value=" "$settings" || fail "settings file lacks $value: $(cat "$settings")"
done
grep -qF "\"Save To\"=\"$fonts/\"" "$settings" || fail "Save To is not $fonts/: $(cat "$settings")"
echo "ok"
