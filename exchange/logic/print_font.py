#!/usr/bin/python3

# SPDX-FileCopyrightText: 2026 Kotobax developers
#
# SPDX-License-Identifier: GPL-3.0-or-later

"""Writes the Japanese print font: the installed CJK face cut to the Shift_JIS characters.

Qt's PDF writer maps each glyph back to the lowest code point the font maps to it, and the
CJK face maps a Kangxi radical and its ideograph (or U+301C and U+FF5E) to one glyph; copied
text then holds the radical. Within the Shift_JIS characters every glyph has one code point.

usage: print_font.py SOURCE.ttc FACE_NAME FAMILY OUTPUT.otf
"""
import sys

from fontTools import subset
from fontTools.ttLib import TTCollection


def shift_jis_characters():
    characters = set(range(0x20, 0x7F))
    for lead in range(0x81, 0x100):
        for trail in range(0x40, 0xFD):
            try:
                text = bytes([lead, trail]).decode("cp932")
            except UnicodeDecodeError:
                continue
            if len(text) == 1:
                characters.add(ord(text))
    for single in range(0xA1, 0xE0):
        characters.add(ord(bytes([single]).decode("cp932")))
    # Forms of the common-use kanji that Shift_JIS lacks.
    characters.update((0x525D, 0x5861, 0x9830))
    # The face draws nothing in the user-defined area.
    return sorted(c for c in characters if not 0xE000 <= c <= 0xF8FF)


def main():
    source, face_name, family, output = sys.argv[1:]
    faces = TTCollection(source).fonts
    font = next(f for f in faces if f["name"].getDebugName(4) == face_name)
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    options.notdef_outline = True
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=shift_jis_characters())
    subsetter.subset(font)
    glyphs = {}
    for code, glyph in font.getBestCmap().items():
        if glyph in glyphs:
            sys.exit(f"U+{glyphs[glyph]:04X} and U+{code:04X} share a glyph")
        glyphs[glyph] = code
    # Its own family, so that it never stands in for the installed face.
    style = font["name"].getDebugName(2)
    for record in font["name"].names:
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID in (4,):
            record.string = f"{family} {style}"
        elif record.nameID == 6:
            record.string = f"{family}-{style}".replace(" ", "")
    font.save(output)


if __name__ == "__main__":
    main()
