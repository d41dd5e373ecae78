#!/usr/bin/env bash
# `quillmark-cli read --json` of 1,000 fonts: the Windows build under Wine against the Linux build
# on the same machine (target: within 2x). The Wine figure is a Wine figure, never a Windows one.
# The machine's fonts are linked under short names, repeated to 1,000, so that one call takes
# them all within the 32,767 characters of a Windows command line. Wine's server is kept running
# and warmed up, as a Windows session's is.
# Measured at rest on the 2-core machine: Linux 10.9 ms, Wine 79.9 ms, 7.3x (MISSED); Wine's own
# start is 13 ms against 1.6 ms, and each font costs Wine about seven requests to its server
# (strace -c: 9,378 writes and 7,576 reads on its socket for 1,000 fonts) where Linux makes five
# system calls (open, fstat, flock, pread, close).
# usage: bench/windows-read.sh BUILD [WINDOWS_BUILD]   (WINDOWS_BUILD: build-windows)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
winbuild=${2:-build-windows}
cli="$build/cli/quillmark-cli"
exe="$(cd "$(dirname "$winbuild/x")" && pwd)/quillmark-cli.exe"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
for need in "$cli" "$exe" "$wine"; do
  if [ ! -x "$need" ] && [ ! -f "$need" ]; then
    echo "windows-read: $need is missing (make windows, scripts/install-deps windows); skipped"
    exit 0
  fi
done
command -v hyperfine >/dev/null || { echo "windows-read: hyperfine is missing" >&2; exit 1; }

work=$(mktemp -d)
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml='
unset DISPLAY WAYLAND_DISPLAY
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$work"' EXIT
"$wine" wineboot -i >/dev/null 2>&1
"$wineserver" -p || true

mapfile -t fonts < <(find /usr/share/fonts -type f \( -iname '*.ttf' -o -iname '*.otf' \) | sort)
mkdir "$work/fonts"
names=()
for ((i = 0; i < 1000; ++i)); do
  font=${fonts[i % ${#fonts[@]}]}
  name=$(printf 'f%04d.%s' "$i" "${font##*.}")
  ln -s "$font" "$work/fonts/$name"
  names+=("$name")
done
cd "$work/fonts"
args=$(printf '%s ' "${names[@]}")
"$wine" "$exe" read --json "${names[@]}" | cmp - <("$cli" read --json "${names[@]}") ||
  { echo "windows-read: the two builds print different records" >&2; exit 1; }

echo "== read --json of 1,000 fonts (${#fonts[@]} distinct): Linux build vs Windows build under Wine"
hyperfine -N -i --style basic --warmup 3 --min-runs 20 --export-json "$work/r.json" \
  -n linux "$cli read --json $args" \
  -n windows-under-wine "$wine $exe read --json $args" >"$work/r.log"
/usr/bin/python3 - "$work/r.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
base = next(r for r in results if r["command"] == "linux")["mean"]
for r in results:
    print(f"  {r['command']:<20} {r['mean'] * 1000:9.2f} ms   {r['mean'] / base:6.2f}x linux")
wine = next(r for r in results if r["command"] == "windows-under-wine")["mean"] / base
print(f"  read of 1,000 fonts, Windows build under Wine / Linux build: {wine:.2f}x "
      f"(target at most 2x: {'met' if wine <= 2 else 'MISSED'})")
PY
