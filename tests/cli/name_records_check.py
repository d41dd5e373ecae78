"""Compares `quillmark-cli read --all --json` with fontTools, record by record.

usage: name_records_check.py QUILLMARK_CLI FONT...
Prints one line per difference and a last line "checked N records, M escaped".
"""
import json
import subprocess
import sys

from fontTools.ttLib import TTFont


def shown(text):
    # Our listing doubles a backslash so that an escaped byte (\xNN) is never ambiguous.
    return text.replace("\\", "\\\\")


def main():
    cli, fonts = sys.argv[1], sys.argv[2:]
    out = subprocess.run([cli, "read", "--all", "--json", *fonts], capture_output=True,
                         text=True, check=False).stdout
    objects = [json.loads(line) for line in out.splitlines()]
    if len(objects) != len(fonts):
        print(f"{len(objects)} JSON objects for {len(fonts)} fonts")
    checked = escaped = 0
    for path, ours in zip(fonts, objects):
        records = ours.get("Records")
        if records is None:
            print(f"{path}: no records ({ours.get('RecordsProblem')})")
            continue
        theirs = TTFont(path, lazy=True)["name"].names
        if len(records) != len(theirs):
            print(f"{path}: {len(records)} records, fontTools has {len(theirs)}")
            continue
        for mine, other in zip(records, theirs):
            key = (other.platformID, other.platEncID, other.langID, other.nameID)
            got = (mine["platformID"], mine["encodingID"], mine["languageID"], mine["nameID"])
            if got != key:
                print(f"{path}: record {got} where fontTools has {key}")
                continue
            checked += 1
            if mine.get("exact", True) is False:
                escaped += 1
                continue
            try:
                text = other.toUnicode()
            except UnicodeDecodeError:
                print(f"{path}: {key} decoded by us, not by fontTools")
                continue
            if mine["text"] != shown(text):
                print(f"{path}: {key}: {mine['text']!r} != {text!r}")
    print(f"checked {checked} records, {escaped} escaped")


main()
