"""Reads the names of each font given, as a fontTools user would: lazy TTFont, name table."""
import sys

from fontTools.ttLib import TTFont

total = 0
for path in sys.argv[1:]:
    font = TTFont(path, lazy=True)
    for record in font["name"].names:
        if record.nameID < 8:
            total += len(record.toUnicode())
    total += font["head"].macStyle & 3
    font.close()
print(total)
