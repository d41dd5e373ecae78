"""Makes a renamed copy with fontTools: load, set the family name, save."""
import sys

from fontTools.ttLib import TTFont

source, target = sys.argv[1], sys.argv[2]
font = TTFont(source, lazy=True)
font["name"].setName("Bench", 1, 3, 1, 1033)
font.save(target, reorderTables=False)
