#!/usr/bin/env bash
# The window's memory for a font of any size: the resident memory that one load adds, and its
# peak, in the real window against the same font registered with addApplicationFont and painted
# once (bench/memory/MemoryBench.cpp), each in a process of its own, rounds alternating. Fonts: a
# small real one, the same padded to 1 GiB with a sparse tail (no disk space used), and the
# largest installed TrueType file. A window that reads or copies a font whole grows with it.
# Target: the window's growth, and its peak, at most 4 MiB beyond Qt's.
# Measured at f30831b: DejaVu Sans and its 1 GiB padding +0.5 MB beyond Qt's; HanaMinB
# +29.7 MB beyond Qt's (the strip keeps a copy of every table).
# usage: bench/window-memory.sh [BUILD] [SMALL FONT]    (QM_BENCH_ROUNDS rounds, 3 by default)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
small=${2:-/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf}
bench="$build/bench/memory/memory_bench"
[ -x "$bench" ] || { echo "window-memory.sh: $bench is missing; build first" >&2; exit 2; }
# shellcheck source=bench/window-env.sh
. "$here/window-env.sh"
rounds=${QM_BENCH_ROUNDS:-3}
largest=$(find /usr/share/fonts -type f -iname '*.ttf' -printf '%s %p\n' | sort -n | tail -1 | cut -d' ' -f2-)
mkdir "$sandbox/fonts"
cp "$small" "$sandbox/fonts/SMALL.TTF"
cp "$small" "$sandbox/fonts/PAD1G.TTF"
truncate -s 1G "$sandbox/fonts/PAD1G.TTF"
cp "$largest" "$sandbox/fonts/LARGEST.TTF"

echo "== memory of one load: the window vs addApplicationFont + one paint (KiB: growth, peak)"
for f in SMALL PAD1G LARGEST; do
  font="$sandbox/fonts/$f.TTF"
  results=()
  for round in $(seq 1 "$rounds"); do
    sides=(window qt)
    [ $((round % 2)) = 0 ] && sides=(qt window)
    for side in "${sides[@]}"; do
      results+=("$side $("$bench" "$side" "$font" 2>/dev/null || true)")
    done
  done
  /usr/bin/python3 - "$f" "$(basename "$([ $f = LARGEST ] && echo "$largest" || echo "$small")")" \
    "$(stat -c %s "$font")" "${results[@]}" <<'PY'
import statistics, sys
name, source, size = sys.argv[1], sys.argv[2], int(sys.argv[3])
got = {"window": [], "qt": []}
for line in sys.argv[4:]:
    side, *rest = line.split()
    if len(rest) != 3 or rest[2] != "loaded":
        print(f"  {name}: the {side} side did not load the font"); sys.exit(1)
    got[side].append((int(rest[0]), int(rest[1])))
med = {s: [statistics.median(v[i] for v in got[s]) for i in (0, 1)] for s in got}
excess = [med["window"][i] - med["qt"][i] for i in (0, 1)]
worst = max(excess) / 1024
print(f"  {name} ({source}, {size / 2**20:.0f} MiB): window +{med['window'][0] / 1024:.1f} MB, "
      f"peak +{med['window'][1] / 1024:.1f} MB; Qt +{med['qt'][0] / 1024:.1f} MB, "
      f"peak +{med['qt'][1] / 1024:.1f} MB")
print(f"    {name} beyond Qt's: {excess[0] / 1024:+.1f} MB, peak {excess[1] / 1024:+.1f} MB "
      f"(target at most 4 MB: {'met' if worst <= 4 else 'MISSED'})")
PY
done
