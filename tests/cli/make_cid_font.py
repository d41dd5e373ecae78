#!/usr/bin/python3
"""Writes a small CID-keyed CFF font (ROS, FDArray, FDSelect), whose Font DICT leads to its
Private DICT by an offset from the CFF table's start. Debian's font packages on a test machine
hold none. usage: make_cid_font.py OUT.otf"""
import sys

from fontTools.cffLib import FDArrayIndex, FDSelect, FontDict
from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.ttLib import TTFont

order = [".notdef", "cid00001", "cid00002"]
builder = FontBuilder(1000, isTTF=False)
builder.setupGlyphOrder(order)
builder.setupCharacterMap({0x41: "cid00001", 0x42: "cid00002"})


def box(width):
    pen = T2CharStringPen(width, None)
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((width - 50, 700))
    pen.lineTo((width - 50, 0))
    pen.closePath()
    return pen.getCharString()


widths = {name: 500 + 100 * i for i, name in enumerate(order)}
builder.setupCFF("CidTest-Regular", {"FullName": "Cid Test Regular", "FamilyName": "Cid Test"},
                 {name: box(width) for name, width in widths.items()},
                 {"BlueValues": [-10, 0, 700, 710]})
builder.setupHorizontalMetrics({name: (width, 50) for name, width in widths.items()})
builder.setupHorizontalHeader(ascent=800, descent=-200)
builder.setupNameTable({"familyName": "Cid Test", "styleName": "Regular",
                        "psName": "CidTest-Regular", "fullName": "Cid Test Regular"})
builder.setupOS2(sTypoAscender=800, usWinAscent=800, usWinDescent=200)
builder.setupPost()
builder.save(sys.argv[1])

# The name-keyed font made CID-keyed: its Private DICT moves into the one Font DICT.
font = TTFont(sys.argv[1])
top = font["CFF "].cff.topDictIndex[0]
fontDict = FontDict()
fontDict.Private = top.Private
fontDict.FontName = "CidTest-Regular-Glyphs"
top.FDArray = FDArrayIndex()
top.FDArray.append(fontDict)
top.CIDCount = len(order)
top.ROS = ("Adobe", "Identity", 0)
top.FDSelect = FDSelect()
top.FDSelect.format = 3
top.FDSelect.gidArray = [0] * len(order)
for charString in top.CharStrings.values():
    charString.private = fontDict.Private
top.rawDict.pop("Private", None)
del top.Private
font.save(sys.argv[1])
