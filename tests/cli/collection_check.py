"""Collections built from the machine's fonts, and their renamed copies checked as users'
software reads them.

  collection_check.py build DIR
      builds one collection per font folder and kind (TrueType, CFF) from the fonts of
      /usr/share/fonts, tables shared where faces have equal ones; prints their paths.
  collection_check.py check FAMILY SOURCE COPY FACECOPY
      COPY must open in fontTools with FAMILY in every face and pass ots-sanitize face by face,
      keep every table but name exactly where SOURCE has it, and have grown by no more than its
      new name tables and the trailer; FACECOPY (the last face made alone) must open with
      FAMILY, pass ots-sanitize and hold the face's tables byte for byte. Prints "ok" or what
      is wrong.
"""
import collections
import os
import struct
import subprocess
import sys

from fontTools.ttLib import TTCollection, TTFont
from fontTools.ttLib.sfnt import calcChecksum


def build(out_dir):
    groups = collections.defaultdict(list)
    for root, _, files in os.walk("/usr/share/fonts"):
        for name in sorted(files):
            path = os.path.join(root, name)
            ext = os.path.splitext(name)[1].lower()
            if ext in (".ttf", ".otf") and not os.path.islink(path):
                with open(path, "rb") as f:
                    cff = f.read(4) == b"OTTO"
                groups[(root, cff)].append(path)
    for (root, cff), paths in sorted(groups.items()):
        # Three faces at most: enough to share tables, few enough to stay quick.
        fonts = [TTFont(p) for p in paths[:3]]
        collection = TTCollection()
        collection.fonts = fonts
        out = os.path.join(out_dir, "%s%s" % (os.path.basename(root) or "fonts",
                                              ".otc" if cff else ".ttc"))
        collection.save(out, shareTables=True)
        print(out)


checksums = {}


def directory(data, offset):
    checksums.clear()
    num_tables = struct.unpack(">H", data[offset + 4:offset + 6])[0]
    entries = {}
    for i in range(num_tables):
        at = offset + 12 + 16 * i
        tag, checksum, table_offset, length = struct.unpack(">4sLLL", data[at:at + 16])
        entries[tag.decode("latin-1")] = (table_offset, length)
        checksums[tag.decode("latin-1")] = checksum
    return entries


def faces(data):
    count = struct.unpack(">L", data[8:12])[0]
    return [struct.unpack(">L", data[12 + 4 * i:16 + 4 * i])[0] for i in range(count)]


def ots_accepts(path, index=None):
    args = ["ots-sanitize", path, "/dev/null"] + ([str(index)] if index is not None else [])
    return subprocess.run(args, capture_output=True).returncode == 0


def check(family, source, copy, face_copy):
    problems = []
    src = open(source, "rb").read()
    out = open(copy, "rb").read()
    face_offsets = faces(src)
    new_tables = set()
    for index, face_offset in enumerate(face_offsets):
        before = directory(src, face_offset)
        after = directory(out, face_offset)
        for tag, location in before.items():
            if tag != "name" and after.get(tag) != location:
                problems.append("face %d: %s moved" % (index, tag))
        new_tables.add(after["name"])
        if not ots_accepts(copy, index):
            problems.append("face %d: ots-sanitize refuses it" % index)
    padded = sum((length + 3) // 4 * 4 for _, length in new_tables)
    trailer = 50 + 20 * len(face_offsets)
    if len(out) > (len(src) + 3) // 4 * 4 + padded + trailer:
        problems.append("grew by %d bytes" % (len(out) - len(src)))
    for index, font in enumerate(TTCollection(copy)):
        if font["name"].getDebugName(1) != family:
            problems.append("face %d: family %r" % (index, font["name"].getDebugName(1)))

    last = len(face_offsets) - 1
    alone = TTFont(face_copy)
    if alone["name"].getDebugName(1) != family:
        problems.append("face copy: family %r" % alone["name"].getDebugName(1))
    if not ots_accepts(face_copy):
        problems.append("face copy: ots-sanitize refuses it")
    alone_data = open(face_copy, "rb").read()
    alone_directory = directory(alone_data, 0)
    alone_checksums = dict(checksums)
    for tag, (offset, length) in directory(src, face_offsets[last]).items():
        if tag in ("name", "CFF "):
            continue
        at, got = alone_directory[tag]
        table = alone_data[at:at + got]
        if tag == "head":
            table = table[:8] + b"\0\0\0\0" + table[12:]
        elif table != src[offset:offset + length]:
            problems.append("face copy: %s differs" % tag)
        if calcChecksum(table) != alone_checksums[tag]:
            problems.append("face copy: %s has a wrong checksum" % tag)
    print("\n".join(problems) if problems else "ok")


if __name__ == "__main__":
    if sys.argv[1] == "build":
        build(sys.argv[2])
    else:
        check(*sys.argv[2:6])
