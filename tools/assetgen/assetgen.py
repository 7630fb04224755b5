#!/usr/bin/python3
"""Draws the skin of 云杉工坊文件安全: the layered main window's PNG images,
the page host's bitmaps, the small list and mode bitmaps and the icons.

Usage: assetgen.py OUTDIR

Everything is drawn here in code so that no binary file needs to live in
the repository.  The output is byte-for-byte reproducible: no timestamps,
no randomness, and text is laid out with Pillow's basic engine so that the
result does not depend on whether libraqm happens to be installed.
"""

import math
import os
import struct
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_PATH = '/usr/share/fonts/truetype/wqy/wqy-microhei.ttc'
SS = 4  # supersampling factor for antialiased shapes

TITLE = '云杉工坊文件安全'
FAMILY = '云杉工坊系统工具'

# Skin colours shared with the skinned controls.
BG = (245, 255, 255)
FRAME_GREY = (150, 150, 150)
CYAN = (55, 215, 230)
GOLD = (190, 165, 5)
GREY_TEXT = (100, 100, 100)

# Palette of the drawings.
TEAL = (30, 150, 175)
TEAL_DARK = (18, 104, 124)
TEAL_LIGHT = (90, 205, 222)
PAPER = (252, 253, 253)
PAPER_EDGE = (104, 122, 132)
PAPER_LINE = (150, 192, 204)
FOLDER = (246, 200, 72)
FOLDER_DARK = (198, 142, 28)
FOLDER_LIGHT = (252, 222, 120)
AMBER = (240, 176, 36)
AMBER_DARK = (168, 112, 8)
RED = (214, 58, 48)
RED_DARK = (150, 30, 24)
GREEN = (46, 160, 66)
BLUE = (40, 118, 212)
BLUE_DARK = (20, 72, 150)
STEEL = (112, 124, 132)
NAV_PANEL = (234, 248, 251)
NAV_PANEL_EDGE = (198, 228, 234)

# Page host geometry, in pixels.
HOST_W, HOST_H = 750, 580
HEADER_H = 113
PAGE_X = 183
NAV_X, NAV_Y0, NAV_DY, NAV_W, NAV_H = 27, 122, 39, 138, 30


# ---------------------------------------------------------------- helpers

def font(px):
    return ImageFont.truetype(FONT_PATH, px, index=0,
                              layout_engine=ImageFont.Layout.BASIC)


def mix(a, b, t):
    return tuple(int(round(x + (y - x) * t)) for x, y in zip(a, b))


def vgradient(size, stops):
    """RGB image with a vertical gradient through (position 0..1, colour) stops."""
    w, h = size
    img = Image.new('RGB', size)
    d = ImageDraw.Draw(img)
    for y in range(h):
        t = y / max(1, h - 1)
        for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
            if p0 <= t <= p1:
                d.line([(0, y), (w - 1, y)], fill=mix(c0, c1, (t - p0) / max(1e-9, p1 - p0)))
                break
    return img


def aa_mask(size, draw_fn):
    """Antialiased L mask: draw_fn(draw, k) paints 255 at k-times size."""
    w, h = size
    big = Image.new('L', (w * SS, h * SS), 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize(size, Image.LANCZOS)


def layer(size, colour, mask):
    """Solid (or image) layer with the given mask as alpha."""
    img = colour.convert('RGBA') if isinstance(colour, Image.Image) else Image.new('RGBA', size, colour + (255,))
    img.putalpha(mask)
    return img


def scale_alpha(mask, factor):
    return mask.point(lambda v: int(v * factor + 0.5))


class Canvas:
    """RGBA drawing surface addressed in design units.

    A design of `grid` units is rendered at size*SS pixels and downsampled,
    so shapes are antialiased.  Rectangle edges snap to whole output pixels
    so that small icons stay crisp.
    """

    def __init__(self, size, grid):
        self.size, self.grid = size, grid
        self.im = Image.new('RGBA', (size * SS, size * SS), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.im)

    def f(self, v):  # free coordinate
        return v * self.size / self.grid * SS

    def p(self, v):  # coordinate snapped to the output pixel grid
        return round(v * self.size / self.grid) * SS

    def w(self, v):  # stroke width, at least one output pixel
        return max(1, round(v * self.size / self.grid)) * SS

    def box(self, x0, y0, x1, y1, inset=0):
        return [self.p(x0) + inset, self.p(y0) + inset, self.p(x1) - 1 - inset, self.p(y1) - 1 - inset]

    def rect(self, x0, y0, x1, y1, fill, edge=None, stroke=1.0, radius=0):
        """Filled rectangle with an inner outline (outline colour under the fill)."""
        r = self.f(radius)
        if edge is not None:
            self.d.rounded_rectangle(self.box(x0, y0, x1, y1), r, fill=edge + (255,))
            t = self.w(stroke)
            self.d.rounded_rectangle(self.box(x0, y0, x1, y1, t), max(0, r - t), fill=fill + (255,))
        else:
            self.d.rounded_rectangle(self.box(x0, y0, x1, y1), r, fill=fill + (255,))

    def poly(self, pts, fill, edge=None, stroke=1.0, snap=True):
        c = self.p if snap else self.f
        xy = [(c(x), c(y)) for x, y in pts]
        self.d.polygon(xy, fill=fill + (255,) if fill else None)
        if edge is not None:
            t = self.w(stroke)
            self.d.line(xy + [xy[0]], fill=edge + (255,), width=t, joint='curve')

    def line(self, pts, colour, stroke=1.0, snap=False):
        c = self.p if snap else self.f
        self.d.line([(c(x), c(y)) for x, y in pts], fill=colour + (255,),
                    width=self.w(stroke), joint='curve')
        # round caps
        r = self.w(stroke) / 2
        for x, y in (pts[0], pts[-1]):
            self.d.ellipse([c(x) - r, c(y) - r, c(x) + r, c(y) + r], fill=colour + (255,))

    def ellipse(self, cx, cy, rx, ry, fill, edge=None, stroke=1.0):
        b = [self.f(cx - rx), self.f(cy - ry), self.f(cx + rx), self.f(cy + ry)]
        if edge is not None:
            self.d.ellipse(b, fill=edge + (255,))
            t = self.w(stroke)
            b = [b[0] + t, b[1] + t, b[2] - t, b[3] - t]
        self.d.ellipse(b, fill=fill + (255,))

    def gradient_shape(self, mask_fn, top, bottom):
        """Fill a shape drawn by mask_fn(draw) with a vertical gradient."""
        mask = Image.new('L', self.im.size, 0)
        mask_fn(ImageDraw.Draw(mask))
        g = vgradient(self.im.size, [(0, top), (1, bottom)]).convert('RGBA')
        g.putalpha(mask)
        self.im.alpha_composite(g)

    def result(self):
        return self.im.resize((self.size, self.size), Image.LANCZOS)


# ---------------------------------------------------------------- writers

def write_png(img, path):
    img.convert('RGBA').save(path, 'PNG', optimize=False, compress_level=9)


def write_bmp(img, path):
    """24-bit BI_RGB bottom-up BMP, rows padded to four bytes."""
    img = img.convert('RGB')
    w, h = img.size
    raw = img.tobytes('raw', 'BGR')
    pad = b'\0' * ((-w * 3) % 4)
    pixels = b''.join(raw[y * w * 3:(y + 1) * w * 3] + pad for y in range(h - 1, -1, -1))
    file_header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, 'wb') as fh:
        fh.write(file_header + info + pixels)


def ico_image(img):
    """One classic icon image: BITMAPINFOHEADER (double height), BGRA XOR, AND mask."""
    img = img.convert('RGBA')
    w, h = img.size
    raw = img.tobytes('raw', 'BGRA')
    xor = b''.join(raw[y * w * 4:(y + 1) * w * 4] for y in range(h - 1, -1, -1))
    alpha = img.getchannel('A').tobytes()
    stride = ((w + 31) // 32) * 4
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if alpha[y * w + x] == 0:  # transparent for GDI without alpha
                row[x >> 3] |= 0x80 >> (x & 7)
        rows.append(bytes(row))
    andmask = b''.join(rows)
    info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    return info + xor + andmask


def write_ico(images, path):
    blobs = [ico_image(im) for im in images]
    out = struct.pack('<HHH', 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for im, blob in zip(images, blobs):
        w, h = im.size
        out += struct.pack('<BBBBHHII', w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    with open(path, 'wb') as fh:
        fh.write(out + b''.join(blobs))


# ---------------------------------------------------------------- shared motifs

def shield_points(cv, x0, y0, x1, y1):
    """Shield outline in design units: flat shoulders, curved sides, point below."""
    cx = (x0 + x1) / 2
    pts = [(x0, y0 + (y1 - y0) * 0.14), (cx, y0), (x1, y0 + (y1 - y0) * 0.14)]
    mid = y0 + (y1 - y0) * 0.50
    pts.append((x1, mid))
    n = 12
    for i in range(1, n + 1):  # right flank curving into the point
        t = i / n
        pts.append((x1 - (x1 - cx) * t ** 1.6, mid + (y1 - mid) * t))
    for i in range(n - 1, -1, -1):
        t = i / n
        pts.append((x0 + (cx - x0) * t ** 1.6, mid + (y1 - mid) * t))
    return [(cv.f(x), cv.f(y)) for x, y in pts]


def draw_shield(cv, x0, y0, x1, y1, top, bottom, edge, rim=None):
    outer = shield_points(cv, x0, y0, x1, y1)
    cv.d.polygon(outer, fill=edge + (255,))
    s = (x1 - x0) * 0.07 * max(1.0, 24 / cv.size)  # keep the outline visible when small
    if rim is not None:
        cv.d.polygon(shield_points(cv, x0 + s, y0 + s, x1 - s, y1 - s * 1.3), fill=rim + (255,))
        s *= 1.9
    inner = shield_points(cv, x0 + s, y0 + s, x1 - s, y1 - s * 1.3)
    cv.gradient_shape(lambda d: d.polygon(inner, fill=255), top, bottom)


def draw_spruce(cv, cx, top, bottom, half, colour):
    """Three stacked triangles on a short trunk."""
    h = bottom - top
    tiers = [(top, top + h * 0.36, half * 0.55),
             (top + h * 0.18, top + h * 0.60, half * 0.78),
             (top + h * 0.38, top + h * 0.84, half)]
    for t0, t1, hw in tiers:
        cv.poly([(cx, t0), (cx + hw, t1), (cx - hw, t1)], colour, snap=False)
    tw = max(half * 0.16, cv.grid / cv.size * 0.5)
    cv.poly([(cx - tw, top + h * 0.84), (cx + tw, top + h * 0.84), (cx + tw, bottom), (cx - tw, bottom)],
            colour, snap=False)


def draw_document(cv, x0, y0, x1, y1, fold, lines=3):
    cv.poly([(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)], PAPER, PAPER_EDGE, 1.6)
    cv.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], (214, 230, 236), PAPER_EDGE, 1.6)
    step = (y1 - y0 - fold - 6) / max(1, lines)
    for i in range(lines):
        y = y0 + fold + 3 + step * i
        right = x1 - 5 if i else x1 - fold - 2
        if y < y1 - 4:
            cv.rect(x0 + 5, y, right, y + 2, PAPER_LINE)


def draw_folder(cv, x0, y0, x1, y1):
    tab = (x1 - x0) * 0.38
    cv.rect(x0, y0, x0 + tab, y0 + 8, FOLDER_DARK, radius=2)
    cv.rect(x0, y0 + 4, x1, y1, FOLDER, FOLDER_DARK, 1.6, radius=2)
    cv.rect(x0, y0 + 10, x1, y1, FOLDER_LIGHT, FOLDER_DARK, 1.6, radius=2)


def draw_badge_shield(cv, x0, y0, x1, y1):
    draw_shield(cv, x0, y0, x1, y1, TEAL_LIGHT, TEAL, TEAL_DARK, rim=(255, 255, 255))
    cx, cy, s = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0)
    cv.line([(cx - s * 0.22, cy - s * 0.02), (cx - s * 0.04, cy + s * 0.17), (cx + s * 0.24, cy - s * 0.17)],
            (255, 255, 255), 2.6)


def draw_padlock(cv, x0, y0, x1, y1, body, edge):
    w = x1 - x0
    sh = w * 0.24
    cv.d.rounded_rectangle([cv.f(x0 + sh), cv.f(y0), cv.f(x1 - sh), cv.f(y0 + (y1 - y0) * 0.7)],
                           cv.f(w * 0.26), outline=STEEL + (255,), width=cv.w(3.2))
    by = y0 + (y1 - y0) * 0.42
    cv.rect(x0, by, x1, y1, body, edge, 1.6, radius=2.5)
    cx = (x0 + x1) / 2
    kc = by + (y1 - by) * 0.42
    cv.ellipse(cx, kc, 2.4, 2.4, edge)
    cv.poly([(cx - 1.1, kc), (cx + 1.1, kc), (cx + 1.6, kc + 5.2), (cx - 1.6, kc + 5.2)], edge, snap=False)


# ---------------------------------------------------------------- icons

def icon_app(cv):
    draw_shield(cv, 4, 2, 44, 46, (84, 210, 226), (20, 128, 154), TEAL_DARK, rim=(235, 252, 255))
    draw_spruce(cv, 24, 10, 38, 11.5, (255, 255, 255))


def icon_encrypt(cv):
    draw_document(cv, 5, 3, 33, 42, 9, 4)
    draw_padlock(cv, 21, 18, 45, 45, AMBER, AMBER_DARK)


def icon_crush(cv):
    draw_document(cv, 12, 2, 36, 30, 8, 3)
    for i, x in enumerate(range(11, 35, 5)):
        cv.rect(x, 28, x + 4, 42 + (2 if i % 2 else 4), PAPER, PAPER_EDGE, 1.2)
    cv.rect(4, 19, 44, 31, (120, 134, 144), (70, 82, 92), 1.6, radius=3)
    cv.rect(9, 24, 39, 27, (54, 62, 70))
    cv.ellipse(40, 22.5, 1.6, 1.6, (90, 220, 110))


def icon_split(cv):
    zig = [(0, 0), (3, 6), (-2, 12), (3, 19), (-2, 26), (2, 33), (0, 38)]
    lx, rx, top = 21, 27, 5
    left = [(3, top + 3), (lx, top + 3)] + [(lx + dx, top + 3 + dy) for dx, dy in zig][1:] + [(3, top + 41)]
    cv.poly(left, PAPER, PAPER_EDGE, 1.6, snap=False)
    right = [(rx + dx - 1, top - 2 + dy) for dx, dy in zig] + [(45, top + 36), (45, top + 6), (39, top - 2)]
    cv.poly(right, PAPER, PAPER_EDGE, 1.6, snap=False)
    cv.poly([(39, top - 2), (39, top + 6), (45, top + 6)], (214, 230, 236), PAPER_EDGE, 1.6, snap=False)
    for i in range(4):
        y = top + 11 + 7 * i
        cv.rect(7, y, 18, y + 2, PAPER_LINE)
        cv.rect(31, y - 5, 41, y - 3, PAPER_LINE)


def icon_fileprotect(cv):
    draw_document(cv, 4, 2, 32, 42, 9, 4)
    draw_badge_shield(cv, 21, 19, 46, 47)


def icon_folderprotect(cv):
    draw_folder(cv, 2, 7, 40, 38)
    draw_badge_shield(cv, 21, 19, 46, 47)


def icon_diskhide(cv):
    box = [cv.p(3), cv.p(23), cv.p(45) - 1, cv.p(45) - 1]
    cv.gradient_shape(lambda d: d.rounded_rectangle(box, cv.f(4), fill=255), (214, 222, 228), (160, 172, 182))
    cv.d.rounded_rectangle(box, cv.f(4), outline=(80, 92, 102, 255), width=cv.w(1.6))
    cv.rect(6, 35, 42, 37, (110, 122, 132))
    cv.ellipse(38, 40.5, 1.9, 1.9, (60, 200, 90))
    for x in (8, 12, 16):
        cv.rect(x, 39, x + 2, 42, (120, 132, 142))
    # an eye struck through above the disk: the drive is hidden
    top = [(24 + 18 * t, 11 - 9 * (1 - t * t)) for t in [i / 10 - 1 for i in range(21)]]
    bottom = [(x, 22 - y) for x, y in top]
    cv.poly(top + bottom[::-1], (255, 255, 255), BLUE_DARK, 2.0, snap=False)
    cv.ellipse(24, 11, 5.5, 5.5, BLUE)
    cv.ellipse(24, 11, 2.2, 2.2, BLUE_DARK)
    cv.line([(9, 21), (39, 1)], (255, 255, 255), 5.0)
    cv.line([(9, 21), (39, 1)], RED, 2.6)


def icon_function(cv):
    cx = cy = 24
    pts = []
    teeth = 8
    for i in range(teeth * 4):
        a = (i / (teeth * 4)) * 2 * math.pi
        r = 21 if (i % 4) in (1, 2) else 15.5
        pts.append((cx + r * math.cos(a - math.pi / 16), cy + r * math.sin(a - math.pi / 16)))
    big = [(cv.f(x), cv.f(y)) for x, y in pts]
    cv.d.polygon(big, fill=TEAL_DARK + (255,))
    inner = [(cv.f(cx + (x - cx) * 0.86), cv.f(cy + (y - cy) * 0.86)) for x, y in pts]
    cv.gradient_shape(lambda d: d.polygon(inner, fill=255), TEAL_LIGHT, TEAL)
    cv.ellipse(cx, cy, 7.5, 7.5, PAPER, TEAL_DARK, 1.6)
    cv.ellipse(cx, cy, 3, 3, GOLD)


ICON_SIZES = (16, 24, 32, 48)

ICONS = {
    'app.ico': icon_app,
    'nav_encrypt.ico': icon_encrypt,
    'nav_crush.ico': icon_crush,
    'nav_split.ico': icon_split,
    'nav_fileprotect.ico': icon_fileprotect,
    'nav_folderprotect.ico': icon_folderprotect,
    'nav_diskhide.ico': icon_diskhide,
    'nav_function.ico': icon_function,
}


def render_icon(fn, size):
    cv = Canvas(size, 48)
    fn(cv)
    return cv.result()


def make_icons(out):
    for name, fn in ICONS.items():
        write_ico([render_icon(fn, s) for s in ICON_SIZES], os.path.join(out, name))


# ---------------------------------------------------------------- main window

FRAME_W, FRAME_H = 780, 630
BODY = (3, 2, 777, 627)          # window body inside the shadow
RADIUS = 9
BAND_H = 35
CLOSE_POS, MIN_POS = (720, 5), (694, 5)


def rounded_mask(box, radius, inset=0):
    x0, y0, x1, y1 = box

    def draw(d, k):
        d.rounded_rectangle([(x0 + inset) * k, (y0 + inset) * k, (x1 - inset) * k - 1, (y1 - inset) * k - 1],
                            (radius - inset) * k, fill=255)
    return aa_mask((FRAME_W, FRAME_H), draw)


def make_frame():
    size = (FRAME_W, FRAME_H)
    band_top, band_bot = (78, 200, 218), (26, 142, 168)
    body = vgradient(size, [(0, band_top), ((BAND_H - 1) / (FRAME_H - 1), band_bot),
                            (BAND_H / (FRAME_H - 1), (132, 212, 226)), (1, (96, 186, 204))])
    # gloss on the upper half of the title band
    gloss = Image.new('RGBA', size, (0, 0, 0, 0))
    ImageDraw.Draw(gloss).rectangle([0, 0, FRAME_W, 17], fill=(255, 255, 255, 34))
    body = Image.alpha_composite(body.convert('RGBA'), gloss)
    d = ImageDraw.Draw(body)
    # the page host covers this; its own colour keeps any uncovered row invisible
    d.rectangle([15, 35, 764, 614], fill=BG + (255,))
    d.rectangle([14, 34, 765, 615], outline=(58, 146, 166, 255))
    d.line([(15, 616), (765, 616)], fill=(176, 232, 240, 255))
    d.line([(766, 35), (766, 616)], fill=(176, 232, 240, 255))
    # title: logo mark and name
    logo = render_icon(icon_app, 24)
    body.alpha_composite(logo, (12, 6))
    f = font(15)
    d.text((43, 19), TITLE, font=f, fill=(8, 82, 100, 110), anchor='lm')
    d.text((42, 18), TITLE, font=f, fill=(255, 255, 255, 255), anchor='lm')

    # edge: dark outline, then a faint light rim just inside it
    outer = rounded_mask(BODY, RADIUS)
    in1 = rounded_mask(BODY, RADIUS, 1)
    in2 = rounded_mask(BODY, RADIUS, 2)
    body.alpha_composite(layer(size, TEAL_DARK, ImageChops.subtract(outer, in1)))
    body.alpha_composite(layer(size, (255, 255, 255), scale_alpha(ImageChops.subtract(in1, in2), 0.35)))
    body.putalpha(outer)

    shadow_mask = Image.new('L', size, 0)
    shadow_mask.paste(outer, (0, 1))
    shadow = layer(size, (0, 40, 52), scale_alpha(shadow_mask.filter(ImageFilter.GaussianBlur(2)), 0.45))
    return Image.alpha_composite(shadow, body)


def glyph_close(cv, ox, oy, w, h):
    cx, cy, a = ox + w / 2, oy + h / 2, 4.0
    cv.line([(cx - a, cy - a), (cx + a, cy + a)], (255, 255, 255), 1.7)
    cv.line([(cx - a, cy + a), (cx + a, cy - a)], (255, 255, 255), 1.7)


def glyph_min(cv, ox, oy, w, h):
    cx, cy = ox + w / 2, oy + h / 2 + 3
    cv.line([(cx - 4.5, cy), (cx + 4.5, cy)], (255, 255, 255), 1.8)


def caption_button(size, glyph, normal_size, hot=None):
    """Caption button image; hot images put the normal area at (+5, +6)."""
    w, h = size
    cv = Canvas(max(w, h), max(w, h))  # one design unit per pixel
    ox, oy = (5, 6) if hot else (0, 0)
    nw, nh = normal_size
    if hot:
        top, bottom, edge = hot
        r = 4 * SS
        box = [(ox - 1) * SS, (oy - 1) * SS, (ox + nw + 1) * SS - 1, (oy + nh + 1) * SS - 1]
        glow = Image.new('L', cv.im.size, 0)
        ImageDraw.Draw(glow).rounded_rectangle(box, r, fill=110)
        glow = glow.filter(ImageFilter.GaussianBlur(2.5 * SS))
        ImageDraw.Draw(glow).rectangle([0, 0, cv.im.size[0], 3 * SS], fill=0)  # keep inside the window edge
        cv.im.alpha_composite(layer(cv.im.size, bottom, glow))
        cv.d.rounded_rectangle(box, r, fill=edge + (255,))
        inner = [box[0] + SS, box[1] + SS, box[2] - SS, box[3] - SS]
        cv.gradient_shape(lambda d: d.rounded_rectangle(inner, r - SS, fill=255), top, bottom)
    glyph(cv, ox, oy, nw, nh)
    return cv.result().crop((0, 0, w, h))


def make_caption_buttons():
    return {
        'close_normal.png': caption_button((45, 18), glyph_close, (45, 18)),
        'close_hot.png': caption_button((54, 30), glyph_close, (45, 18),
                                        ((246, 120, 96), (204, 44, 34), (150, 26, 20))),
        'min_normal.png': caption_button((27, 18), glyph_min, (27, 18)),
        'min_hot.png': caption_button((39, 30), glyph_min, (27, 18),
                                      ((120, 232, 244), (28, 168, 196), (16, 112, 136))),
    }


# ---------------------------------------------------------------- page host

def draw_trees(img, items, colour):
    """Light spruce silhouettes as decoration: items are (cx, top, height)."""
    for cx, top, h in items:
        cv = Canvas(h, 48)
        draw_spruce(cv, 24, 2, 47, 16, colour)
        img.alpha_composite(cv.result(), (cx - h // 2, top))


def make_subbg():
    img = Image.new('RGBA', (HOST_W, HOST_H), BG + (255,))
    header = vgradient((HOST_W, HEADER_H), [(0, (214, 243, 248)), (0.55, (232, 250, 252)), (1, BG)])
    img.paste(header, (0, 0))
    d = ImageDraw.Draw(img)
    # faint forest on the right of the banner, clear of the link text
    draw_trees(img, [(742, 20, 84), (706, 38, 66), (676, 56, 52)], (200, 236, 242))
    # banner: logo and product name
    img.alpha_composite(render_icon(icon_app, 64), (24, 22))
    f = font(30)
    d.text((102, 44), TITLE, font=f, fill=(16, 110, 132), anchor='lm', stroke_width=1, stroke_fill=(16, 110, 132))
    d.text((104, 78), FAMILY, font=font(13), fill=GREY_TEXT, anchor='lm')
    x = 104 + int(font(13).getlength(FAMILY)) + 10
    for i, c in enumerate((CYAN, GOLD, TEAL)):
        d.ellipse([x + i * 10, 76, x + i * 10 + 4, 80], fill=c + (255,))
    # separator under the banner, fading to the right
    for xx in range(HOST_W):
        t = xx / (HOST_W - 1)
        d.point((xx, HEADER_H - 2), fill=mix(CYAN, BG, t * 0.85) + (255,))
        d.point((xx, HEADER_H - 1), fill=(255, 255, 255, 255))
    # navigation column
    d.rounded_rectangle([13, HEADER_H + 2, 177, HOST_H + 20], 8, fill=NAV_PANEL + (255,), outline=NAV_PANEL_EDGE + (255,))
    draw_trees(img, [(96, 452, 78), (64, 478, 56), (128, 482, 52)], (214, 240, 245))
    d.text((95, 560), FAMILY, font=font(12), fill=(150, 176, 182), anchor='mm')
    return img


def nav_face(kind):
    w, h = NAV_W, NAV_H
    faces = {
        'normal': ((176, 214, 222), [(0, (248, 254, 255)), (1, (228, 245, 249))], None),
        'hot': (GOLD, [(0, (252, 248, 206)), (0.5, (246, 238, 176)), (1, (238, 222, 128))], (255, 254, 236)),
        'current': (CYAN, [(0, (206, 247, 252)), (0.5, (158, 234, 244)), (1, (110, 218, 234))], (236, 252, 255)),
    }
    edge, stops, shine = faces[kind]
    img = Image.new('RGBA', (w, h), NAV_PANEL + (255,))
    mask = aa_mask((w, h), lambda d, k: d.rounded_rectangle([0, 0, w * k - 1, h * k - 1], 4 * k, fill=255))
    img.alpha_composite(layer((w, h), edge, mask))
    inner = aa_mask((w, h), lambda d, k: d.rounded_rectangle([k, k, (w - 1) * k - 1, (h - 1) * k - 1], 3 * k, fill=255))
    if shine:
        img.alpha_composite(layer((w, h), shine, inner))
        inner = aa_mask((w, h), lambda d, k: d.rounded_rectangle([2 * k, 2 * k, (w - 2) * k - 1, (h - 2) * k - 1],
                                                                 2 * k, fill=255))
    img.alpha_composite(layer((w, h), vgradient((w, h), stops), inner))
    if kind == 'current':
        d = ImageDraw.Draw(img)
        d.polygon([(126, 11), (131, 15), (126, 19)], fill=(255, 255, 255, 255))
    return img


# ---------------------------------------------------------------- small bitmaps

def on_white(img):
    """Flatten onto white, keeping pure white for the background only."""
    out = Image.new('RGB', img.size, (255, 255, 255))
    a = img.getchannel('A')
    solid = a.point(lambda v: 255 if v >= 24 else 0)
    flat = Image.alpha_composite(Image.new('RGBA', img.size, (255, 255, 255, 255)), img).convert('RGB')
    flat = flat.point(lambda v: min(v, 250))  # glyph pixels never equal the key colour
    out.paste(flat, (0, 0), solid)
    return out


def list_document(cv):
    cv.poly([(2, 1), (10, 1), (14, 5), (14, 15), (2, 15)], PAPER, PAPER_EDGE, 1)
    cv.poly([(10, 1), (10, 5), (14, 5)], (210, 226, 232), PAPER_EDGE, 1)
    for y in (6, 9, 12):
        cv.rect(4, y, 12 if y > 6 else 9, y + 1, PAPER_LINE)


def list_tick(cv):
    cv.line([(2.6, 8.6), (6.2, 12.2), (13.4, 4.2)], GREEN, 2.4)


def list_cross(cv):
    cv.line([(3.5, 3.5), (12.5, 12.5)], RED, 2.4)
    cv.line([(3.5, 12.5), (12.5, 3.5)], RED, 2.4)


def list_folder(cv):
    cv.rect(1, 2, 7, 5, FOLDER_DARK)
    cv.rect(1, 3, 15, 14, FOLDER, FOLDER_DARK, 1)
    cv.rect(1, 6, 15, 14, FOLDER_LIGHT, FOLDER_DARK, 1)


def list_disk(cv):
    cv.gradient_shape(lambda d: d.rectangle([cv.p(1), cv.p(4), cv.p(15) - 1, cv.p(13) - 1], fill=255),
                      (222, 228, 234), (158, 170, 180))
    cv.d.rectangle([cv.p(1), cv.p(4), cv.p(15) - 1, cv.p(13) - 1], outline=(84, 96, 106, 255), width=SS)
    cv.rect(2, 9, 14, 10, (118, 130, 140))
    cv.rect(12, 11, 14, 12, (52, 190, 80))
    cv.rect(3, 11, 4, 12, (118, 130, 140))
    cv.rect(5, 11, 6, 12, (118, 130, 140))


LIST_IMAGES = {
    'list_document.bmp': list_document,
    'list_tick.bmp': list_tick,
    'list_cross.bmp': list_cross,
    'list_folder.bmp': list_folder,
    'list_disk.bmp': list_disk,
}

# Protection modes: o = no access at all, w = read-only, i = no copy/delete/rename.
MODE_COLOURS = {
    'o': ((226, 70, 58), (150, 28, 22)),
    'w': ((242, 172, 30), (160, 100, 6)),
    'i': ((52, 130, 222), (20, 70, 150)),
}

# 11 x 11 pixel art: S shackle, E outline, F fill, H highlight, K keyhole slot, T folder tab.
LOCK_FILE = [
    '...SSSSS...',
    '..SS...SS..',
    '..S.....S..',
    '..S.....S..',
    '.EEEEEEEEE.',
    '.EHHHHHHHE.',
    '.EFFFKFFFE.',
    '.EFFFKFFFE.',
    '.EFFFKFFFE.',
    '.EFFFFFFFE.',
    '.EEEEEEEEE.',
]
LOCK_FOLDER = [
    '......SSS..',
    '.....SS.SS.',
    'EEEE.S...S.',
    'EHHHEEEEEEE',
    'EHHHHHHHHHE',
    'EFFFFFFFFFE',
    'EFFFFKFFFFE',
    'EFFFFKFFFFE',
    'EFFFFKFFFFE',
    'EFFFFFFFFFE',
    'EEEEEEEEEEE',
]


def mode_icon(art, mode):
    fill, dark = MODE_COLOURS[mode]
    colours = {'.': BG, 'S': (118, 128, 136), 'E': dark, 'F': fill, 'H': mix(fill, (255, 255, 255), 0.45),
               'K': (255, 250, 236), 'T': dark}
    img = Image.new('RGB', (11, 11))
    img.putdata([colours[c] for row in art for c in row])
    return img


# ---------------------------------------------------------------- driver

def generate(out):
    os.makedirs(out, exist_ok=True)
    write_png(make_frame(), os.path.join(out, 'frame.png'))
    for name, img in make_caption_buttons().items():
        write_png(img, os.path.join(out, name))
    write_bmp(make_subbg(), os.path.join(out, 'subbg.bmp'))
    for kind in ('normal', 'hot', 'current'):
        write_bmp(nav_face(kind), os.path.join(out, 'nav_%s.bmp' % kind))
    for name, fn in LIST_IMAGES.items():
        cv = Canvas(16, 16)
        fn(cv)
        write_bmp(on_white(cv.result()), os.path.join(out, name))
    for mode in 'oiw':
        write_bmp(mode_icon(LOCK_FILE, mode), os.path.join(out, 'file_mode_%s.bmp' % mode))
        write_bmp(mode_icon(LOCK_FOLDER, mode), os.path.join(out, 'folder_mode_%s.bmp' % mode))
    make_icons(out)


if __name__ == '__main__':
    if len(sys.argv) != 2:
        sys.exit('usage: assetgen.py OUTDIR')
    generate(sys.argv[1])
