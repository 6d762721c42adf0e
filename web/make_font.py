#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Writes the page's web font: Liberation Sans cut down to printable ASCII, every
character the page itself shows (captions, messages, numbers), as WOFF2.

Liberation is a Reserved Font Name of its licence (SIL OFL 1.1), and a subset is a
modified version, so the subset carries a name of its own."""
import sys

from fontTools import subset
from fontTools.ttLib import TTFont


def main(source: str, target: str, family: str) -> None:
    # Saving would otherwise stamp head.modified with the clock; the source's own date
    # keeps the file the same on every rebuild.
    font = TTFont(source, recalcTimestamp=False)
    options = subset.Options()
    options.flavor = "woff2"
    options.layout_features = ["kern"]
    options.name_IDs = [0, 1, 2, 3, 4, 5, 6]
    options.notdef_outline = True
    # TrueType instructions are three fifths of the file, and browsers on the platforms the
    # page is drawn on grid-fit outlines with their own hinter, or not at all.
    options.hinting = False
    subsetter = subset.Subsetter(options)
    subsetter.populate(unicodes=range(0x20, 0x7F))
    subsetter.subset(font)
    names = font["name"]
    for record in names.names:
        if record.nameID in (1, 4, 16):
            names.setName(family, record.nameID, record.platformID, record.platEncID,
                          record.langID)
        elif record.nameID in (3, 6):
            names.setName(family.replace(" ", "") + "-Regular", record.nameID, record.platformID,
                          record.platEncID, record.langID)
    font.flavor = "woff2"
    font.save(target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], sys.argv[3])
