#!/bin/bash
# --help, --version and a wrong command line are answered on the terminal by all three programs
# with no display at all; only showing a window needs one.
#   AnswersWithoutDisplay.sh VERSION QUILLMARK GLYPHSEE QUILLMARK_CLI
set -uo pipefail

version=$1
shift
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
# run EXPECTED_STATUS PROGRAM ARGS...: stdout in $out, stderr in $err
run() {
    local expected=$1
    shift
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" 2>/tmp/qm-nodisplay-$$)
    status=$?
    err=$(cat /tmp/qm-nodisplay-$$)
    rm -f /tmp/qm-nodisplay-$$
    [ "$status" -eq "$expected" ] || fail "$* exited $status, not $expected: $err"
}

for program in "$@"; do
    name=$(basename "$program")
    for help in --help -h; do
        run 0 "$program" "$help"
        grep -qi "usage: *$name" <<<"$out" || fail "$name $help printed no usage: $out"
    done
    run 0 "$program" --version
    [ "$out" = "$name $version" ] || fail "$name --version printed '$out', not '$name $version'"
    run 2 "$program" --no-such-option
    grep -q -- "--help" <<<"$err" || fail "$name's usage error does not point to --help: $err"
    [ -z "$out" ] || fail "$name's usage error went to standard output: $out"
done

# The window programs without a display say so and end, rather than abort.
for program in "$1" "$2"; do
    run 1 "$program" /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
    grep -qi "display" <<<"$err" || fail "$(basename "$program") gave no hint about the display: $err"
done
# Two fonts are a usage error for both.
run 2 "$1" a.ttf b.ttf
run 2 "$2" a.ttf b.ttf
exit $failed
