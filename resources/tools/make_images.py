#!/usr/bin/python3
"""Draws the hand cursor "MYPOINTER" (32 x 32, hot spot 5,0), the program icon and the title
picture as PNGs.

Run from anywhere: ./make_images.py [OUTDIR]  (default: .. beside this script, which gets
cursors/MYPOINTER.png, icons/quillmark-<size>.png and pictures/TitleImage.png with its @2x
and @3x masters for high-density screens). Standard library only.
"""
import math
import os
import struct
import sys
import zlib

# The pointing hand: X outline (black), o fill (white), anything else transparent.
# The fingertip's top-left pixel is the hot spot (5, 0).
HAND = """
.....XX...........
....XooX..........
....XooX..........
....XooX..........
....XooX..........
....XooXXX........
....XooXooXXX.....
....XooXooXooXX...
....XooXooXooXoX..
XX..XooooooooXooX.
XoX.XoooooooooooX.
XooXXoooooooooooX.
.XooXoooooooooooX.
..XoooooooooooooX.
..XooooooooooooX..
...XoooooooooooX..
...XooooooooooX...
....XoooooooooX...
....XooooooooX....
.....XoooooooX....
.....XoooooooX....
.....XXXXXXXXX....
"""


def png(width, height, rgba_rows):
    raw = b"".join(b"\0" + bytes(row) for row in rgba_rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def cursor():
    lines = [line for line in HAND.strip("\n").split("\n")]
    rows = []
    for y in range(32):
        row = []
        for x in range(32):
            c = lines[y][x] if y < len(lines) and x < len(lines[y]) else "."
            row += {"X": (0, 0, 0, 255), "o": (255, 255, 255, 255)}.get(c, (0, 0, 0, 0))
        rows.append(row)
    return png(32, 32, rows)


def icon(size, width=None, height=None):
    """A teal tile with a white "Q" whose tail is a red quill stroke, size x size, centred in a
    transparent width x height picture when those are larger."""
    width = width or size
    height = height or size
    left, top = (width - size) // 2, (height - size) // 2
    ss = 4  # supersampling per axis
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(ss):
                for sx in range(ss):
                    x = (px - left + (sx + 0.5) / ss) / size  # 0..1 inside the tile
                    y = (py - top + (sy + 0.5) / ss) / size
                    c = icon_colour(x, y)
                    a = c[3] / 255
                    for i in range(3):
                        acc[i] += c[i] * a
                    acc[3] += a
            n = ss * ss
            alpha = acc[3] / n
            if alpha > 0:
                row += [round(acc[i] / acc[3]) for i in range(3)] + [round(alpha * 255)]
            else:
                row += [0, 0, 0, 0]
        rows.append(row)
    return png(width, height, rows)


def icon_colour(x, y):
    if not (0 <= x <= 1 and 0 <= y <= 1):
        return (0, 0, 0, 0)
    # Rounded tile.
    r = 0.16
    dx = max(r - x, 0, x - (1 - r))
    dy = max(r - y, 0, y - (1 - r))
    if dx * dx + dy * dy > r * r:
        return (0, 0, 0, 0)
    colour = (0, 128, 128, 255)
    # Ring of the Q.
    cx, cy = 0.47, 0.47
    d = math.hypot(x - cx, y - cy)
    if 0.21 <= d <= 0.31:
        colour = (255, 255, 255, 255)
    # Quill: a slanted red stroke from the ring's lower right, tapering to a point.
    t = ((x - 0.52) + (y - 0.52)) / 2  # along the diagonal
    w = abs((x - 0.52) - (y - 0.52)) / math.sqrt(2)  # distance from it
    if 0 <= t <= 0.36 and w <= 0.06 * (1 - t / 0.36) + 0.008:
        colour = (220, 0, 0, 255)
    # Pale green rim, the window's own panel colour.
    if dx * dx + dy * dy > (r - 0.035) ** 2 or min(x, y, 1 - x, 1 - y) < 0.035:
        colour = (192, 220, 192, 255)
    return colour


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..")
    os.makedirs(os.path.join(out, "cursors"), exist_ok=True)
    os.makedirs(os.path.join(out, "icons"), exist_ok=True)
    os.makedirs(os.path.join(out, "pictures"), exist_ok=True)
    with open(os.path.join(out, "cursors", "MYPOINTER.png"), "wb") as f:
        f.write(cursor())
    for size in (16, 32, 48, 64, 128, 256):
        with open(os.path.join(out, "icons", f"quillmark-{size}.png"), "wb") as f:
            f.write(icon(size))
    # The title picture left of the title text: the icon's tile in the 33 x 35 place.
    with open(os.path.join(out, "pictures", "TitleImage.png"), "wb") as f:
        f.write(icon(33, 33, 35))
    # Its masters for high-density screens, drawn at two and three times the pixels.
    for scale in (2, 3):
        with open(os.path.join(out, "pictures", f"TitleImage@{scale}x.png"), "wb") as f:
            f.write(icon(33 * scale, 33 * scale, 35 * scale))


if __name__ == "__main__":
    main()
