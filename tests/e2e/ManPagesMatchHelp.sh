#!/bin/bash
# Each manual page names exactly the options and the exit statuses that its program's --help
# gives, so neither can change without the other.
#   ManPagesMatchHelp.sh MANDIR PROGRAM...      (MANDIR holds PROGRAM.1.in for each)
set -uo pipefail

mandir=$1
shift
failed=0
fail() {
    echo "FAIL: $*" >&2
    failed=1
}
# Options as a sorted list: -x and --long-name, not the hyphen inside a word.
options() { grep -oP '(?<![\w\\-])--?[a-z][a-z0-9-]*' | sort -u; }

for program in "$@"; do
    name=$(basename "$program")
    page=$mandir/$name.1.in
    help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help) || fail "$name --help failed"
    # The page as text: roff's \- is a hyphen, and its requests keep their arguments.
    source=$(sed 's/\\-/-/g' "$page")
    [ -n "$source" ] || { fail "$page is missing or empty"; continue; }

    page_options=$(options <<<"$source")
    help_options=$(options <<<"$help")
    [ -n "$help_options" ] || fail "$name --help names no option"
    [ "$page_options" = "$help_options" ] ||
        fail "$name: options differ (< manual page, > --help):" \
            "$(diff <(echo "$page_options") <(echo "$help_options") | grep '^[<>]' | tr '\n' ' ')"

    # EXIT STATUS: each ".TP" entry opens with the status in bold. --help: "  N  meaning" lines
    # after its "exit status:" heading.
    page_statuses=$(sed -n '/^\.SH EXIT STATUS/,/^\.SH/p' <<<"$source" |
        grep -A1 '^\.TP' | sed -n 's/^\.B \([0-9][0-9]*\)$/\1/p' | sort -n | tr '\n' ' ')
    help_statuses=$(sed -n '/^[Ee]xit status:/,$p' <<<"$help" |
        sed -n 's/^  \([0-9][0-9]*\)  .*/\1/p' | sort -n | tr '\n' ' ')
    [ -n "$help_statuses" ] || fail "$name --help lists no exit status"
    [ "$page_statuses" = "$help_statuses" ] ||
        fail "$name: exit statuses differ: manual page '$page_statuses', --help '$help_statuses'"
done
exit $failed
