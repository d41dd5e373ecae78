#!/usr/bin/python3
"""Reads the window's screenshots at 1.25x, 1.5x and 2x back pixel by pixel.

At every ratio, against the same window at 1x:
  - size: the window is the 1x window times the ratio (to within 2 pixels);
  - counter: its dots are all found, every dot a filled square of one size, in exactly 7
    rows and 50 columns, evenly spaced (a merged or doubled row changes a count or a step);
  - frame lines: the counter's four frame lines are equally thick, and so are the file list's
    four frame lines and the four bevel edges of the HELP button (each of its 4 lines at
    least one device pixel); a lost line makes its side measure what lies beyond;
  - glyphs: the folder list's glyphs keep their outline colour in at least 3/4 of the ratio
    times the pixels it has at 1x (a 16-pixel glyph scaled up smoothly blurs its outline into
    other colours, about 1/4 of the ratio times at 1.5x and 2x);
  - likeness: the root-mean-square difference from the 1x screenshot scaled to the same size
    stays under 0.12 (a shifted, missing or garbled control costs far more than the text
    rendering differences, which measure about 0.09);
  - balloon: HELP's balloon help, on the screen, has its top and left outline equally thick
    (a 1x balloon scaled by 1.5 has 2-pixel lines beside 1-pixel ones);
and at whole ratios (2x), the title picture, a button's caption, the subtitle and the caption
bar's text are not
1x pixels doubled: at least 3% of their aligned 2 x 2 blocks are not one colour.

usage: scaled_window.py SHOTS_FOLDER (with scale-1.png and the scaled shots)
"""
import os
import re
import subprocess
import sys

RATIOS = {"scale-1.25": 1.25, "scale-1.5": 1.5, "scale-2": 2.0, "dpi-144": 1.5, "dpi-192": 2.0}

# Window coordinates at 1x (client area at 3, 22; Panel1 at 6, 8 inside it).
COUNTER_SEARCH = (400, 40, 610, 110)  # left, top, right, bottom around LCD_FontTotal
HELP = (31, 401, 79, 27)  # B_Help: bevel 4, border 2, caption centred
FILE_LIST = (419, 95, 170, 165)  # D_File, empty at start: its frame around a plain ground
FOLDER_LIST = (419, 331, 170, 91)  # D_Dir, its entries with folder glyphs
GLYPH_OUTLINE = (128, 128, 0)  # the folder glyphs' one-pixel outline
# The title picture, HELP's caption, the subtitle and the caption bar's text.
CRISP = [(71, 42, 317, 37), (41, 407, 59, 15), (28, 90, 230, 17), (24, 5, 300, 14)]
LIT, UNLIT, BLACK = (0, 255, 0), (0, 128, 0), (0, 0, 0)
FACE = (0, 128, 128)
BALLOON = (255, 255, 225)  # the balloon's fill


class Shot:
    def __init__(self, path):
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True,
                             capture_output=True).stdout
        header = re.match(rb"P6\s+(\d+)\s+(\d+)\s+255\s", ppm)
        assert header, path
        self.w, self.h = int(header.group(1)), int(header.group(2))
        self.data = ppm[header.end():header.end() + self.w * self.h * 3]
        self.path = path

    def first(self, colour):
        """The first pixel of `colour` row by row, as (x, y); None when there is none."""
        at = self.data.find(bytes(colour))
        while at >= 0 and at % 3:
            at = self.data.find(bytes(colour), at + 1)
        return None if at < 0 else (at // 3 % self.w, at // 3 // self.w)

    def px(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.data[i:i + 3])


def dots(shot, box):
    """The counter's dots: 4-connected runs of lit or unlit dot colour, as bounding boxes."""
    left, top, right, bottom = box
    mask = {(x, y) for y in range(top, bottom) for x in range(left, right)
            if shot.px(x, y) in (LIT, UNLIT)}
    found = []
    while mask:
        stack = [mask.pop()]
        xs, ys, n = [], [], 0
        while stack:
            x, y = stack.pop()
            xs.append(x); ys.append(y); n += 1
            for q in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                if q in mask:
                    mask.remove(q)
                    stack.append(q)
        found.append((min(xs), min(ys), max(xs) - min(xs) + 1, max(ys) - min(ys) + 1, n))
    return found


def even_steps(starts):
    steps = [b - a for a, b in zip(starts, starts[1:])]
    return len(set(steps)) <= 1, steps


def run(shot, x, y, dx, dy, colour=None):
    """Length of the run of one colour starting at (x, y) going (dx, dy); its colour."""
    colour = colour or shot.px(x, y)
    n = 0
    while 0 <= x < shot.w and 0 <= y < shot.h and shot.px(x, y) == colour:
        n += 1; x += dx; y += dy
    return n, colour


def edge(shot, x, y, dx, dy, inside):
    """From (x, y) inside a control, skip its `inside` colour, then measure the next run."""
    skipped, _ = run(shot, x, y, dx, dy, inside)
    return run(shot, x + dx * skipped, y + dy * skipped, dx, dy)[0]


def check(name, shot, base, ratio, errors):
    def fail(text):
        errors.append(f"{name} ({ratio}x): {text}")

    def d(v):
        return int(round(v * ratio))

    # Size.
    if abs(shot.w - base.w * ratio) > 2 or abs(shot.h - base.h * ratio) > 2:
        fail(f"window is {shot.w}x{shot.h}, want about {base.w * ratio:.0f}x{base.h * ratio:.0f}")
        return

    # Counter dots.
    l, t, r, b = COUNTER_SEARCH
    found = dots(shot, (d(l), d(t), d(r), d(b)))
    sizes = {(w, h) for (_, _, w, h, _) in found}
    lefts = sorted({x for (x, _, _, _, _) in found})
    tops = sorted({y for (_, y, _, _, _) in found})
    if len(found) != 350:
        fail(f"{len(found)} counter dots, want 350 (10 cells of 5 x 7)")
    if len(sizes) != 1 or any(w != h or n != w * h for (_, _, w, h, n) in found):
        fail(f"counter dots of sizes {sorted(sizes)}, want one filled square size")
    even, steps = even_steps(tops)
    if len(tops) != 7 or not even:
        fail(f"counter dot rows at steps {steps}, want 7 evenly spaced rows")
    if len(lefts) != 50:
        fail(f"{len(lefts)} counter dot columns, want 50")
    else:
        inner = [even_steps(lefts[i:i + 5]) for i in range(0, 50, 5)]
        between = even_steps([lefts[i] for i in range(0, 50, 5)])
        if not all(e for e, _ in inner) or not between[0] or len({tuple(s) for _, s in inner}) != 1:
            fail(f"counter dot columns unevenly spaced: {lefts}")

    # Counter frame lines, measured outward from the dots across the black ground.
    if found:
        x0 = min(f[0] for f in found); x1 = max(f[0] + f[2] for f in found) - 1
        y0 = min(f[1] for f in found); y1 = max(f[1] + f[3] for f in found) - 1
        xm, ym = (x0 + x1) // 2, (y0 + y1) // 2
        frame = [edge(shot, x0 - 1, ym, -1, 0, BLACK), edge(shot, xm, y0 - 1, 0, -1, BLACK),
                 edge(shot, x1 + 1, ym, 1, 0, BLACK), edge(shot, xm, y1 + 1, 0, 1, BLACK)]
        if len(set(frame)) != 1 or frame[0] < 1:
            fail(f"counter frame lines left, top, right, bottom {frame} pixels, want equal")

    # HELP's bevel: four runs of one colour each, measured from the face inward of the edges.
    x, y, w, h = HELP
    bevel = [edge(shot, d(x + 8), d(y + h / 2), -1, 0, FACE),
             edge(shot, d(x + 8), d(y + 8), 0, -1, FACE),
             edge(shot, d(x + w - 8), d(y + h / 2), 1, 0, FACE),
             edge(shot, d(x + 8), d(y + h - 8), 0, 1, FACE)]
    if len(set(bevel)) != 1 or bevel[0] < 4:
        fail(f"HELP bevel left, top, right, bottom {bevel} pixels, want equal and at least 4")

    # The file list's frame, measured outward from the middle of its empty ground.
    x, y, w, h = FILE_LIST
    cx, cy = d(x + w / 2), d(y + h / 2)
    ground = shot.px(cx, cy)
    lines = [edge(shot, cx, cy, -1, 0, ground), edge(shot, cx, cy, 0, -1, ground),
             edge(shot, cx, cy, 1, 0, ground), edge(shot, cx, cy, 0, 1, ground)]
    if len(set(lines)) != 1 or lines[0] < 1:
        fail(f"file list frame left, top, right, bottom {lines} pixels, want equal")

    # Folder glyphs drawn at the ratio, not a 1x picture smoothed.
    def outline(s, r):
        x, y, w, h = (int(round(v * r)) for v in FOLDER_LIST)
        return sum(s.px(i, j) == GLYPH_OUTLINE for j in range(y, y + h) for i in range(x, x + w))
    glyphs, glyphs1x = outline(shot, ratio), outline(base, 1.0)
    if glyphs < 0.75 * ratio * glyphs1x:
        fail(f"folder glyph outlines {glyphs} pixels, want at least {0.75 * ratio * glyphs1x:.0f}")

    # The balloon's outline, measured outward from its fill below the top corners.
    balloon = Shot(shot.path.replace(".png", ".balloon.png"))
    # Its first fill pixel lies just right of the top-left corner's arc; the text starts
    # further in and lower down. The shortest of several runs: a black line of the window
    # behind may lengthen some.
    first = balloon.first(BALLOON)
    outlines = "-"
    if first is None:
        fail("no balloon showed over HELP")
    else:
        x, y = first
        outlines = [min(edge(balloon, x - d(4), y + d(i), -1, 0, BALLOON) for i in range(9, 17)),
                    min(edge(balloon, x + d(i), y + d(2), 0, -1, BALLOON) for i in range(9, 17))]
        if len(set(outlines)) != 1 or outlines[0] < 1:
            fail(f"balloon outline left, top {outlines} pixels, want equal")

    # Likeness to the 1x window.
    out = subprocess.run(["compare", "-metric", "RMSE", shot.path,
                          f"{shot.path}.base.png", "null:"], capture_output=True, text=True)
    rmse = float(out.stderr.split("(")[1].split(")")[0])
    if rmse > 0.12:
        fail(f"differs from the 1x window scaled by RMSE {rmse:.3f}, want at most 0.12")

    # Not doubled 1x pixels at 2x.
    if ratio == 2.0:
        for (x, y, w, h) in CRISP:
            blocks = mixed = 0
            for by in range(2 * y, 2 * (y + h) - 1, 2):
                for bx in range(2 * x, 2 * (x + w) - 1, 2):
                    four = {shot.px(bx, by), shot.px(bx + 1, by), shot.px(bx, by + 1),
                            shot.px(bx + 1, by + 1)}
                    blocks += 1
                    mixed += len(four) > 1
            if mixed < 0.03 * blocks:
                fail(f"the region {x},{y} {w}x{h} is 1x pixels doubled "
                     f"({mixed} of {blocks} blocks mixed)")
    print(f"{name}: {shot.w}x{shot.h}, {len(found)} dots of {sorted(sizes)}, "
          f"frame {frame if found else '-'}, bevel {bevel}, list {lines}, "
          f"glyph outlines {glyphs}, balloon {outlines}, RMSE {rmse:.3f}")


def main():
    folder = sys.argv[1]
    base = Shot(os.path.join(folder, "scale-1.png"))
    errors = []
    # The 1x window itself passes what the scaled ones must (the measures hold at 1x).
    for name, ratio in [("scale-1", 1.0)] + list(RATIOS.items()):
        path = os.path.join(folder, name + ".png")
        shot = Shot(path)
        subprocess.run(["convert", base.path, "-resize", f"{shot.w}x{shot.h}!",
                        f"{path}.base.png"], check=True)
        check(name, shot, base, ratio, errors)
    for e in errors:
        print("FAIL:", e)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
