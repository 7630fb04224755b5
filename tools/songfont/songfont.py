"""Derives the dialog font of the Wine prefix from Debian's AR PL UMing CN.

Dialog templates ask for 9-point "宋体". Windows' SimSun is a Ming face whose
cell at 12 pixels is exactly 12 pixels high with 6-pixel Latin letters, which
makes one dialog unit 1.5 pixels both ways. UMing is a Ming face with the same
Latin widths but a taller cell; with the vertical metrics set to one em (the
same split as SimSun), Wine lays dialogs out at the sizes they have on Windows.
Small sizes are drawn without smoothing, as SimSun's bitmaps are.

Usage: songfont.py SOURCE.ttc OUTPUT.ttf
"""
import sys

from fontTools.ttLib import TTCollection, newTable

FAMILY = "Zendal Song"


def derive(source, output):
    font = TTCollection(source).fonts[0]
    upem = font["head"].unitsPerEm
    ascent = upem * 10 // 12
    descent = upem - ascent
    hhea = font["hhea"]
    hhea.ascent, hhea.descent, hhea.lineGap = ascent, -descent, 0
    os2 = font["OS/2"]
    os2.usWinAscent, os2.usWinDescent = ascent, descent
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ascent, -descent, 0
    # Like SimSun's bitmap strikes: small sizes drawn crisp, without grey smoothing.
    gasp = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {16: 0x0001, 0xFFFF: 0x0003}
    font["gasp"] = gasp
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (1, 4, 6, 16, 17, 21, 22):
            names.removeNames(nameID=record.nameID)
    for name_id, text in ((1, FAMILY), (2, "Regular"), (4, FAMILY), (6, FAMILY.replace(" ", "-"))):
        names.setName(text, name_id, 3, 1, 0x409)
        names.setName(text, name_id, 1, 0, 0)
    font.save(output)


if __name__ == "__main__":
    derive(sys.argv[1], sys.argv[2])
