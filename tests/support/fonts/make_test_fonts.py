#!/usr/bin/python3
"""Write the small fonts the tests install: families with an English and a Chinese name,
one OpenType (CFF) font, four of known coverage for finding fonts by text (Latin only, Latin
with a few Chinese characters, Devanagari alone, and one rare character alone), and one font
that holds only a few Devanagari letters, which no other font the fallback tests install holds,
each drawn as a solid block, and one such font of Thai letters.

Usage: make_test_fonts.py OUTDIR
"""

import os
import sys

from fontTools.feaLib.builder import addOpenTypeFeaturesFromString
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
# Fonts of one script: file name, family (its only name), PostScript name, letters, script
# tags: Devanagari (क म ल) and Thai (ร ว ม).
SCRIPT_FONTS = [
    ("Kamal.ttf", "\u0915\u092E\u0932", "Kamal", [0x20, 0x0915, 0x092E, 0x0932], ("dev2", "deva")),
    ("Ruam.ttf", "\u0E23\u0E27\u0E21", "Ruam", [0x20, 0x0E21, 0x0E23, 0x0E27], ("thai",)),
]


def box(pen, width=500):
    pen.moveTo((50, 0))
    pen.lineTo((50, 700))
    pen.lineTo((width - 50, 700))
    pen.lineTo((width - 50, 0))
    pen.closePath()


def glyph_name(code):
    return f"uni{code:04X}" if code <= 0xFFFF else f"u{code:05X}"


def build(path, english, chinese, codes, ps_name=None, width=500, scripts=()):
    cff = path.endswith(".otf")
    order = [".notdef"] + [glyph_name(c) for c in codes]
    fb = FontBuilder(1000, isTTF=not cff)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap({c: glyph_name(c) for c in codes})
    ps_name = ps_name or english.replace(" ", "")
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
                box(pen, width)
            glyphs[name] = pen.glyph()
        fb.setupGlyf(glyphs)
    fb.setupHorizontalMetrics({name: (width, 50) for name in order})
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
    if scripts:
        # The toolkit draws a script that needs shaping only in a font whose layout tables
        # name that script.
        systems = "".join(f"languagesystem {tag} dflt;\n" for tag in scripts)
        first = glyph_name(codes[-1])
        addOpenTypeFeaturesFromString(
            fb.font, f"languagesystem DFLT dflt;\n{systems}"
                     f"feature locl {{ sub {first} by {first}; }} locl;\n")
    fb.font.save(path)


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    for file_name, english, chinese, codes in FONTS:
        build(os.path.join(outdir, file_name), english, chinese, codes)
    for file_name, family, ps_name, codes, scripts in SCRIPT_FONTS:
        build(os.path.join(outdir, file_name), family, "", codes, ps_name, width=1000,
              scripts=scripts)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
