#!/usr/bin/env python3
"""Draws every bitmap and icon of the program into res/.

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

HERE = os.path.dirname(os.path.abspath(__file__))
RES = os.path.join(HERE, "..", "res")
BMP_DIR = os.path.join(RES, "bitmaps")


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


def supersampled(w, h, draw_fn, background):
    """Draws at SS times the size with draw_fn(draw, scale) and scales down."""
    big = Image.new("RGB", (w * SS, h * SS), background)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize((w, h), Image.LANCZOS)


def overlay(base, w, h, draw_fn):
    """Draws a supersampled RGBA layer over an existing picture."""
    layer = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
    draw_fn(ImageDraw.Draw(layer), SS)
    layer = layer.resize((w, h), Image.LANCZOS)
    out = base.convert("RGBA")
    out.alpha_composite(layer)
    return out.convert("RGB")


def save_bmp(img, name):
    assert img.mode == "RGB"
    img.save(os.path.join(BMP_DIR, name), format="BMP")


def rounded_face(w, h, radius, top, bottom, flat=False):
    """A rounded rectangle face on the key colour. Pixels outside the rounded shape stay the
    exact key colour so that the transparent blit shows the parent's blue there."""
    mask_big = Image.new("L", (w * SS, h * SS), 0)
    ImageDraw.Draw(mask_big).rounded_rectangle(
        [0, 0, w * SS - 1, h * SS - 1], radius=radius * SS, fill=255)
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


def caption_button(background, figure):
    def draw(d, s):
        figure(d, s)
    return overlay(background, 26, 26, draw)


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


def anim_frame(n):
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
    return supersampled(24, 24, draw, KEY)


def scan_face(top, bottom, flat=False):
    face = rounded_face(210, 95, 14, top, bottom, flat)

    def draw(d, s):
        # the disc sits in columns 6..68 and rows 16..79
        magnifier_disc(d, s, 37, 47.5, 31, (20, 110, 190, 255), (255, 255, 255, 255), (255, 255, 255, 255))
    out = overlay(face, 210, 95, draw)
    # keep the corners exactly the key colour
    ref = face.load()
    px = out.load()
    for y in range(95):
        for x in range(210):
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


def main():
    os.makedirs(BMP_DIR, exist_ok=True)
    for n in range(1, 7):
        save_bmp(anim_frame(n), "anim%d.bmp" % n)

    save_bmp(Image.new("RGB", (775, 3), KEY), "frame_bottom.bmp")
    save_bmp(Image.new("RGB", (3, 433), KEY), "frame_left.bmp")
    save_bmp(Image.new("RGB", (3, 433), KEY), "frame_right.bmp")

    g26 = gradient(26, 26)
    save_bmp(caption_button(g26, fig_close), "close.bmp")
    save_bmp(caption_button(Image.new("RGB", (26, 26), (220, 40, 40)), fig_close), "close_hot.bmp")
    save_bmp(caption_button(g26, fig_min), "min.bmp")
    save_bmp(caption_button(Image.new("RGB", (26, 26), HOT_BLUE), fig_min), "min_hot.bmp")
    save_bmp(caption_button(g26, fig_max), "max.bmp")
    save_bmp(caption_button(Image.new("RGB", (26, 26), HOT_BLUE), fig_max), "max_hot.bmp")
    save_bmp(caption_button(g26, fig_restore), "restore.bmp")
    save_bmp(caption_button(Image.new("RGB", (26, 26), HOT_BLUE), fig_restore), "restore_hot.bmp")

    title_side = gradient(100, 26)
    save_bmp(title_side, "title_left.bmp")
    save_bmp(title_side.copy(), "title_right.bmp")
    save_bmp(gradient(581, 26), "title_mid.bmp")
    save_bmp(overlay(g26, 26, 26, lambda d, s: waste_bin(d, s, 2, 2, 22, (40, 120, 210))), "title_icon.bmp")

    save_bmp(rounded_face(88, 25, 6, (70, 190, 60), (20, 120, 30)), "btn.bmp")
    save_bmp(rounded_face(88, 25, 6, (120, 220, 100), (120, 220, 100), flat=True), "btn_hot.bmp")
    save_bmp(scan_face((80, 200, 70), (20, 120, 30)), "scan.bmp")
    save_bmp(scan_face((60, 170, 60), (60, 170, 60), flat=True), "scan_alt.bmp")
    save_bmp(scan_face((130, 225, 110), (60, 170, 60)), "scan_hot.bmp")

    icon = Image.new("RGBA", (64 * SS, 64 * SS), (0, 0, 0, 0))
    waste_bin(ImageDraw.Draw(icon), SS, 0, 0, 64, (40, 120, 210))
    write_icon(icon.resize((64, 64), Image.LANCZOS), os.path.join(RES, "Kelvaro.ico"))

    disc = Image.new("RGBA", (48 * SS, 48 * SS), (0, 0, 0, 0))
    magnifier_disc(ImageDraw.Draw(disc), SS, 24, 24, 23, (30, 110, 200, 255), (255, 255, 255, 255), (255, 255, 255, 255))
    write_icon(disc.resize((48, 48), Image.LANCZOS), os.path.join(RES, "second.ico"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
