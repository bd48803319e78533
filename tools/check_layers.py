#!/usr/bin/env python3
"""Fails when a file of src/ includes a layer above its own, or grows past the size limit.

Usage: check_layers.py SRC_DIR LIBRARY_MAP

LIBRARY_MAP is written by src/CMakeLists.txt at configure time, one library a line:
    name|source;source;...|header;header;...|linked;linked;...
with paths relative to SRC_DIR. The rules:
  - the client and the folders of the front ends and the program entry (app, entry, platform,
    console, ui) sit on top; no other file includes anything of them;
  - every file of a module folder belongs to a module library;
  - common/ and ports/ include only common/ and ports/;
  - a library's files include only its own headers and those of the libraries it links;
  - no file of src/ is longer than MAX_LINES lines.
"""

import os
import re
import sys

MAX_LINES = 600
TOP_FOLDERS = {"app", "entry", "platform", "console", "ui"}
BASE_FOLDERS = {"common", "ports"}
# Headers without a source file of their own belong to the library of their folder.
FOLDER_OWNERS = {"common": "tc_common", "ports": "tc_ports", "options": "tc_options"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"', re.MULTILINE)


def read_map(path):
    libraries = {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if not line:
                continue
            name, sources, headers, linked = (line.split("|") + ["", "", ""])[:4]
            libraries[name] = {
                "files": [p for p in (sources + ";" + headers).split(";") if p],
                "linked": [p for p in linked.split(";") if p],
            }
    return libraries


def closure(libraries, name):
    seen, todo = set(), [name]
    while todo:
        current = todo.pop()
        if current in seen:
            continue
        seen.add(current)
        todo.extend(libraries.get(current, {}).get("linked", []))
    return seen


def main():
    src, map_path = sys.argv[1], sys.argv[2]
    libraries = read_map(map_path)

    owner = {}
    for name, library in libraries.items():
        for path in library["files"]:
            owner[path] = name
            stem = os.path.splitext(path)[0]
            for ext in (".h", ".cpp"):
                owner.setdefault(stem + ext, name)

    def owner_of(path):
        if path in owner:
            return owner[path]
        return FOLDER_OWNERS.get(path.split("/")[0])

    faults = []
    for root, _, names in os.walk(src):
        for file_name in sorted(names):
            if not file_name.endswith((".h", ".cpp")):
                continue
            full = os.path.join(root, file_name)
            path = os.path.relpath(full, src).replace(os.sep, "/")
            folder = path.split("/")[0]
            with open(full, encoding="utf-8", errors="replace") as f:
                text = f.read()
            lines = text.count("\n")
            if lines > MAX_LINES:
                faults.append(f"{path}: {lines} lines, more than {MAX_LINES}")
            includes = INCLUDE.findall(text)
            own_library = owner_of(path)
            if own_library is None and folder not in TOP_FOLDERS and "/" in path:
                faults.append(f"{path}: belongs to no module library")
            allowed = closure(libraries, own_library) if own_library else None
            for included in includes:
                target_folder = included.split("/")[0]
                if folder not in TOP_FOLDERS and target_folder in TOP_FOLDERS:
                    faults.append(f"{path}: includes {included} of a layer above")
                    continue
                if folder in BASE_FOLDERS and target_folder not in BASE_FOLDERS:
                    faults.append(f"{path}: includes {included}; {folder}/ sits below it")
                    continue
                if own_library not in (None, "tc_core", "tc_common", "tc_ports"):
                    target_library = owner_of(included) or "tc_core"
                    if target_library not in allowed:
                        faults.append(
                            f"{path}: includes {included} of {target_library}, "
                            f"which {own_library} does not link")

    for fault in faults:
        print(fault)
    if faults:
        print(f"{len(faults)} layer fault(s)")
        return 1
    print("layers hold")
    return 0


if __name__ == "__main__":
    sys.exit(main())
