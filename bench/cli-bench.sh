#!/usr/bin/env bash
# quillmark-cli benchmarks, each measured side by side in one hyperfine run:
#  (a) a family of four styles renamed in one `make --out-dir` call vs four single-file calls;
#  (b) `read --all --json` of every font under /usr/share/fonts vs `read --json` of the same;
#  (c) `restore` of a renamed copy of the largest TTF vs `sync` of that file (target: at most
#      1.2x). Measured at rest on the 2-core machine (fsync nearly free there, so the program's
#      start dominates both): 1.55x to 1.78x; the binary of d49333f measured 1.74x the same way.
# usage: bench/cli-bench.sh BUILD
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
cli="$build/cli/quillmark-cli"
python=/usr/bin/python3
[ -x "$cli" ] || { echo "cli-bench: $cli is missing; build first" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "cli-bench: hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Prints "name mean ratio" lines from a hyperfine export, ratios against the row named $2.
ratios() {
  "$python" - "$1" "$2" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
base = next(r for r in results if r["command"] == sys.argv[2])["mean"]
for r in results:
    print(f"  {r['command']:<16} {r['mean'] * 1000:9.2f} ms   {r['mean'] / base:6.2f}x {sys.argv[2]}")
PY
}

dejavu=/usr/share/fonts/truetype/dejavu
styles=(DejaVuSans DejaVuSans-Bold DejaVuSans-Oblique DejaVuSans-BoldOblique)
family=()
singles=""
for style in "${styles[@]}"; do
  family+=("$dejavu/$style.ttf")
  singles+="$cli make $dejavu/$style.ttf $work/out/$style.ttf --family Bench >/dev/null; "
done
echo "== (a) a family of ${#styles[@]} styles: one call vs one call per style"
# Both through the shell, so that neither pays for it alone.
hyperfine --style basic --warmup 3 --min-runs 20 --export-json "$work/a.json" \
  --prepare "rm -rf $work/out && mkdir $work/out" \
  -n four-calls "$singles" \
  -n one-call "$cli make --family Bench --out-dir $work/out ${family[*]} >/dev/null" >"$work/a.log"
ratios "$work/a.json" four-calls

mapfile -t fonts < <(find /usr/share/fonts -type f \( -iname '*.ttf' -o -iname '*.otf' \) | sort)
args=$(printf '%q ' "${fonts[@]}")
echo "== (b) names of ${#fonts[@]} fonts: read --all vs read"
# A font the reader refuses makes the exit status 1; that is an answer, not a failed run.
hyperfine -N -i --style basic --warmup 5 --min-runs 30 --export-json "$work/b.json" \
  -n read "$cli read --json $args" \
  -n read-all "$cli read --all --json $args" >"$work/b.log"
ratios "$work/b.json" read

largest=$(find /usr/share/fonts -type f -iname '*.ttf' -printf '%s %p\n' | sort -n | tail -1 | cut -d' ' -f2-)
"$cli" make "$largest" "$work/restore.ttf" --family Bench >/dev/null
echo "== (c) restore of a renamed copy of $(basename "$largest") vs sync of the file"
# Each restore swaps the names one way; the file is the same size and as dirty either way.
hyperfine -N --style basic --warmup 3 --min-runs 30 --export-json "$work/c.json" \
  -n sync "sync $work/restore.ttf" \
  -n restore "$cli restore $work/restore.ttf" >"$work/c.log"
ratios "$work/c.json" sync
echo "  target: restore at most 1.2x sync"
