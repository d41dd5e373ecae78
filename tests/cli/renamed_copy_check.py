"""Checks renamed copies as users' software reads them, against their sources.

usage: renamed_copy_check.py FAMILY TRADEMARK SOURCE COPY [SOURCE COPY...]
Prints one line per fault and a last line "checked N copies".
For each pair: every source record that the rename neither writes nor contradicts is in the
copy byte for byte; the new family and trademark decode to what was asked in every record
that holds them, and the Microsoft ones in the source's encoding; every name ID that fvar, STAT, CPAL or a feature's parameters point at and
the source had is in the copy; the records are sorted; ots-sanitize says of the copy what it
says of the source when that is nothing but success; fc-query lists the same faces, in the
same order, with the same styles (in case as the derivation normalises them), under the new
family.
"""
import collections
import subprocess
import sys

from fontTools.ttLib import TTFont

REWRITTEN = set(range(8)) | {16, 17, 18, 20, 21, 22, 25}


def referenced(font):
    """Name IDs the font's other tables point at, and fvar's instance PostScript name IDs."""
    ids, postscript = set(), set()
    if "fvar" in font:
        for axis in font["fvar"].axes:
            ids.add(axis.axisNameID)
        for instance in font["fvar"].instances:
            ids.add(instance.subfamilyNameID)
            if instance.postscriptNameID not in (None, 0xFFFF):
                ids.add(instance.postscriptNameID)
                postscript.add(instance.postscriptNameID)
    if "STAT" in font:
        stat = font["STAT"].table
        for axis in stat.DesignAxisRecord.Axis if stat.DesignAxisRecord else []:
            ids.add(axis.AxisNameID)
        for value in stat.AxisValueArray.AxisValue if stat.AxisValueArray else []:
            ids.add(value.ValueNameID)
        if getattr(stat, "ElidedFallbackNameID", None) is not None:
            ids.add(stat.ElidedFallbackNameID)
    if "CPAL" in font:
        cpal = font["CPAL"]
        ids.update(getattr(cpal, "paletteLabels", None) or [])
        ids.update(getattr(cpal, "paletteEntryLabels", None) or [])
    for tag in ("GSUB", "GPOS"):
        if tag not in font or not font[tag].table.FeatureList:
            continue
        for record in font[tag].table.FeatureList.FeatureRecord:
            params = record.Feature.FeatureParams
            if params is None:
                continue
            for field in ("UINameID", "FeatUILabelNameID", "FeatUITooltipTextNameID",
                          "SampleTextNameID", "SubfamilyNameID"):
                if getattr(params, field, 0):
                    ids.add(getattr(params, field))
            first = getattr(params, "FirstParamUILabelNameID", 0)
            if first:
                ids.update(range(first, first + params.NumNamedParameters))
    ids.discard(0)
    ids.discard(0xFFFF)
    return ids, postscript


def as_mac_roman(text):
    return text.encode("mac_roman", errors="replace").decode("mac_roman")


def ots(path):
    run = subprocess.run(["ots-sanitize", path], capture_output=True, text=True, check=False)
    return run.returncode, (run.stdout + run.stderr).strip()


def fc_faces(path):
    out = subprocess.run(["fc-query", "--format", "%{family[0]}|%{style[0]}\n", path],
                         capture_output=True, text=True, check=False).stdout
    return [line.split("|", 1) for line in out.splitlines()]


def check(family, trademark, source_path, copy_path):
    faults = []
    source, copy = TTFont(source_path, lazy=True), TTFont(copy_path, lazy=True)
    ids, instance_postscript = referenced(source)
    old, new = source["name"].names, copy["name"].names

    keys = [(r.platformID, r.platEncID, r.langID, r.nameID) for r in new]
    if keys != sorted(keys):
        faults.append("records not sorted")
    written = collections.Counter(keys[i] + (r.string,) for i, r in enumerate(new))
    for r in old:
        if r.nameID in REWRITTEN or r.nameID in instance_postscript:
            continue
        key = (r.platformID, r.platEncID, r.langID, r.nameID, r.string)
        if written[key] == 0:
            faults.append(f"record {key[:4]} not kept byte for byte")
        written[key] -= 1

    for name_id, text in ((1, family), (7, trademark), (16, family), (21, family)):
        for r in new:
            if r.nameID != name_id:
                continue
            want = as_mac_roman(text) if r.platformID == 1 else text
            if r.toUnicode() != want:
                faults.append(f"{r.platformID}/{r.platEncID}/{r.langID}/{name_id}: "
                              f"{r.toUnicode()!r} != {want!r}")
    # A symbol font's Microsoft names stay in the symbol encoding, where Windows looks for them.
    encodings = {r.platEncID for r in old if r.platformID == 3}
    microsoft = 0 if encodings and 1 not in encodings and 0 in encodings else 1
    for name_id in (1, 7):
        if not copy["name"].getName(name_id, 3, microsoft, 0x409):
            faults.append(f"no Microsoft record of name ID {name_id} in encoding {microsoft}")
    added = {r.platEncID for r in new if r.platformID == 3} - (encodings or {1})
    if added:
        faults.append(f"Microsoft records in encodings {sorted(added)} the source has not")

    had = {r.nameID for r in old}
    have = {r.nameID for r in new}
    for name_id in sorted((ids & had) - have):
        faults.append(f"name ID {name_id} is referenced but gone")

    source_ots, copy_ots = ots(source_path), ots(copy_path)
    if source_ots[0] == 0 and source_ots[1] == "File sanitized successfully!" and \
            copy_ots != source_ots:
        faults.append(f"ots-sanitize: {copy_ots[1]}")

    before, after = fc_faces(source_path), fc_faces(copy_path)
    # The derived style is normalised in case ("ExtraLight" becomes "Extralight").
    if [style.lower() for _, style in before] != [style.lower() for _, style in after]:
        faults.append(f"fc-query faces {before} became {after}")
    if any(name != family for name, _ in after):
        faults.append(f"fc-query families {sorted({name for name, _ in after})}")
    return [f"{copy_path} ({source_path}): {fault}" for fault in faults]


def main():
    family, trademark, paths = sys.argv[1], sys.argv[2], sys.argv[3:]
    pairs = list(zip(paths[::2], paths[1::2]))
    for source_path, copy_path in pairs:
        for fault in check(family, trademark, source_path, copy_path):
            print(fault)
    print(f"checked {len(pairs)} copies")


main()
