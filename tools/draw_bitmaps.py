#!/usr/bin/env python3
"""Draws every bitmap and icon of the program into res/, and res/SkinBitmaps.rc.

Each skin bitmap is drawn at 100, 125, 150, 175 and 200 percent, every one at its own size
from its own coordinates, so that the program never stretches one at those scales. The
scaled ones are named <name>@<percent>.bmp.

The outputs are committed, so a build never needs this script; run it again only when a
picture changes:  python3 tools/draw_bitmaps.py
Needs Pillow (Debian: python3-pil).
"""
import math
import os
import struct
import sys

from PIL import Image, ImageDraw

KEY = (14, 94, 157)            # the skin's background blue, also the transparency key
CAPTION_TOP = (21, 146, 245)   # light blue at the top of the caption gradient
HOT_BLUE = (159, 206, 242)
WHITE = (255, 255, 255)
SS = 4                          # supersampling factor for smooth shapes
# Percent of 96 dpi. With SS at 4 each gives a whole drawing factor (SS * p / 100), so every
# line width stays a whole number of supersampled pixels.
PERCENTS = (100, 125, 150, 175, 200)

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, "..", "res")
BMP_DIR = os.path.join(RES, "bitmaps")


def scaled(v, p):
    """A 96-dpi length at p percent, rounded half up as the program rounds it."""
    return (v * p + 50) // 100


def factor(p):
    """The supersampled drawing factor at p percent: 96-dpi coordinates times this."""
    assert SS * p % 100 == 0
    return SS * p // 100


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def gradient(w, h, top=CAPTION_TOP, bottom=KEY):
    """Vertical gradient whose last row is exactly `bottom`."""
    img = Image.new("RGB", (w, h))
    px = img.load()
    for y in range(h):
        c = lerp(top, bottom, y / (h - 1) if h > 1 else 1.0)
        for x in range(w):
            px[x, y] = c
    return img


def supersampled(w, h, draw_fn, background, p):
    """Draws a w x h (96-dpi) picture at p percent: at SS times its size with
    draw_fn(draw, factor), then down to its size."""
    w, h = scaled(w, p), scaled(h, p)
    big = Image.new("RGB", (w * SS, h * SS), background)
    draw_fn(ImageDraw.Draw(big), factor(p))
    return big.resize((w, h), Image.LANCZOS)


def overlay(base, draw_fn, p):
    """Draws a supersampled RGBA layer over an existing picture of the p percent set."""
    w, h = base.size
    layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(layer), factor(p))
    layer = layer.resize((w, h), Image.LANCZOS)
    out = base.convert("RGBA")
    out.alpha_composite(layer)
    return out.convert("RGB")


def bmp_name(name, p):
    return "%s.bmp" % name if p == 100 else "%s@%d.bmp" % (name, p)


def save_bmp(img, name, p):
    assert img.mode == "RGB"
    img.save(os.path.join(BMP_DIR, bmp_name(name, p)), format="BMP")


def rounded_face(w, h, radius, top, bottom, p, flat=False):
    """A rounded rectangle face on the key colour. Pixels outside the rounded shape stay the
    exact key colour so that the transparent blit shows the parent's blue there."""
    w, h = scaled(w, p), scaled(h, p)
    mask_big = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(mask_big).rounded_rectangle(
        [0, 0, w * SS - 1, h * SS - 1], radius=radius * factor(p), fill=255)
    mask = mask_big.resize((w, h), Image.LANCZOS)
    fill = Image.new("RGB", (w, h), top) if flat else gradient(w, h, top, bottom)
    if not flat:
        # a soft highlight over the upper half
        hl = gradient(w, h, lerp(top, WHITE, 0.35), bottom)
        fill = Image.blend(fill, hl, 0.5)
    out = Image.new("RGB", (w, h), KEY)
    out.paste(fill, (0, 0), mask)
    # Anything not fully covered that came out as a near-key colour goes to the key exactly,
    # everything fully outside is the key already.
    px, mp = out.load(), mask.load()
    for y in range(h):
        for x in range(w):
            if mp[x, y] < 40:
                px[x, y] = KEY
    return out


def cross(d, s, cx, cy, r, width, colour=WHITE):
    d.line([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=colour, width=width * s)
    d.line([(cx - r) * s, (cy + r) * s, (cx + r) * s, (cy - r) * s], fill=colour, width=width * s)


def fig_close(d, s):
    cross(d, s, 13, 13, 5, 2, WHITE + (255,))


def fig_min(d, s):
    d.rectangle([8 * s, 16 * s, 18 * s, 18 * s], fill=WHITE + (255,))


def fig_max(d, s):
    d.rectangle([8 * s, 8 * s, 18 * s, 18 * s], outline=WHITE + (255,), width=2 * s)


def fig_restore(d, s):
    d.rectangle([10 * s, 7 * s, 19 * s, 15 * s], outline=WHITE + (255,), width=2 * s)
    d.rectangle([7 * s, 11 * s, 16 * s, 19 * s], fill=(0, 0, 0, 0))
    d.rectangle([7 * s, 11 * s, 16 * s, 19 * s], outline=WHITE + (255,), width=2 * s)


def waste_bin(d, s, x0, y0, size, body, rubbish=True):
    """A waste bin with rubbish sticking out, fitted in a size x size box at (x0, y0)."""
    u = size / 64.0

    def p(x, y):
        return ((x0 + x * u) * s, (y0 + y * u) * s)

    if rubbish:
        d.ellipse([*p(14, 4), *p(34, 24)], fill=(240, 240, 240, 255), outline=(150, 150, 150, 255), width=max(1, int(u * s)))
        d.polygon([p(30, 2), p(50, 10), p(40, 24)], fill=(250, 210, 80, 255))
        d.rectangle([*p(22, 10), *p(44, 22)], fill=(200, 80, 70, 255))
        d.ellipse([*p(38, 6), *p(54, 20)], fill=(120, 200, 110, 255))
    dark = tuple(max(0, c - 60) for c in body[:3]) + (255,)
    d.polygon([p(10, 20), p(54, 20), p(48, 62), p(16, 62)], fill=body + (255,), outline=dark)
    d.rounded_rectangle([*p(6, 16), *p(58, 24)], radius=3 * u * s, fill=dark)
    for x in (22, 32, 42):
        d.line([p(x, 28), p(x + (0 if x == 32 else (1 if x > 32 else -1)) * 2, 58)],
               fill=(255, 255, 255, 160), width=max(1, int(2.5 * u * s)))


def magnifier_disc(d, s, cx, cy, r, disc, lens, handle):
    d.ellipse([(cx - r) * s, (cy - r) * s, (cx + r) * s, (cy + r) * s], fill=disc)
    lr = r * 0.42
    lx, ly = cx - r * 0.12, cy - r * 0.12
    d.ellipse([(lx - lr) * s, (ly - lr) * s, (lx + lr) * s, (ly + lr) * s], outline=lens, width=int(max(2, r * 0.14) * s))
    hx, hy = lx + lr * 0.75, ly + lr * 0.75
    d.line([hx * s, hy * s, (cx + r * 0.55) * s, (cy + r * 0.55) * s], fill=handle, width=int(max(2, r * 0.2) * s))


def anim_frame(n, p):
    def draw(d, s):
        c = 12 * s
        ring = (170, 215, 40)
        d.ellipse([2 * s, 2 * s, 22 * s - 1, 22 * s - 1], outline=ring, width=4 * s)
        # six notches, turned one step further per frame
        for k in range(6):
            a = math.radians(k * 60 + (n - 1) * 10)
            x1, y1 = c + math.cos(a) * 6 * s, c + math.sin(a) * 6 * s
            x2, y2 = c + math.cos(a) * 11 * s, c + math.sin(a) * 11 * s
            d.line([x1, y1, x2, y2], fill=KEY, width=2 * s)
        # a brighter head that travels round
        a = math.radians((n - 1) * 60 - 90)
        hx, hy = c + math.cos(a) * 8 * s, c + math.sin(a) * 8 * s
        d.ellipse([hx - 2.5 * s, hy - 2.5 * s, hx + 2.5 * s, hy + 2.5 * s], fill=(230, 250, 120))
    return supersampled(24, 24, draw, KEY, p)


def scan_face(top, bottom, p, flat=False):
    face = rounded_face(210, 95, 14, top, bottom, p, flat)

    def draw(d, s):
        # the disc sits in columns 6..68 and rows 16..79 (at 100 %); the caption goes right of it
        magnifier_disc(d, s, 37, 47.5, 31, (20, 110, 190, 255), (255, 255, 255, 255), (255, 255, 255, 255))
    out = overlay(face, draw, p)
    # keep the corners exactly the key colour
    ref = face.load()
    px = out.load()
    for y in range(face.size[1]):
        for x in range(face.size[0]):
            if ref[x, y] == KEY:
                px[x, y] = KEY
    return out


def write_icon(img, path):
    """A one-image .ico with a 32-bit BGRA DIB and its AND mask."""
    w, h = img.size
    rgba = img.convert("RGBA")
    px = rgba.load()
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    row = ((w + 31) // 32) * 4
    andmask = bytearray()
    for y in range(h - 1, -1, -1):
        bits = bytearray(row)
        for x in range(w):
            if px[x, y][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        andmask += bits
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    data = header + bytes(xor) + bytes(andmask)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), 6 + 16))
        f.write(data)


# The skin's bitmaps in the resource script's order: identifier, file name without .bmp.
SKIN = [
    ("IDB_ANIM1", "anim1"), ("IDB_ANIM2", "anim2"), ("IDB_ANIM3", "anim3"),
    ("IDB_ANIM4", "anim4"), ("IDB_ANIM5", "anim5"), ("IDB_ANIM6", "anim6"),
    ("IDB_FRAME_BOTTOM", "frame_bottom"), ("IDB_CLOSE", "close"), ("IDB_CLOSE_HOT", "close_hot"),
    ("IDB_FRAME_LEFT", "frame_left"), ("IDB_TITLE_LEFT", "title_left"), ("IDB_TITLE_MID", "title_mid"),
    ("IDB_MIN", "min"), ("IDB_MIN_HOT", "min_hot"), ("IDB_FRAME_RIGHT", "frame_right"),
    ("IDB_TITLE_RIGHT", "title_right"), ("IDB_TITLE_ICON", "title_icon"), ("IDB_BTN", "btn"),
    ("IDB_SCAN", "scan"), ("IDB_SCAN_ALT", "scan_alt"), ("IDB_BTN_HOT", "btn_hot"),
    ("IDB_SCAN_HOT", "scan_hot"), ("IDB_MAX", "max"), ("IDB_MAX_HOT", "max_hot"),
    ("IDB_RESTORE", "restore"), ("IDB_RESTORE_HOT", "restore_hot"),
]


def skin_set(p):
    """Every skin bitmap at p percent, by file name."""
    out = {}
    for n in range(1, 7):
        out["anim%d" % n] = anim_frame(n, p)

    out["frame_bottom"] = Image.new("RGB", (scaled(775, p), scaled(3, p)), KEY)
    out["frame_left"] = Image.new("RGB", (scaled(3, p), scaled(433, p)), KEY)
    out["frame_right"] = Image.new("RGB", (scaled(3, p), scaled(433, p)), KEY)

    b = scaled(26, p)
    g26 = gradient(b, b)
    red, hot = Image.new("RGB", (b, b), (220, 40, 40)), Image.new("RGB", (b, b), HOT_BLUE)
    for name, figure in (("close", fig_close), ("min", fig_min), ("max", fig_max), ("restore", fig_restore)):
        out[name] = overlay(g26, figure, p)
        out[name + "_hot"] = overlay(red if name == "close" else hot, figure, p)

    title_side = gradient(scaled(100, p), b)
    out["title_left"] = title_side
    out["title_right"] = title_side.copy()
    out["title_mid"] = gradient(scaled(581, p), b)
    out["title_icon"] = overlay(g26, lambda d, s: waste_bin(d, s, 2, 2, 22, (40, 120, 210)), p)

    out["btn"] = rounded_face(88, 25, 6, (70, 190, 60), (20, 120, 30), p)
    out["btn_hot"] = rounded_face(88, 25, 6, (120, 220, 100), (120, 220, 100), p, flat=True)
    out["scan"] = scan_face((80, 200, 70), (20, 120, 30), p)
    out["scan_alt"] = scan_face((60, 170, 60), (60, 170, 60), p, flat=True)
    out["scan_hot"] = scan_face((130, 225, 110), (60, 170, 60), p)
    return out


def write_rc(path):
    """The BITMAP lines of every set, included by Kelvaro.rc. Set k (1 = 125 %) takes the
    identifiers of the 100 % set plus k * IDB_SCALE_STEP."""
    width = max(len(idb) for idb, _ in SKIN) + len(" + IDB_SCALE_STEP * 4")
    lines = ["// Written by tools/draw_bitmaps.py: the skin's bitmaps at 100, 125, 150, 175 and 200 %."]
    for k, p in enumerate(PERCENTS):
        lines.append("")
        for idb, name in SKIN:
            ident = idb if k == 0 else "%s + IDB_SCALE_STEP * %d" % (idb, k)
            lines.append('%s BITMAP "bitmaps/%s"' % (ident.ljust(width), bmp_name(name, p)))
    with open(path, "w", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def main():
    os.makedirs(BMP_DIR, exist_ok=True)
    for p in PERCENTS:
        pictures = skin_set(p)
        assert sorted(pictures) == sorted(name for _, name in SKIN)
        for name, img in pictures.items():
            save_bmp(img, name, p)
    write_rc(os.path.join(RES, "SkinBitmaps.rc"))

    icon = Image.new("RGBA", (64 * SS, 64 * SS), (0, 0, 0, 0))
    waste_bin(ImageDraw.Draw(icon), SS, 0, 0, 64, (40, 120, 210))
    write_icon(icon.resize((64, 64), Image.LANCZOS), os.path.join(RES, "Kelvaro.ico"))

    disc = Image.new("RGBA", (48 * SS, 48 * SS), (0, 0, 0, 0))
    magnifier_disc(ImageDraw.Draw(disc), SS, 24, 24, 23, (30, 110, 200, 255), (255, 255, 255, 255), (255, 255, 255, 255))
    write_icon(disc.resize((48, 48), Image.LANCZOS), os.path.join(RES, "second.ico"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
