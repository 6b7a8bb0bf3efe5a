#!/usr/bin/env python3
"""Checks that every #include "..." of src/ points down the layers.

Usage: check_includes.py SRC_DIR

The ranks come from SRC_DIR/layers.txt. A file may include its own folder's
headers and those of folders of a lower rank; never a folder of a higher
rank, nor another folder of the same rank (two ui/ features, shell and
batch). Every folder with sources must have a rank. Prints each include that
breaks the rule and exits 1, or exits 0 when there is none.
"""

import os
import re
import sys

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def read_ranks(src):
    ranks = {}
    with open(os.path.join(src, "layers.txt"), encoding="utf-8") as table:
        for line in table:
            fields = line.split()
            if fields and not fields[0].startswith("#"):
                ranks[fields[0]] = int(fields[1])
    return ranks


def folder_of(path):
    """The layer folder a path inside src/ belongs to, or None."""
    parts = path.split("/")[:-1]
    if not parts:
        return None
    if parts[0] == "ui":
        if len(parts) < 2:
            return None
        return "ui/" + parts[1]
    return parts[0]


def rank_of(folder, ranks):
    if folder in ranks:
        return ranks[folder]
    if folder.startswith("ui/") and "ui/*" in ranks:
        return ranks["ui/*"]
    return None


def check(src):
    ranks = read_ranks(src)
    problems = []
    for root, _, files in os.walk(src):
        for name in sorted(files):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.relpath(os.path.join(root, name), src)
            folder = folder_of(path)
            if folder is None:
                problems.append(f"{path}: a source outside every layer folder")
                continue
            rank = rank_of(folder, ranks)
            if rank is None:
                problems.append(f"{path}: {folder}/ has no rank in layers.txt")
                continue
            with open(os.path.join(root, name), encoding="utf-8", errors="replace") as source:
                for number, line in enumerate(source, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    target = match.group(1)
                    target_folder = folder_of(target)
                    # A bare name is a header beside the file or a generated one.
                    if target_folder is None or target_folder == folder:
                        continue
                    target_rank = rank_of(target_folder, ranks)
                    if target_rank is None:
                        if os.path.exists(os.path.join(src, target)):
                            problems.append(f"{path}:{number}: {target}: {target_folder}/ has no rank")
                        continue
                    if target_rank > rank:
                        problems.append(f"{path}:{number}: {target} points up ({folder} {rank} -> {target_folder} {target_rank})")
                    elif target_rank == rank:
                        problems.append(f"{path}:{number}: {target} points sideways ({folder} -> {target_folder}, both {rank})")
    return problems


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    problems = check(sys.argv[1])
    for problem in problems:
        print(problem)
    if problems:
        print(f"{len(problems)} include(s) against the layers of {sys.argv[1]}/layers.txt")
        return 1
    print("Every include points down the layers.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
