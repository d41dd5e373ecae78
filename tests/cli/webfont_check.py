"""Web fonts made from the machine's fonts, and their renamed copies checked as users' software
reads them.

  webfont_check.py build DIR
      writes a .woff2 (by woff2_compress) and a .woff (by fontTools) of one font of each font
      folder of /usr/share/fonts into DIR; prints their paths.
  webfont_check.py check FAMILY SOURCE COPY...
      each COPY, made from the SOURCE in the same place of the list, must be a web font of the
      same format that ots-sanitize accepts, that fontTools opens with FAMILY, and whose tables
      other than name, head and CFF are the source's byte for byte. Prints "ok" or what is wrong.
"""
import os
import shutil
import subprocess
import sys

from fontTools.ttLib import TTFont


def build(out_dir):
    # The smallest font of each folder: WOFF2's Brotli at its best takes seconds a megabyte.
    chosen = {}
    for root, _, files in sorted(os.walk("/usr/share/fonts")):
        for name in sorted(files):
            path = os.path.join(root, name)
            if (name.endswith((".ttf", ".otf")) and not os.path.islink(path)
                    and os.path.getsize(path) < 2 << 20):
                if root not in chosen or os.path.getsize(path) < os.path.getsize(chosen[root]):
                    chosen[root] = path
    for root, path in sorted(chosen.items()):
        base = os.path.join(out_dir, os.path.splitext(os.path.basename(path))[0])
        shutil.copy(path, base + ".sfnt")
        subprocess.run(["woff2_compress", base + ".sfnt"], check=True, capture_output=True)
        os.remove(base + ".sfnt")
        print(base + ".woff2")
        font = TTFont(path)
        font.flavor = "woff"
        font.save(base + ".woff")
        print(base + ".woff")


def check(family, pairs):
    problems = []
    for source, copy in pairs:
        before = TTFont(source)
        after = TTFont(copy)
        if after.flavor != before.flavor:
            problems.append("%s: %s became %s" % (copy, before.flavor, after.flavor))
        if after["name"].getDebugName(1) != family:
            problems.append("%s: family %r" % (copy, after["name"].getDebugName(1)))
        if subprocess.run(["ots-sanitize", copy, "/dev/null"], capture_output=True).returncode:
            problems.append("%s: ots-sanitize refuses it" % copy)
        if sorted(before.reader.keys()) != sorted(after.reader.keys()):
            problems.append("%s: tables differ" % copy)
        for tag in before.reader.keys():
            if tag not in ("name", "head", "CFF ") and before.reader[tag] != after.reader[tag]:
                problems.append("%s: %s differs" % (copy, tag))
    print("\n".join(problems) if problems else "ok")


if __name__ == "__main__":
    if sys.argv[1] == "build":
        build(sys.argv[2])
    else:
        files = sys.argv[3:]
        check(sys.argv[2], list(zip(files[0::2], files[1::2])))
