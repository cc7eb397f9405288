#!/usr/bin/python3
"""Builds tanuki.ttf: Klee One (SIL OFL 1.1, from Debian's fonts-klee) cut down to the characters
the game draws and renamed to the family the game asks for; and cards.ttf, the clear face of the
card indices: DejaVu Sans Bold (Bitstream Vera licence, see DejaVu-LICENSE.txt, from Debian's
fonts-dejavu-core) cut down to the ranks and JOKER and renamed, as that licence asks of a changed font.

Needs python3-fonttools, fonts-klee and fonts-dejavu-core; the results are committed, so the build
never runs this. Run it again whenever a new text (code, story page, picture) brings a character the
font lacks:
    /usr/bin/python3 assets/font/make_font.py          # both faces
    /usr/bin/python3 assets/font/make_font.py cards    # only the card indices
"""
import os
import re
import sys
from fontTools import subset
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
SOURCE = "/usr/share/fonts/truetype/klee/KleeOne-SemiBold.ttf"
FAMILY = "Tanuki Permanent Marker"
CARD_SOURCE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
CARD_FAMILY = "Tovira Card Index"
CARD_TEXT = "0123456789AJQKOER"
TEXT_DIRS = ["assets/font", "app", "launcher", "games", "story", "sound", "assets/art", "assets/story",
             "assets/tools", "tests"]
TEXT_EXT = (".cpp", ".h", ".svg", ".txt", ".ts")
# English typography, so a translation may use it before its first text is drawn: curly quotes
# and apostrophes, dashes, the ellipsis, the bullet and the arrows of key hints.
ENGLISH = "\u2018\u2019\u201c\u201d\u2013\u2014\u2026\u2022\u2190\u2191\u2192\u2193"


def wanted_characters():
    chars = set(chr(c) for c in range(0x20, 0x7F))
    chars |= set(chr(c) for c in range(0x3000, 0x3040))  # CJK punctuation
    chars |= set(chr(c) for c in range(0x3041, 0x3097))  # hiragana
    chars |= set(chr(c) for c in range(0x30A0, 0x3100))  # katakana
    chars |= set(chr(c) for c in range(0xFF01, 0xFF5F))  # full-width forms
    chars |= set(ENGLISH)
    # Every language's texts: the pictures' text tables (assets/art/text), the stories
    # (assets/story/<language>) and the code's Qt Linguist files (*.ts, wherever they lie).
    for base, dirs, files in os.walk(ROOT):
        dirs[:] = [d for d in dirs if not d.startswith((".", "build"))]
        for name in files:
            if name.endswith(".ts"):
                with open(os.path.join(base, name), encoding="utf-8", errors="ignore") as f:
                    chars |= set(f.read())
    for d in TEXT_DIRS:
        for base, _, files in os.walk(os.path.join(ROOT, d)):
            for name in files:
                if name.endswith(TEXT_EXT):
                    with open(os.path.join(base, name), encoding="utf-8", errors="ignore") as f:
                        chars |= set(f.read())
    return "".join(sorted(c for c in chars if ord(c) >= 0x20))


def rename(font, family):
    for record in font["name"].names:
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID == 4:
            record.string = family
        elif record.nameID == 6:
            record.string = family.replace(" ", "")
        elif record.nameID in (2, 17):
            record.string = "Regular"


def cut(source, family, text, name):
    options = subset.Options()
    options.name_IDs = ["*"]
    options.name_languages = ["*"]
    font = TTFont(source)
    sub = subset.Subsetter(options)
    sub.populate(text=text)
    sub.subset(font)
    rename(font, family)
    out = os.path.join(HERE, name)
    font.save(out)
    print("%s: %d characters, %d bytes" % (out, len(text), os.path.getsize(out)))


def main():
    if sys.argv[1:] != ["cards"]:
        cut(SOURCE, FAMILY, wanted_characters(), "tanuki.ttf")
    cut(CARD_SOURCE, CARD_FAMILY, CARD_TEXT, "cards.ttf")


if __name__ == "__main__":
    sys.exit(main())
