#!/usr/bin/env bash
# A slow or hanging mount and the window's start. A FUSE mirror of a folder holding one font
# (bench/slow-mount/slowfs.py) answers every request, statfs included, only after DELAY seconds,
# as a sleeping network share or a failing USB stick does. The real window is started in Xvfb
# (bench/startup/StartupBench.cpp) and timed from its process start to its first frame painted:
#  (a) without the mount, for scale;
#  (b) with the mount present somewhere on the machine, nothing of it browsed;
#  (c) opening the font on the mount, as "quillmark FONT" (a file manager's "Open with") does.
# Start-up freezes when the first frame waits for the mount: DELAY seconds or more. The window
# should show at once and fill the folder in when the mount answers.
# Measured at f30831b with a delay of 2 s: (a) 0.2 s; (b) 2.2 s, the drive box's statfs of every
# mount; (c) no frame within 15 s: about 28 requests to the mount before the first frame.
# At 1592f37, the drive box reading the kernel's mount list: (a) 0.11 s; (b) 0.10 s; (c) still
# no frame within 15 s.
# With the font named at start opened after the first frame, its folder read on a thread of its
# own: (a) 0.06 s; (b) 0.07 s; (c) 0.06 s. The load of the font itself, once the folder has
# answered, still reads the file on the user-interface thread.
# usage: bench/slow-mount.sh [BUILD] [DELAY]    (needs /dev/fuse and python3-fusepy)
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
delay=${2:-2}
here=$(cd "$(dirname "$0")" && pwd)
window="$build/bench/startup/startup_bench"
[ -x "$window" ] || { echo "slow-mount.sh: $window is missing; build first" >&2; exit 2; }
if [ ! -e /dev/fuse ] || ! command -v fusermount >/dev/null ||
   ! /usr/bin/python3 -c 'import fusepy' 2>/dev/null; then
  echo "slow-mount.sh: skipped: needs /dev/fuse, fusermount and python3-fusepy" >&2
  exit 0
fi
# shellcheck source=bench/window-env.sh
. "$here/window-env.sh"
mkdir -p "$sandbox/source" "$sandbox/slow"
cp /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf "$sandbox/source/SLOW.TTF"
limit=$((delay * 5 + 5))

# first_frame ARGS...: seconds from the process start to the first frame, or "none" within limit.
first_frame() {
  local start end
  start=$(date +%s%N)
  if timeout -s KILL "$limit" "$window" "$@" >/dev/null 2>&1; then
    end=$(date +%s%N)
    awk -v ns=$((end - start)) 'BEGIN { printf "%.2f s", ns / 1e9 }'
  else
    echo "no frame within $limit s"
  fi
}
verdict() { # verdict "N.NN s"|"no frame...": frozen when the frame waited DELAY or more
  awk -v t="$1" -v d="$delay" 'BEGIN { split(t, p, " "); print (p[1] == "no" || p[1] + 0 >= d ? "FREEZES" : "does not freeze") }'
}

echo "== start-up beside a mount that answers after $delay s"
"$window" frame >/dev/null 2>&1 # warm the caches
plain=$(first_frame frame)
echo "  (a) no slow mount: first frame after $plain"

/usr/bin/python3 "$here/slow-mount/slowfs.py" "$sandbox/source" "$sandbox/slow" "$delay" &
fs=$!
unmount() {
  fusermount -u -z "$sandbox/slow" 2>/dev/null || true
  kill "$fs" 2>/dev/null || true
  wait "$fs" 2>/dev/null || true
  cleanup_window_env
}
trap unmount EXIT
for _ in $(seq 50); do
  grep -q " $sandbox/slow fuse" /proc/mounts && break
  sleep 0.1
done
if ! grep -q " $sandbox/slow fuse" /proc/mounts; then
  echo "slow-mount.sh: skipped: this user may not mount through FUSE here" >&2
  exit 0
fi

present=$(first_frame frame)
echo "  (b) a slow mount present: first frame after $present: $(verdict "$present")"
opened=$(first_frame open "$sandbox/slow/SLOW.TTF")
echo "  (c) a font on it opened at start: first frame after $opened: $(verdict "$opened")"
