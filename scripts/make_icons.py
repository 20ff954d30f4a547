#!/usr/bin/env python3
"""Draws the program's icons from their pixel grids.

    scripts/make_icons.py        rewrites resources/quillan.ico and
                                 resources/shortcut.ico from resources/icons/

Each grid file holds one or more square images separated by blank lines;
lines starting with '#' are comments. One character is one pixel, taken from
the 16-colour palette below ('.' is transparent). Every image is written as a
4-bit (16-colour) bitmap with its transparency mask, the oldest icon format
that every version of Windows shows.
"""
import os
import struct
import sys

# The standard 16-colour palette, one letter each.
PALETTE = [
    ("k", (0x00, 0x00, 0x00)),  # black
    ("r", (0x80, 0x00, 0x00)),  # dark red
    ("g", (0x00, 0x80, 0x00)),  # dark green
    ("o", (0x80, 0x80, 0x00)),  # olive (the clipboard's board)
    ("n", (0x00, 0x00, 0x80)),  # navy (the quill's shaft)
    ("p", (0x80, 0x00, 0x80)),  # purple
    ("t", (0x00, 0x80, 0x80)),  # teal (the quill's shaded vane)
    ("s", (0xC0, 0xC0, 0xC0)),  # silver (the clip, lines of text)
    ("d", (0x80, 0x80, 0x80)),  # grey (shadows)
    ("R", (0xFF, 0x00, 0x00)),  # red
    ("G", (0x00, 0xFF, 0x00)),  # green
    ("Y", (0xFF, 0xFF, 0x00)),  # yellow
    ("B", (0x00, 0x00, 0xFF)),  # blue (the shortcut arrow)
    ("M", (0xFF, 0x00, 0xFF)),  # magenta
    ("C", (0x00, 0xFF, 0xFF)),  # cyan (the quill's bright vane)
    ("w", (0xFF, 0xFF, 0xFF)),  # white (paper)
]
INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE)}
TRANSPARENT = "."


def read_grids(path):
    grids, rows = [], []
    with open(path, encoding="ascii") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("#"):
                continue
            if not line.strip():
                if rows:
                    grids.append(rows)
                    rows = []
                continue
            rows.append(line)
    if rows:
        grids.append(rows)
    for rows in grids:
        size = len(rows)
        if size not in (16, 32, 48) or any(len(r) != size for r in rows):
            sys.exit(f"{path}: every image must be square, 16, 32 or 48 pixels")
        for r in rows:
            for c in r:
                if c != TRANSPARENT and c not in INDEX:
                    sys.exit(f"{path}: unknown colour {c!r}")
    return grids


def padded(row_bytes):
    return row_bytes + b"\0" * (-len(row_bytes) % 4)


def image_data(rows):
    """BITMAPINFOHEADER, palette, colour bits and mask, rows bottom-up."""
    size = len(rows)
    colour, mask = b"", b""
    for r in reversed(rows):
        nibbles = [INDEX.get(c, 0) for c in r]  # transparent pixels are black
        colour += padded(bytes((nibbles[i] << 4) | nibbles[i + 1]
                               for i in range(0, size, 2)))
        bits = [1 if c == TRANSPARENT else 0 for c in r]
        mask += padded(bytes(sum(bits[i + j] << (7 - j) for j in range(8))
                             for i in range(0, size, 8)))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(colour) + len(mask), 0, 0, 16, 0)
    palette = b"".join(bytes((b, g, r, 0)) for _, (r, g, b) in PALETTE)
    return header + palette + colour + mask


def write_ico(grids, path):
    images = [image_data(rows) for rows in grids]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for rows, data in zip(grids, images):
        size = len(rows)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


def main():
    resources = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    for name in ("quillan", "shortcut"):
        grids = read_grids(os.path.join(resources, "icons", name + ".txt"))
        write_ico(grids, os.path.join(resources, name + ".ico"))
        print(f"{name}.ico: " + ", ".join(f"{len(g)}x{len(g)}" for g in grids))


if __name__ == "__main__":
    main()
