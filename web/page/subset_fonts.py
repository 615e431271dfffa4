#!/usr/bin/env python3
"""Writes the page's web fonts: the four Liberation Sans faces the windows use,
cut down to the Latin characters and compressed as WOFF2. A cut-down face is a
modified font under the SIL OFL, whose Reserved Font Name "Liberation" it may
not carry, so it is renamed.

Usage: subset_fonts.py FONT_DIR OUT_DIR FAMILY"""

import os
import sys

try:
    from fontTools import subset
    from fontTools.ttLib import TTFont
except ImportError:
    sys.exit("subset_fonts.py: fontTools is missing; run: scripts/install-deps web")

FACES = {"Regular": "Regular", "Bold": "Bold", "Italic": "Italic", "BoldItalic": "Bold Italic"}
# Printable ASCII and Latin-1, and the dashes, quotes, bullet, ellipsis and euro sign.
UNICODES = [*range(0x20, 0x7F), *range(0xA0, 0x100), *range(0x2010, 0x2027), 0x20AC]


def main():
    font_dir, out_dir, family = sys.argv[1:4]
    os.makedirs(out_dir, exist_ok=True)
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = ["kern", "liga"]
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6, 13, 14]
    options.drop_tables += ["FFTM"]  # FontForge's time stamps, which the subsetter cannot cut
    for face, style in FACES.items():
        path = os.path.join(font_dir, f"LiberationSans-{face}.ttf")
        if not os.path.exists(path):
            sys.exit(f"subset_fonts.py: {path} is missing; run: scripts/install-deps web")
        font = TTFont(path)
        subsetter = subset.Subsetter(options)
        subsetter.populate(unicodes=UNICODES)
        subsetter.subset(font)
        names = font["name"]
        for record in names.names:
            if record.nameID in (1, 16):
                names.setName(family, record.nameID, record.platformID, record.platEncID, record.langID)
            elif record.nameID in (3, 4):
                names.setName(f"{family} {style}", record.nameID, record.platformID, record.platEncID, record.langID)
            elif record.nameID == 6:
                names.setName(f"{family.replace(' ', '')}-{face}", record.nameID, record.platformID,
                              record.platEncID, record.langID)
        font.flavor = "woff2"
        font.save(os.path.join(out_dir, f"{face}.woff2"))


if __name__ == "__main__":
    main()
