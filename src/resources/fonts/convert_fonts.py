#!/usr/bin/env python3
"""Converts X11 misc-fixed fonts into the C++ glyph tables of the instrument screen.

Reads the ISO8859-1 variants of misc-fixed 5x8, 8x13 and 6x12 (Debian's xfonts-base) and writes
font_small.cpp, font_normal.cpp and font_numeric.cpp next to fonts.h. The symbol font
(font_symbols.cpp) is drawn by hand and not touched here.

Usage:
  convert_fonts.py                    # PCF files from /usr/share/fonts/X11/misc, via pcf2bdf
  convert_fonts.py --bdf-dir DIR      # ready-made DIR/<name>.bdf files instead
  convert_fonts.py --out DIR          # write the tables elsewhere (default: ../ of this script)

Only the standard library is used; pcf2bdf must be on PATH unless --bdf-dir is given.
"""

import argparse
import gzip
import os
import shutil
import subprocess
import sys
import tempfile
from dataclasses import dataclass

PCF_DIR = "/usr/share/fonts/X11/misc"


@dataclass
class Glyph:
    name: str
    width: int  # bounding box, pixels
    height: int
    xoff: int  # left edge relative to the origin
    yoff: int  # bottom edge relative to the baseline (up is positive)
    rows: list  # one int per bitmap row, top first; bit (width - 1 - x) is pixel x


@dataclass
class BdfFont:
    name: str
    width: int  # FONTBOUNDINGBOX width, the source cell width
    ascent: int
    descent: int
    copyright: str
    glyphs: dict  # encoding -> Glyph


@dataclass
class CellSpec:
    symbol: str  # C++ object name
    array: str  # C++ table name
    file: str  # output file
    title: str  # what the table holds, for the first line of the file
    source: str  # source font, file name without extension
    width: int  # cell width
    height: int  # cell height
    ascent: int  # rows above the baseline in the cell
    shift: int  # columns the source glyph moves right inside the cell
    numeric: bool  # blank glyph 0, then '+'..'~'


# Glyphs of the instrument's own font, drawn by hand, in codes that Latin-1 leaves to control
# characters: the analysis results label widths and centres with 0x8D 0x8B (delta, lambda) and
# 0x8B 0x43 (lambda, C). Rows top first, on the normal font's baseline under row 9.
INSTRUMENT_GLYPHS = {
    "kFontNormal": {
        0x8B: ([0x00, 0x60, 0x10, 0x10, 0x08, 0x18, 0x24, 0x24, 0x42, 0x82, 0x00, 0x00],
               "lambda, instrument glyph"),
        0x8D: ([0x00, 0x10, 0x10, 0x28, 0x28, 0x44, 0x44, 0x82, 0x82, 0xFE, 0x00, 0x00],
               "Delta, instrument glyph"),
    },
}

NUMERIC_FIRST = ord("+")
NUMERIC_LAST = ord("~")

# 5x8 fits the 8-row cell exactly; nearly all its glyphs are inked in columns 0..3 (column 4 is the
# gap, used by a few wide ones such as M, W and @), so moving them right by 2 centres the ink in
# the 8-wide cell.
# 8x13 has a 13-row cell (ascent 11, descent 2) whose top row is blank in every printable ASCII
# glyph: dropping it gives ascent 10, descent 2, the same baseline as the numeric 6x12 font.
CELLS = [
    CellSpec("kFontSmall", "kSmallBits", "font_small.cpp", "Small 8x8 font glyph table",
             "5x8-ISO8859-1", 8, 8, 7, 2, False),
    CellSpec("kFontNormal", "kNormalBits", "font_normal.cpp", "Normal 8x12 font glyph table",
             "8x13-ISO8859-1", 8, 12, 10, 0, False),
    CellSpec("kFontNumeric", "kNumericBits", "font_numeric.cpp", "Numeric 6x12 font glyph table",
             "6x12-ISO8859-1", 6, 12, 10, 0, True),
]


def ParseBdf(path):
    """Reads the glyphs, metrics and copyright notice of a BDF file."""
    name = os.path.splitext(os.path.basename(path))[0]
    props = {}
    glyphs = {}
    fbb_width = None
    with open(path, encoding="latin-1") as f:
        lines = [line.rstrip("\n") for line in f]
    i = 0
    while i < len(lines):
        words = lines[i].split()
        i += 1
        if not words:
            continue
        key = words[0]
        if key == "FONTBOUNDINGBOX":
            fbb_width = int(words[1])
        elif key in ("FONT_ASCENT", "FONT_DESCENT"):
            props[key] = int(words[1])
        elif key in ("COPYRIGHT", "NOTICE"):
            props[key] = lines[i - 1].split(None, 1)[1].strip().strip('"')
        elif key == "STARTCHAR":
            glyph_name = words[1] if len(words) > 1 else ""
            encoding = None
            bbx = None
            rows = []
            while i < len(lines):
                words = lines[i].split()
                i += 1
                if not words:
                    continue
                if words[0] == "ENCODING":
                    encoding = int(words[1])
                elif words[0] == "BBX":
                    bbx = [int(w) for w in words[1:5]]
                elif words[0] == "BITMAP":
                    while lines[i].strip() != "ENDCHAR":
                        rows.append(lines[i].strip())
                        i += 1
                    i += 1
                    break
            if encoding is None or bbx is None:
                sys.exit(f"{path}: glyph {glyph_name} lacks ENCODING or BBX")
            w, h, xoff, yoff = bbx
            if len(rows) != h:
                sys.exit(f"{path}: glyph {glyph_name} has {len(rows)} rows, BBX says {h}")
            # Each hex row is padded to whole bytes; keep the leftmost w bits.
            pad = len(rows[0]) * 4 - w if rows else 0
            bits = [int(r, 16) >> pad for r in rows]
            if encoding >= 0:
                glyphs[encoding] = Glyph(glyph_name, w, h, xoff, yoff, bits)
    for key in ("FONT_ASCENT", "FONT_DESCENT"):
        if key not in props:
            sys.exit(f"{path}: no {key} property")
    notice = props.get("COPYRIGHT") or props.get("NOTICE") or ""
    return BdfFont(name, fbb_width, props["FONT_ASCENT"], props["FONT_DESCENT"], notice, glyphs)


def CellRows(glyph, layout):
    """Places a glyph in the cell by its bounding box and the baseline.

    Returns the cell rows (bit 7 leftmost) and the number of pixels that fell outside the cell.
    """
    cell = [0] * layout.height
    lost = 0
    for r, row in enumerate(glyph.rows):
        # Bitmap row r lies (yoff + h - 1 - r) rows above the baseline.
        y = layout.ascent - 1 - (glyph.yoff + glyph.height - 1 - r)
        for x in range(glyph.width):
            if not (row >> (glyph.width - 1 - x)) & 1:
                continue
            cx = layout.shift + glyph.xoff + x
            if 0 <= y < layout.height and 0 <= cx < layout.width:
                cell[y] |= 0x80 >> cx
            else:
                lost += 1
    return cell, lost


def Printable(code):
    """Characters with a glyph in the tables: ASCII and Latin-1 graphics, no control codes."""
    return 0x20 <= code <= 0x7E or 0xA0 <= code <= 0xFF


def BuildTable(font, layout):
    """Returns [(cell rows, comment)] for every glyph of the table."""
    blank = [0] * layout.height
    entries = []
    if layout.numeric:
        entries.append((blank, "blank, out of range"))
        codes = range(NUMERIC_FIRST, NUMERIC_LAST + 1)
    else:
        codes = range(256)
    own = INSTRUMENT_GLYPHS.get(layout.symbol, {})
    for code in codes:
        if code in own:
            entries.append((own[code][0], f"0x{code:02X} {own[code][1]}"))
            continue
        glyph = font.glyphs.get(code) if Printable(code) else None
        if glyph is None:
            entries.append((blank, f"0x{code:02X} control code"))
            continue
        rows, lost = CellRows(glyph, layout)
        if lost:
            message = f"{layout.source}: {glyph.name} (0x{code:02X}) loses {lost} pixel(s)"
            # Letters, digits and punctuation must survive whole; a clipped accent is tolerable.
            if code < 0x80:
                sys.exit("error: " + message)
            print("warning: " + message, file=sys.stderr)
        entries.append((rows, f"0x{code:02X} {glyph.name}"))
    return entries


def WriteTable(font, layout, out_dir):
    entries = BuildTable(font, layout)
    count = len(entries)
    first_text = "'+'" if layout.numeric else "0"
    lines = [
        f"// {layout.title}, generated by convert_fonts.py from misc-fixed {layout.source}.",
        '#include "resources/fonts.h"',
        "",
        "namespace vq {",
        "namespace {",
        "",
        f"// One glyph a line, top row first; {font.name} with its baseline under row"
        f" {layout.ascent - 1}.",
        f"constexpr uint8_t {layout.array}[] = {{",
    ]
    for rows, comment in entries:
        lines.append("    " + ", ".join(f"0x{b:02X}" for b in rows) + f",  // {comment}")
    lines += [
        "};",
        f"static_assert(sizeof({layout.array}) == {count} * {layout.height}, "
        f'"{count} glyphs of {layout.height} rows");',
        "",
        "}  // namespace",
        "",
        f"const BitmapFont {layout.symbol} = {{{layout.width}, {layout.height}, {first_text}, {count}, "
        f"{layout.array}}};",
        "",
        "}  // namespace vq",
        "",
    ]
    path = os.path.join(out_dir, layout.file)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write("\n".join(lines))
    print(f"wrote {path}: {count} glyphs of {layout.width}x{layout.height} from {font.name}"
          f' ("{font.copyright}")')


def BdfFromPcf(source, work_dir):
    """Unpacks /usr/share/fonts/X11/misc/<source>.pcf.gz and converts it with pcf2bdf."""
    if shutil.which("pcf2bdf") is None:
        sys.exit("pcf2bdf not found (Debian package pcf2bdf), or pass --bdf-dir")
    pcf_gz = os.path.join(PCF_DIR, source + ".pcf.gz")
    if not os.path.exists(pcf_gz):
        sys.exit(f"{pcf_gz} not found (Debian package xfonts-base)")
    pcf = os.path.join(work_dir, source + ".pcf")
    bdf = os.path.join(work_dir, source + ".bdf")
    with gzip.open(pcf_gz, "rb") as src, open(pcf, "wb") as dst:
        shutil.copyfileobj(src, dst)
    subprocess.run(["pcf2bdf", "-o", bdf, pcf], check=True)
    return bdf


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--bdf-dir", help="read <source>.bdf files from here instead of PCF")
    parser.add_argument("--out", default=os.path.dirname(here), help="output directory")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work_dir:
        for layout in CELLS:
            if args.bdf_dir:
                bdf = os.path.join(args.bdf_dir, layout.source + ".bdf")
            else:
                bdf = BdfFromPcf(layout.source, work_dir)
            font = ParseBdf(bdf)
            if not font.copyright.startswith("Public domain"):
                sys.exit(f"{bdf}: unexpected licence notice: {font.copyright!r}")
            WriteTable(font, layout, args.out)


if __name__ == "__main__":
    main()
