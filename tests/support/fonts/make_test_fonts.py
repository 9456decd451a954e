#!/usr/bin/python3
"""Write the small fonts the tests install: families with an English and a Chinese name,
one OpenType (CFF) font, and four of known coverage for finding fonts by text: Latin only,
Latin with a few Chinese characters, Devanagari alone, and one rare character alone.

Usage: make_test_fonts.py OUTDIR
"""

import os
import sys

from fontTools.fontBuilder import FontBuilder
from fontTools.pens.t2CharStringPen import T2CharStringPen
from fontTools.pens.ttGlyphPen import TTGlyphPen

ASCII = list(range(0x20, 0x7F))
LATIN = ASCII + list(range(0xA0, 0x100))
# file name, English family, Chinese family (empty: none), characters
FONTS = [
    ("QuillSans.ttf", "Quill Sans", "黑曜体", ASCII),
    ("BrookSerif.ttf", "brook Serif", "宋韵体", ASCII),
    ("IvyMono.ttf", "Ivy Mono", "安澜体", ASCII),
    ("OrchidText.otf", "Orchid Text", "", ASCII),
    ("PlainLatin.ttf", "Plain Latin", "", LATIN),
    ("HanziSans.ttf", "Hanzi Sans", "墨字体", LATIN + [ord(c) for c in "鑫淼永字"]),
    ("DevaText.ttf", "Deva Text", "", [0x20] + list(range(0x0900, 0x0980))),
    # U+1D11E MUSICAL SYMBOL G CLEF, beyond the Basic Multilingual Plane.
    ("RareGlyph.ttf", "Rare Glyph", "", [0x20, 0x1D11E]),
]


def box(pen):
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((450, 700))
    pen.lineTo((450, 0))
    pen.closePath()


def glyph_name(code):
    return f"uni{code:04X}" if code <= 0xFFFF else f"u{code:05X}"


def build(path, english, chinese, codes):
    cff = path.endswith(".otf")
    order = [".notdef"] + [glyph_name(c) for c in codes]
    fb = FontBuilder(1000, isTTF=not cff)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({c: glyph_name(c) for c in codes})
    ps_name = english.replace(" ", "")
    if cff:
        charstrings = {}
        for name in order:
            pen = T2CharStringPen(500, None)
            if name != "uni0020":
                box(pen)
            charstrings[name] = pen.getCharString()
        fb.setupCFF(ps_name, {"FullName": english}, charstrings, {})
    else:
        glyphs = {}
        for name in order:
            pen = TTGlyphPen(None)
            if name != "uni0020":
                box(pen)
            glyphs[name] = pen.glyph()
        fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (500, 50) for name in order})
    fb.setupHorizontalHeader(ascent=800, descent=-200)
    fb.setupHead(created=3660595200, modified=3660595200, fontRevision=1.5)
    names = {
        "familyName": english,
        "styleName": "Regular",
        "uniqueFontIdentifier": ps_name + ";1.500",
        "fullName": english,
        "version": "Version 1.500",
        "psName": ps_name,
        "designer": "VLFonts Tests",
        "licenseDescription": "Free for testing",
    }
    fb.setupNameTable(names, windows=True, mac=False)
    if chinese:
        # Windows platform, Unicode BMP, language 0x0804: Chinese (PRC).
        for name_id in (1, 4):
            fb.font["name"].setName(chinese, name_id, 3, 1, 0x0804)
    fb.setupOS2(sTypoAscender=800, sTypoDescender=-200, usWinAscent=800, usWinDescent=200,
                fsType=0, achVendID="NONE")
    fb.setupPost()
    fb.font.save(path)


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    for file_name, english, chinese, codes in FONTS:
        build(os.path.join(outdir, file_name), english, chinese, codes)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
