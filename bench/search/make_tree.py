#!/usr/bin/python3
"""Writes the search benchmark's folder tree: 20,000 folders holding 200,000 empty files, of
which 5,000 match "*.ttf" (in mixed case). Deterministic; kept when it is already complete.

usage: make_tree.py [OUTDIR]   (default: bench/data/search-tree)
"""
import os
import sys

TOP_FOLDERS = 20
SUBFOLDERS = 999  # per top folder: 20 + 20 * 999 = 20,000 folders
FILES_PER_FOLDER = 10  # 200,000 files
MATCH_EVERY = 40  # one file in 40 is a font: 5,000 matches
OTHER = [".txt", ".otf", ".ttf.bak", ".png", ".ttc", ".html", ".dat", ".fon", ".xml"]
FONT = [".ttf", ".TTF", ".Ttf"]


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "search-tree")
    out = os.path.abspath(out)
    stamp = os.path.join(out, ".complete")
    if os.path.exists(stamp):
        print(out)
        return
    folders = []
    for t in range(TOP_FOLDERS):
        top = os.path.join(out, "top%02d" % t)
        folders.append(top)
        for s in range(SUBFOLDERS):
            folders.append(os.path.join(top, "sub%03d" % s))
    n = 0
    matches = 0
    for folder in folders:
        os.makedirs(folder, exist_ok=True)
        for f in range(FILES_PER_FOLDER):
            if n % MATCH_EVERY == 0:
                name = "font%06d%s" % (n, FONT[(n // MATCH_EVERY) % len(FONT)])
                matches += 1
            else:
                name = "file%06d%s" % (n, OTHER[n % len(OTHER)])
            with open(os.path.join(folder, name), "wb"):
                pass
            n += 1
    assert len(folders) == 20000 and n == 200000 and matches == 5000, (len(folders), n, matches)
    # The marker is a dot file: it matches no pattern the benchmark uses.
    with open(stamp, "w") as marker:
        marker.write("20000 folders, 200000 files, 5000 matches of *.ttf\n")
    print(out)


if __name__ == "__main__":
    main()
