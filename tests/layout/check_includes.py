#!/usr/bin/env python3
"""Every include in porvane's sources runs downward: a file includes only
files of its own folder or of folders below it, in the order below, so that
the layout shows the architecture and no part depends on the parts built on
it. The README's Layout section describes the same folders top first.

    check_includes.py SOURCE_ROOT
"""
import os
import re
import sys

# Top first. Folders on one line are side by side: neither includes the other.
LAYERS = [
    ["host/main"],
    ["host/commands"],
    ["host/words"],
    ["host/doll"],
    ["host/handover"],
    ["host/choosing"],
    ["host/pictures", "host/kiss_files", "host/lzh"],
    ["host/system"],
    ["plugin"],
    ["cel"],
    ["settings"],
    ["quantize"],
    ["base"],
    ["platform"],
    # The dialog template's ids, which the settings dialog, the template
    # itself and the native build's model of the dialog manager read.
    ["resources"],
]
RANK = {folder: rank for rank, row in enumerate(LAYERS) for folder in row}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.M)


def folder_of(path):
    """The layer folder holding `path` (relative to the root), or None."""
    parts = path.split("/")
    for length in (2, 1):
        folder = "/".join(parts[:length])
        if folder in RANK and len(parts) > length:
            return folder
    return None


def main(root):
    faults, checked = [], 0
    for directory, _, files in os.walk(root):
        for name in files:
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(directory, name), root)
            source = folder_of(path)
            if source is None:
                if path.startswith(("host/", "tests/", "build/")) is False and "/" in path:
                    faults.append(f"{path}: in no layer: add its folder to LAYERS")
                continue
            with open(os.path.join(root, path), encoding="utf-8") as text:
                for included in INCLUDE.findall(text.read()):
                    target = os.path.normpath(os.path.join(os.path.dirname(path), included))
                    if not os.path.exists(os.path.join(root, target)):
                        continue  # a system header found on the include path (windows.h natively)
                    checked += 1
                    destination = folder_of(target)
                    if destination is None or RANK[destination] < RANK[source] or (
                            RANK[destination] == RANK[source] and destination != source):
                        faults.append(f"{path}: includes {target}, which is not below {source}")
    for fault in faults:
        print(fault)
    print(f"{checked} includes checked, {len(faults)} running upward or sideways")
    return 1 if faults or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
