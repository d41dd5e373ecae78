#!/usr/bin/python3
"""Writes a symbol font (Microsoft symbol cmap and names, as dingbat fonts have them) made from a
real font: its printable ASCII glyphs at U+F020-U+F07E. Debian's font packages on a test machine
hold none. usage: make_symbol_font.py SOURCE.ttf OUT.ttf"""
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._c_m_a_p import CmapSubtable

font = TTFont(sys.argv[1])
best = font.getBestCmap()
symbol = CmapSubtable.newSubtable(4)
symbol.platformID, symbol.platEncID, symbol.language = 3, 0, 0
symbol.cmap = {0xF000 + code: best[code] for code in range(0x20, 0x7F) if code in best}
font["cmap"].tables = [symbol]
font["OS/2"].ulCodePageRange1 = 1 << 31
font["OS/2"].usFirstCharIndex, font["OS/2"].usLastCharIndex = 0xF020, 0xF07E
names = font["name"]
names.names = [r for r in names.names if r.platformID == 1 or (r.platformID == 3 and r.langID == 0x409)]
for record in names.names:
    if record.platformID == 3:
        record.platEncID = 0
font.save(sys.argv[2])
