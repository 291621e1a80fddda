#!/usr/bin/python3
"""Recreate Tidyhold's checked-in pictures and icon.

Developer tool, not part of the build. Needs Debian's python3-pil and
python3-numpy (`apt-get install -y python3-pil python3-numpy`); run it with
the system interpreter from the repository root or anywhere else:

    /usr/bin/python3 scripts/make_pictures.py

It writes, under res/:
    icons/tidyhold.ico            program icon (16, 32, 48, 256 px, 32-bit)
    bitmaps/folder_images.bmp     48x16 tree images, white = transparent
    bitmaps/check_states.bmp      52x13 check box states, white = transparent
    bitmaps/folder_images_2x.bmp  96x32 the tree images drawn at twice the size, for higher DPIs
    bitmaps/check_states_2x.bmp   104x26 the check box states drawn at twice the size
    bitmaps/welcome.bmp           328x692 side panel (drawn at twice its 96-DPI size)
    bitmaps/results.bmp           328x692 side panel
    bitmaps/folder.bmp ... cleaning.bmp   96x96 page headers on RGB(240,240,240)

The program scales the panels and headers down to the screen's DPI (a 164x346 panel and 48x48
headers at 96 DPI), so they stay sharp up to 192 DPI.

All BMPs are 24-bit BITMAPINFOHEADER files without alpha, as windres wants.
The output is deterministic: running the script twice gives the same bytes.
"""

import io
import math
import os
import struct
import sys

import numpy as np
from PIL import Image, ImageChops, ImageDraw, ImageFilter

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RES = os.path.join(ROOT, "res")

SS = 8  # supersampling factor for the anti-aliased drawings

# ---------------------------------------------------------------- palette
NAVY = (22, 46, 78)
NAVY_2 = (34, 66, 108)
BLUE_D = (30, 86, 150)
BLUE = (44, 116, 186)
BLUE_L = (104, 168, 224)
SKY = (176, 212, 240)
TEAL_D = (12, 112, 122)
TEAL = (22, 160, 160)
TEAL_L = (112, 212, 204)
MINT = (78, 222, 170)
AMBER_D = (214, 122, 24)
AMBER = (246, 164, 46)
AMBER_L = (255, 206, 112)
CORAL = (226, 84, 58)
CORAL_D = (184, 56, 38)
SILVER_L = (236, 242, 248)
SILVER = (204, 216, 230)
SILVER_D = (160, 178, 198)
SLATE = (104, 120, 140)
SLATE_L = (186, 196, 208)
PAPER = (252, 253, 254)
NEAR_WHITE = (254, 254, 254)
DIALOG = (240, 240, 240)
WHITE = (255, 255, 255)


def rgba(c, a=255):
    return tuple(c[:3]) + (a,)


def mix(c1, c2, t):
    return tuple(int(round(a + (b - a) * t)) for a, b in zip(c1, c2))


# ---------------------------------------------------------------- canvas
class Canvas:
    """RGBA drawing surface in final-pixel units, supersampled by `ss`."""

    def __init__(self, w, h, ss=SS, out=1):
        """Drawn in w x h units; the image comes out at `out` pixels a unit."""
        self.w, self.h, self.ss, self.out = w, h, ss * out, out
        self.size = (w * self.ss, h * self.ss)
        self.img = Image.new("RGBA", self.size, (0, 0, 0, 0))

    # coordinates -------------------------------------------------------
    def p(self, x, y):
        return (x * self.ss, y * self.ss)

    def pts(self, pts):
        return [self.p(x, y) for x, y in pts]

    def box(self, b):
        s = self.ss
        return [b[0] * s, b[1] * s, b[2] * s - 1, b[3] * s - 1]

    def new_mask(self):
        m = Image.new("L", self.size, 0)
        return m, ImageDraw.Draw(m)

    # paints --------------------------------------------------------------
    def lin(self, p0, p1, c0, c1):
        """Linear gradient image from p0 (colour c0) to p1 (colour c1)."""
        s = self.ss
        x0, y0, x1, y1 = p0[0] * s, p0[1] * s, p1[0] * s, p1[1] * s
        dx, dy = x1 - x0, y1 - y0
        l2 = dx * dx + dy * dy or 1.0
        ys, xs = np.mgrid[0:self.size[1], 0:self.size[0]].astype(np.float32)
        t = np.clip(((xs + 0.5 - x0) * dx + (ys + 0.5 - y0) * dy) / l2, 0, 1)
        return self._ramp(t, c0, c1)

    def rad(self, centre, r, c0, c1):
        """Radial gradient: c0 at the centre, c1 at radius r and beyond."""
        s = self.ss
        cx, cy = centre[0] * s, centre[1] * s
        ys, xs = np.mgrid[0:self.size[1], 0:self.size[0]].astype(np.float32)
        t = np.clip(np.hypot(xs + 0.5 - cx, ys + 0.5 - cy) / (r * s), 0, 1)
        return self._ramp(t, c0, c1)

    def _ramp(self, t, c0, c1):
        c0, c1 = rgba(c0) if len(c0) == 3 else c0, rgba(c1) if len(c1) == 3 else c1
        out = np.empty(t.shape + (4,), np.uint8)
        for i in range(4):
            out[..., i] = np.round(c0[i] + (c1[i] - c0[i]) * t).astype(np.uint8)
        return Image.fromarray(out, "RGBA")

    # compositing ---------------------------------------------------------
    def fill(self, mask, paint, clip=None, opacity=1.0):
        if clip is not None:
            mask = ImageChops.multiply(mask, clip)
        if isinstance(paint, tuple):
            col = rgba(paint) if len(paint) == 3 else paint
            layer = Image.new("RGBA", self.size, col[:3] + (255,))
            alpha = col[3] / 255.0 * opacity
            pa = None
        else:
            layer = paint.copy()
            alpha = opacity
            pa = paint.getchannel("A")
        a = mask
        if pa is not None:
            a = ImageChops.multiply(a, pa)
        if alpha < 1.0:
            a = a.point(lambda v: int(round(v * alpha)))
        layer.putalpha(a)
        self.img.alpha_composite(layer)
        return mask

    # shapes --------------------------------------------------------------
    def rrect(self, b, r, paint, **kw):
        m, d = self.new_mask()
        if r > 0:
            d.rounded_rectangle(self.box(b), r * self.ss, fill=255)
        else:
            d.rectangle(self.box(b), fill=255)
        return self.fill(m, paint, **kw)

    def ellipse(self, b, paint, **kw):
        m, d = self.new_mask()
        d.ellipse(self.box(b), fill=255)
        return self.fill(m, paint, **kw)

    def circle(self, c, r, paint, **kw):
        return self.ellipse((c[0] - r, c[1] - r, c[0] + r, c[1] + r), paint, **kw)

    def ring(self, c, r, w, paint, **kw):
        m, d = self.new_mask()
        s = self.ss
        d.ellipse([(c[0] - r) * s, (c[1] - r) * s, (c[0] + r) * s, (c[1] + r) * s], fill=255)
        ri = r - w
        d.ellipse([(c[0] - ri) * s, (c[1] - ri) * s, (c[0] + ri) * s, (c[1] + ri) * s], fill=0)
        return self.fill(m, paint, **kw)

    def polygon(self, pts, paint, **kw):
        m, d = self.new_mask()
        d.polygon(self.pts(pts), fill=255)
        return self.fill(m, paint, **kw)

    def stroke_mask(self, pts, w):
        m, d = self.new_mask()
        s = self.ss
        sp = self.pts(pts)
        d.line(sp, fill=255, width=max(1, int(round(w * s))), joint="curve")
        r = w * s / 2.0
        for x, y in (sp[0], sp[-1]):
            d.ellipse([x - r, y - r, x + r, y + r], fill=255)
        return m

    def stroke(self, pts, w, paint, **kw):
        return self.fill(self.stroke_mask(pts, w), paint, **kw)

    def mask_of(self, fn):
        """Build a mask by calling fn(draw, scale)."""
        m, d = self.new_mask()
        fn(d, self.ss)
        return m

    def shadow(self, b, paint, blur):
        m, d = self.new_mask()
        d.ellipse(self.box(b), fill=255)
        m = m.filter(ImageFilter.GaussianBlur(blur * self.ss))
        return self.fill(m, paint)

    # output --------------------------------------------------------------
    def rgba_image(self):
        return self.img.resize((self.w * self.out, self.h * self.out), Image.BOX)

    def over(self, bg):
        base = Image.new("RGBA", (self.w * self.out, self.h * self.out), rgba(bg))
        base.alpha_composite(self.rgba_image())
        return base.convert("RGB")


# ---------------------------------------------------------------- motifs
def star_points(cx, cy, r, p=2.6, n=64, ry=None):
    """Four-pointed sparkle: superellipse-like astroid with exponent p."""
    ry = r if ry is None else ry
    pts = []
    for i in range(n):
        t = 2 * math.pi * i / n
        c, s = math.cos(t), math.sin(t)
        x = math.copysign(abs(c) ** p, c) * r
        y = math.copysign(abs(s) ** p, s) * ry
        pts.append((cx + x, cy + y))
    return pts


def sparkle(c, cx, cy, r, paint, p=2.6):
    c.polygon(star_points(cx, cy, r, p), paint)


def drive(c, x0, y0, x1, y1, outline=None, led=MINT, vents=True, lw=None, snap=False, r=None):
    """Flat hard-disk slab: silver top face over a blue front face."""
    h = y1 - y0
    lw = lw if lw is not None else max(1.0, h * 0.06)
    r = h * 0.22 if r is None else r
    outline = outline or NAVY
    c.rrect((x0, y0, x1, y1), r, outline)
    ix0, iy0, ix1, iy1 = x0 + lw, y0 + lw, x1 - lw, y1 - lw
    inner = c.mask_of(lambda d, s: d.rounded_rectangle(
        [ix0 * s, iy0 * s, ix1 * s - 1, iy1 * s - 1], max(0, r - lw) * s, fill=255))
    split = y0 + h * 0.50
    if snap:
        split = float(round(split))
    top = c.mask_of(lambda d, s: d.rectangle([0, 0, c.size[0], split * s - 1], fill=255))
    bot = c.mask_of(lambda d, s: d.rectangle([0, (split + lw) * s, c.size[0], c.size[1]], fill=255))
    c.fill(top, c.lin((0, iy0), (0, split), SILVER_L, SILVER), clip=inner)
    c.fill(bot, c.lin((0, split), (0, iy1), BLUE, BLUE_D), clip=inner)
    # a soft highlight along the top edge of the front face
    hl = c.mask_of(lambda d, s: d.rectangle([0, (split + lw) * s, c.size[0],
                                             (split + lw + max(1.0, h * 0.05)) * s - 1], fill=255))
    c.fill(hl, rgba(BLUE_L, 150), clip=inner)
    fy = (split + lw + iy1) / 2.0
    fh = iy1 - (split + lw)
    if led:
        lr = max(0.9, fh * 0.2)
        c.circle((ix1 - fh * 0.55 - lr * 0.5, fy), lr, led)
    if vents:
        vw = max(1.0, fh * 0.16)
        step = vw * 2.2
        for i in range(4):
            vx = ix0 + fh * 0.55 + i * step
            c.stroke([(vx, fy - fh * 0.2), (vx, fy + fh * 0.2)], vw, rgba(NAVY, 150))


def broom(c, top, base, length, w0, w1, handle_w, handle=TEAL_D, bristle=AMBER,
          bristle_d=AMBER_D, band=NAVY, lines=5, floor=None):
    """Broom whose handle runs from `top` to the bristle `base`."""
    ux, uy = base[0] - top[0], base[1] - top[1]
    ul = math.hypot(ux, uy)
    ux, uy = ux / ul, uy / ul
    vx, vy = -uy, ux
    c.stroke([top, base], handle_w, handle)
    c.circle(top, handle_w * 0.5, mix(handle, NAVY, 0.35))
    bl = handle_w * 1.6  # binding band length
    b0 = (base[0] - ux * bl * 0.5, base[1] - uy * bl * 0.5)
    b1 = (base[0] + ux * bl * 0.5, base[1] + uy * bl * 0.5)
    hw = w0 * 0.5
    bw = hw * 1.08
    c.polygon([(b0[0] + vx * bw, b0[1] + vy * bw), (b1[0] + vx * bw, b1[1] + vy * bw),
               (b1[0] - vx * bw, b1[1] - vy * bw), (b0[0] - vx * bw, b0[1] - vy * bw)], band)
    tip = (b1[0] + ux * length, b1[1] + uy * length)
    hw1 = w1 * 0.5
    poly = [(b1[0] + vx * hw, b1[1] + vy * hw)]
    # slightly curved (fanned) end
    n = 12
    for i in range(n + 1):
        t = i / n
        off = (t - 0.5) * 2
        bulge = (1 - off * off) * length * 0.08
        poly.append((tip[0] + vx * hw1 * (1 - 2 * t) + ux * bulge,
                     tip[1] + vy * hw1 * (1 - 2 * t) + uy * bulge))
    poly.append((b1[0] - vx * hw, b1[1] - vy * hw))
    clip = None
    if floor is not None:  # bristles pressed flat on a surface at y = floor
        clip = c.mask_of(lambda d, s: d.rectangle([0, 0, c.size[0], floor * s - 1], fill=255))
    bm = c.polygon(poly, c.lin(b1, tip, AMBER_L, bristle), clip=clip)
    for i in range(lines):
        t = (i + 1) / (lines + 1) * 2 - 1
        s0 = (b1[0] + vx * hw * t * 0.8 + ux * length * 0.12,
              b1[1] + vy * hw * t * 0.8 + uy * length * 0.12)
        s1 = (tip[0] + vx * hw1 * t * 0.85 - ux * length * 0.02,
              tip[1] + vy * hw1 * t * 0.85 - uy * length * 0.02)
        c.stroke([s0, s1], max(0.5, w0 * 0.06), rgba(bristle_d, 200), clip=bm)


def check_badge(c, cx, cy, r, bg=TEAL, tick=NEAR_WHITE, ring=None, tw=None):
    if ring:
        c.circle((cx, cy), r + ring[1], ring[0])
    c.circle((cx, cy), r, c.lin((cx, cy - r), (cx, cy + r), mix(bg, MINT, 0.35), bg))
    tw = tw or r * 0.26
    c.stroke([(cx - r * 0.45, cy + r * 0.02), (cx - r * 0.12, cy + r * 0.34),
              (cx + r * 0.48, cy - r * 0.33)], tw, tick)


def document(c, x0, y0, x1, y1, fold, lines=3, line_c=SLATE_L, edge=SLATE, lw=1.0):
    pts = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    c.polygon(pts, edge)
    ip = [(x0 + lw, y0 + lw), (x1 - fold - lw * 0.4, y0 + lw), (x1 - lw, y0 + fold + lw * 0.4),
          (x1 - lw, y1 - lw), (x0 + lw, y1 - lw)]
    c.polygon(ip, PAPER)
    c.polygon([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)], edge)
    c.polygon([(x1 - fold + lw, y0 + lw * 1.8), (x1 - fold + lw, y0 + fold - lw),
               (x1 - lw * 1.8, y0 + fold - lw)], SILVER)
    w = x1 - x0
    h = y1 - y0
    for i in range(lines):
        ly = y0 + fold + lw + (h - fold - lw * 2) * (i + 1) / (lines + 1)
        lx1 = x1 - w * (0.22 if i % 2 == 0 else 0.38)
        c.stroke([(x0 + w * 0.22, ly), (lx1, ly)], max(1.0, h * 0.07), line_c)


def folder(c, x0, y0, x1, y1, back=AMBER_D, front=(AMBER_L, AMBER), edge=None):
    """Flat folder: back panel with a tab, lighter front panel."""
    w, h = x1 - x0, y1 - y0
    r = max(1.0, h * 0.08)
    tab_w = w * 0.40
    tab_h = h * 0.16
    c.rrect((x0, y0, x0 + tab_w, y0 + tab_h * 2), r, back)
    c.polygon([(x0 + tab_w - r, y0), (x0 + tab_w + tab_h * 0.9, y0 + tab_h),
               (x0 + tab_w - r, y0 + tab_h)], back)
    c.rrect((x0, y0 + tab_h, x1, y1), r, back)
    # paper peeking out
    c.rrect((x0 + w * 0.08, y0 + tab_h + h * 0.08, x1 - w * 0.08, y1 - h * 0.2), r * 0.5, PAPER)
    c.rrect((x0, y0 + tab_h + h * 0.2, x1, y1), r,
            c.lin((0, y0 + tab_h + h * 0.2), (0, y1), front[0], front[1]))
    c.rrect((x0, y0 + tab_h + h * 0.2, x1, y0 + tab_h + h * 0.2 + max(1.0, h * 0.05)), 0,
            rgba((255, 236, 186), 200))


def magnifier(c, cx, cy, r, ring_w, handle_len, handle_w, angle=45):
    a = math.radians(angle)
    ux, uy = math.cos(a), math.sin(a)
    hs = (cx + ux * (r - ring_w * 0.3), cy + uy * (r - ring_w * 0.3))
    he = (cx + ux * (r + handle_len), cy + uy * (r + handle_len))
    c.stroke([hs, (cx + ux * (r + handle_len * 0.25), cy + uy * (r + handle_len * 0.25))],
             handle_w * 0.75, NAVY)
    c.stroke([(cx + ux * (r + handle_len * 0.28), cy + uy * (r + handle_len * 0.28)), he],
             handle_w, AMBER_D)
    c.stroke([(cx + ux * (r + handle_len * 0.32), cy + uy * (r + handle_len * 0.32)),
              (he[0] - ux * handle_w * 0.3, he[1] - uy * handle_w * 0.3)],
             handle_w * 0.45, rgba(AMBER_L, 170))
    c.circle((cx, cy), r - ring_w * 0.5, rgba(SKY, 110))
    # glint
    m = c.mask_of(lambda d, s: d.arc([(cx - r * 0.62) * s, (cy - r * 0.62) * s,
                                      (cx + r * 0.62) * s, (cy + r * 0.62) * s],
                                     200, 260, fill=255, width=int(max(1, r * 0.16) * s)))
    c.fill(m, rgba(NEAR_WHITE, 220))
    c.ring((cx, cy), r, ring_w, NAVY)


def gear(c, cx, cy, r_out, r_in, r_hole, teeth, paint, hole_paint=None, rot=0.0):
    pts = []
    n = teeth * 4
    for i in range(n):
        t = 2 * math.pi * (i + 0.5) / n + rot
        k = i % 4
        rr = r_out if k in (0, 1) else r_in
        pts.append((cx + math.cos(t) * rr, cy + math.sin(t) * rr))
    s = c.ss
    m, d = c.new_mask()
    d.polygon([(x * s, y * s) for x, y in pts], fill=255)
    d.ellipse([(cx - r_in * 0.98) * s, (cy - r_in * 0.98) * s,
               (cx + r_in * 0.98) * s, (cy + r_in * 0.98) * s], fill=255)
    d.ellipse([(cx - r_hole) * s, (cy - r_hole) * s, (cx + r_hole) * s, (cy + r_hole) * s], fill=0)
    c.fill(m, paint)


def no_entry(c, cx, cy, r, edge=None):
    if edge:
        c.circle((cx, cy), r + edge[1], edge[0])
    c.circle((cx, cy), r, c.lin((cx, cy - r), (cx, cy + r), (238, 106, 78), CORAL_D))
    c.stroke([(cx - r * 0.52, cy), (cx + r * 0.52, cy)], r * 0.34, NEAR_WHITE)


def dust(c, pts, col=SLATE_L, alpha=255):
    for x, y, r in pts:
        c.circle((x, y), r, rgba(col, alpha))


# ---------------------------------------------------------------- icon
ICON_LAYOUT = {
    # size: drive box, outline width, corner radius, big star (cx, cy, r), small star
    256: ((14, 108, 242, 234), 8, 26, (184, 66, 64), (86, 50, 30)),
    48: ((2, 20, 46, 44), 2, 5, (34.5, 12.5, 12), (16, 9.5, 6)),
    32: ((1, 13, 31, 30), 1, 3.5, (22.5, 8, 8.5), (9.5, 6.5, 4.5)),
}


def icon_image(size):
    """The Tidyhold mark: a hard disk with an amber sparkle above it."""
    if size <= 16:
        return icon_16()
    (x0, y0, x1, y1), lw, r, big, small = ICON_LAYOUT[size]
    c = Canvas(size, size)
    drive(c, x0, y0, x1, y1, lw=lw, r=r, vents=size >= 32, snap=True)
    k = size / 256.0
    edge = max(1.0, 7 * k)
    p = 3.0 if size >= 48 else 2.7
    bx, by, br = big
    sparkle(c, bx, by, br + edge, AMBER_D, p=p)
    sparkle(c, bx, by, br, c.lin((bx - br, by - br), (bx + br, by + br), AMBER_L, AMBER), p=p)
    sx, sy, sr = small
    sparkle(c, sx, sy, sr + edge * 0.8, TEAL_D, p=p)
    sparkle(c, sx, sy, sr, c.lin((sx - sr, sy - sr), (sx + sr, sy + sr), TEAL_L, TEAL), p=p)
    return c.rgba_image()


def icon_16():
    """Hand-placed 16 px version so that it stays crisp."""
    rows = [
        "...........a....",
        "...........a....",
        "..........aya...",
        "...t.....aayaa..",
        "..tTt..aayyyyyaa",
        "...t.....aayaa..",
        "..........aya...",
        "...........a....",
        ".NNNNNNNNNNNNNN.",
        "NsssssssssssssSN",
        "NSSSSSSSSSSSSSSN",
        "NNNNNNNNNNNNNNNN",
        "NbbbbbbbbbbbbbbN",
        "NBvBvBvBBBBBGGBN",
        "NBBBBBBBBBBBBBBN",
        ".NNNNNNNNNNNNNN.",
    ]
    pal = {
        ".": (0, 0, 0, 0),
        "N": rgba(NAVY),
        "s": rgba(SILVER_L),
        "S": rgba(SILVER),
        "b": rgba(BLUE_L),
        "B": rgba(BLUE),
        "v": rgba(NAVY_2),
        "G": rgba(MINT),
        "a": rgba(AMBER_D),
        "y": rgba(AMBER_L),
        "t": rgba(TEAL_D),
        "T": rgba(TEAL_L),
    }
    return pixel_art(rows, pal, "RGBA")


# ---------------------------------------------------------------- pixel art
def pixel_art(rows, pal, mode="RGB"):
    h = len(rows)
    w = len(rows[0])
    img = Image.new(mode, (w, h))
    px = img.load()
    for y, row in enumerate(rows):
        assert len(row) == w, (y, row)
        for x, ch in enumerate(row):
            px[x, y] = pal[ch]
    return img


TREE_PAL = {
    ".": WHITE,
    "K": (156, 98, 18),     # folder outline
    "y": (236, 172, 56),    # folder back
    "Y": (252, 204, 92),    # folder front
    "D": (240, 184, 70),    # folder front, shaded
    "L": (254, 232, 164),   # folder highlight
    "P": NEAR_WHITE,        # paper
    "p": (214, 222, 232),   # paper edge
    "N": NAVY,
    "s": SILVER_L,
    "S": SILVER,
    "b": BLUE_L,
    "B": BLUE,
    "G": MINT,
    "v": NAVY_2,
}

CLOSED_FOLDER = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KyyyyyK.........",
    "KyyyyyyKKKKKKKK.",
    "KyyyyyyyyyyyyyyK",
    "KLLLLLLLLLLLLLLK",
    "KYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYK",
    "KYYYYYYYYYYYYYYK",
    "KDDDDDDDDDDDDDDK",
    ".KKKKKKKKKKKKKK.",
    "................",
]

OPEN_FOLDER = [
    "................",
    "................",
    "................",
    ".KKKKK..........",
    "KyyyyyK.........",
    "KyyyyyyKKKKKK...",
    "KyyPPPPPPPPPyK..",
    "KyyPpppppppPyK..",
    "KyyKKKKKKKKKKKKK",
    "KyyKLLLLLLLLLLLK",
    "KyKYYYYYYYYYYYK.",
    "KyKYYYYYYYYYYYK.",
    "KKYYYYYYYYYYYK..",
    "KKDDDDDDDDDDDK..",
    ".KKKKKKKKKKKK...",
    "................",
]

HARD_DRIVE = [
    "................",
    "................",
    "................",
    "................",
    "................",
    "..NNNNNNNNNNNN..",
    ".NssssssssssssN.",
    "NSSSSSSSSSSSSSSN",
    "NSSSSSSSSSSSSSSN",
    "NNNNNNNNNNNNNNNN",
    "NbbbbbbbbbbbbbbN",
    "NBvBvBvBBBBBGGBN",
    "NBvBvBvBBBBBGGBN",
    "NBBBBBBBBBBBBBBN",
    ".NNNNNNNNNNNNNN.",
    "................",
]


def folder_images():
    img = Image.new("RGB", (48, 16), WHITE)
    for i, art in enumerate((CLOSED_FOLDER, OPEN_FOLDER, HARD_DRIVE)):
        img.paste(pixel_art(art, TREE_PAL), (16 * i, 0))
    return img


def check_states():
    border = (96, 104, 116)
    inside = NEAR_WHITE
    tick = [
        "......X",
        ".....XX",
        "X...XXX",
        "XX.XXX.",
        "XXXXX..",
        ".XXX...",
        "..X....",
    ]
    img = Image.new("RGB", (52, 13), WHITE)
    d = ImageDraw.Draw(img)
    for i in range(1, 4):
        x = 13 * i
        d.rectangle([x, 0, x + 12, 12], fill=border)
        d.rectangle([x + 1, 1, x + 11, 11], fill=inside)
        if i >= 2:
            col = (128, 128, 128) if i == 2 else (0, 0, 0)
            for ty, row in enumerate(tick):
                for tx, ch in enumerate(row):
                    if ch == "X":
                        img.putpixel((x + 3 + tx, 3 + ty), col)
    return img


# The tree images and check states at twice the size: the program scales them to the screen's DPI
# (exactly at 192, averaged otherwise), so they are drawn smooth on white rather than as pixel art.
TREE_OUTLINE = TREE_PAL["K"]


def tree_folder_2x(opened):
    c = Canvas(16, 16, out=2)
    back = [(0.5, 3.5), (5.5, 3.5), (7, 5), (15.5, 5), (15.5, 14.5), (0.5, 14.5)]
    c.polygon(back, TREE_OUTLINE)
    c.polygon([(1, 4), (5.3, 4), (6.8, 5.5), (15, 5.5), (15, 14), (1, 14)], TREE_PAL["y"])
    if opened:
        c.rrect((3, 5.5, 14, 9), 0, TREE_PAL["p"])
        c.rrect((3.5, 6, 13.5, 9), 0, PAPER)
        front = [(3.5, 8), (15.8, 8), (13, 14.5), (0.5, 14.5)]
        inner = [(3.9, 8.5), (15.1, 8.5), (12.65, 14), (1.2, 14)]
        top, bottom = 8.5, 14
    else:
        front = [(0.5, 7), (15.5, 7), (15.5, 14.5), (0.5, 14.5)]
        inner = [(1, 7.5), (15, 7.5), (15, 14), (1, 14)]
        top, bottom = 7.5, 14
    c.polygon(front, TREE_OUTLINE)
    c.polygon(inner, c.lin((0, top), (0, bottom), TREE_PAL["L"], TREE_PAL["D"]))
    c.rrect((inner[0][0], top, inner[1][0] - (1.5 if opened else 0), top + 0.5), 0, rgba(TREE_PAL["L"], 220))
    return c.over(WHITE)


def tree_drive_2x():
    c = Canvas(16, 16, out=2)
    drive(c, 0.5, 5.5, 15.5, 14.5, lw=0.5, r=1.2)
    return c.over(WHITE)


def folder_images_2x():
    img = Image.new("RGB", (96, 32), WHITE)
    for i, art in enumerate((tree_folder_2x(False), tree_folder_2x(True), tree_drive_2x())):
        img.paste(art, (32 * i, 0))
    return img


def check_states_2x():
    img = Image.new("RGB", (104, 26), WHITE)
    for i in range(1, 4):
        c = Canvas(13, 13, out=2)
        c.rrect((0, 0, 13, 13), 0, (96, 104, 116))
        c.rrect((1, 1, 12, 12), 0, NEAR_WHITE)
        if i >= 2:
            tick = (128, 128, 128) if i == 2 else (0, 0, 0)
            c.stroke([(3.4, 6.6), (5.4, 8.7), (9.7, 3.9)], 1.7, tick)
        img.paste(c.over(WHITE), (26 * i, 0))
    return img


# ---------------------------------------------------------------- side panels
PANEL_W, PANEL_H = 164, 346


def panel_background(c):
    w, h = PANEL_W, PANEL_H
    c.rrect((0, 0, w, h), 0, c.lin((0, 0), (w * 0.35, h), (30, 82, 142), (20, 140, 150)))
    # soft decorative shapes
    c.circle((w * 1.05, h * 0.06), 90, rgba(WHITE, 16))
    c.circle((w * 0.95, h * 0.05), 52, rgba(WHITE, 14))
    c.circle((-w * 0.2, h * 0.47), 70, rgba(WHITE, 10))
    c.circle((w * 0.2, h * 1.02), 120, rgba((10, 60, 90), 40))
    # faint dotted grid top-left
    for gy in range(5):
        for gx in range(5):
            c.circle((14 + gx * 9, 18 + gy * 9), 1.1, rgba(WHITE, 40))


def panel_floor(c, cy):
    c.shadow((20, cy - 7, PANEL_W - 20, cy + 9), rgba((6, 30, 50), 90), 3.5)


def welcome_panel():
    c = Canvas(PANEL_W, PANEL_H, ss=6, out=2)
    panel_background(c)
    dx0, dy0, dx1, dy1 = 20, 214, 144, 268
    panel_floor(c, dy1 + 2)
    drive(c, dx0, dy0, dx1, dy1, lw=2.6)
    # dust being swept off the left edge
    dust(c, [(14, 206, 3.0), (8, 196, 2.2), (20, 192, 1.8), (5, 214, 1.6),
             (26, 203, 1.4), (12, 184, 1.3)], SLATE_L, 230)
    # motion swooshes
    for i, (y, l) in enumerate(((176, 34), (186, 26), (196, 18))):
        m = c.mask_of(lambda d, s, y=y, l=l: d.arc(
            [(36 - l) * s, (y - 12) * s, (36 + l) * s, (y + 30) * s], 200, 262,
            fill=255, width=int(2.2 * s)))
        c.fill(m, rgba(NEAR_WHITE, 120 - i * 25))
    # broom: handle from upper right, bristles sweeping the drive top
    c.shadow((38, 220, 92, 231), rgba(NAVY, 70), 2.0)
    broom(c, (140, 70), (76, 176), 48, 20, 46, 6.2, handle=(216, 232, 240),
          band=NAVY_2, lines=6, floor=226)
    # sparkles over the cleaned part
    sparkle(c, 118, 196, 10, AMBER_L)
    sparkle(c, 134, 178, 5, NEAR_WHITE)
    sparkle(c, 104, 186, 4, rgba(NEAR_WHITE, 220))
    sparkle(c, 40, 110, 7, rgba(AMBER_L, 230))
    sparkle(c, 126, 46, 4, rgba(NEAR_WHITE, 200))
    return c.over((0, 0, 0))


def results_panel():
    c = Canvas(PANEL_W, PANEL_H, ss=6, out=2)
    panel_background(c)
    dx0, dy0, dx1, dy1 = 20, 214, 144, 268
    panel_floor(c, dy1 + 2)
    drive(c, dx0, dy0, dx1, dy1, lw=2.6)
    # big check badge above the drive
    cx, cy, r = 82, 148, 42
    c.shadow((cx - r * 0.8, cy + r * 0.7, cx + r * 0.8, cy + r * 1.05), rgba((6, 30, 50), 60), 3)
    c.circle((cx, cy), r + 7, rgba(WHITE, 40))
    check_badge(c, cx, cy, r, bg=(18, 150, 120), ring=(NEAR_WHITE, 3.5), tw=10)
    # celebration sparkles and confetti
    sparkle(c, 134, 110, 9, AMBER_L)
    sparkle(c, 30, 104, 6, NEAR_WHITE)
    sparkle(c, 140, 176, 5, rgba(NEAR_WHITE, 220))
    sparkle(c, 26, 186, 5, AMBER_L)
    sparkle(c, 118, 62, 4, rgba(NEAR_WHITE, 200))
    for (x, y, r2, col) in ((48, 86, 2.4, AMBER), (112, 92, 2.0, TEAL_L), (140, 140, 2.2, AMBER_L),
                            (22, 146, 2.0, TEAL_L), (58, 200, 1.8, AMBER_L), (108, 198, 1.8, NEAR_WHITE)):
        c.circle((x, y), r2, col)
    return c.over((0, 0, 0))


# ---------------------------------------------------------------- headers
def header_canvas():
    return Canvas(48, 48, out=2)


def header_shadow(c, x0, x1, y):
    c.shadow((x0, y - 2.2, x1, y + 2.2), rgba((0, 0, 0), 40), 1.2)


def hdr_folder():
    c = header_canvas()
    header_shadow(c, 5, 43, 43.5)
    folder(c, 3, 6, 41, 38)
    drive(c, 18, 28, 45, 43, lw=1.3)
    return c.over(DIALOG)


def hdr_junk_files():
    c = header_canvas()
    header_shadow(c, 6, 42, 44.5)
    document(c, 6, 4, 28, 32, 7, lines=3, lw=1.1)
    document(c, 15, 10, 38, 40, 7, lines=3, lw=1.1)
    # wildcard badge
    bx, by, br = 35, 35, 9.5
    c.circle((bx, by), br + 1.3, DIALOG)
    c.circle((bx, by), br, c.lin((bx, by - br), (bx, by + br), AMBER_L, AMBER_D))
    for a in (90, 30, 150):
        t = math.radians(a)
        ex, ey = math.cos(t) * br * 0.55, math.sin(t) * br * 0.55
        c.stroke([(bx - ex, by - ey), (bx + ex, by + ey)], 2.3, NEAR_WHITE)
    return c.over(DIALOG)


def hdr_options():
    c = header_canvas()
    header_shadow(c, 5, 43, 44.5)
    c.rrect((4, 6, 44, 42), 5, NAVY_2)
    c.rrect((5.2, 7.2, 42.8, 40.8), 4, c.lin((0, 7), (0, 41), SILVER_L, SILVER))
    knobs = ((13, 28, TEAL), (19, 30, AMBER), (25, 19, BLUE))
    for i, (y, kx, kc) in enumerate(((14, 28, TEAL), (24, 16, AMBER), (34, 32, BLUE))):
        c.stroke([(10, y), (38, y)], 2.6, SLATE_L)
        c.stroke([(10, y), (kx, y)], 2.6, mix(kc, WHITE, 0.25))
        c.circle((kx, y), 4.4, NAVY)
        c.circle((kx, y), 3.2, c.lin((kx, y - 3), (kx, y + 3), mix(kc, WHITE, 0.3), kc))
    return c.over(DIALOG)


def hdr_skip_folders():
    c = header_canvas()
    header_shadow(c, 5, 43, 43.5)
    folder(c, 3, 6, 41, 38)
    no_entry(c, 35, 34, 10, edge=(DIALOG, 1.6))
    return c.over(DIALOG)


def hdr_scan():
    c = header_canvas()
    header_shadow(c, 3, 45, 44.5)
    drive(c, 3, 26, 45, 43, lw=1.3)
    magnifier(c, 19, 17, 12, 3.2, 12, 5.5, angle=40)
    return c.over(DIALOG)


def hdr_cleaning():
    c = header_canvas()
    header_shadow(c, 3, 45, 44.5)
    # scraps being swept away to the left
    document(c, 2, 26, 15, 43, 4, lines=3, lw=1.0)
    dust(c, [(18, 41.8, 1.5), (21, 39.5, 1.0), (17.6, 37.5, 0.8)], SLATE, 255)
    broom(c, (44.5, 3.5), (35, 22), 21, 8.5, 19, 3.2, handle=TEAL_D, band=NAVY, lines=4, floor=43)
    sparkle(c, 9, 13, 6, AMBER_D, p=3)
    sparkle(c, 9, 13, 4.8, AMBER, p=3)
    sparkle(c, 18, 6, 3.4, TEAL, p=3)
    return c.over(DIALOG)


# ---------------------------------------------------------------- writers
def save_bmp(img, rel):
    img = img.convert("RGB")
    path = os.path.join(RES, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    img.save(path, "BMP")
    print("wrote", os.path.relpath(path, ROOT), "%dx%d" % img.size)


def ico_dib(img):
    """32-bit BGRA DIB with AND mask, as stored inside an ICO."""
    w, h = img.size
    px = img.load()
    hdr = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = px[x, y]
            xor += bytes((b, g, r, a))
    stride = ((w + 31) // 32) * 4
    andm = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray(stride)
        for x in range(w):
            if px[x, y][3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        andm += row
    return hdr + bytes(xor) + bytes(andm)


def save_ico(images, rel):
    entries = []
    for img in images:
        w, h = img.size
        if w >= 256:
            buf = io.BytesIO()
            img.save(buf, "PNG", optimize=False)
            data = buf.getvalue()
        else:
            data = ico_dib(img)
        entries.append((w, h, data))
    out = bytearray(struct.pack("<HHH", 0, 1, len(entries)))
    offset = 6 + 16 * len(entries)
    for w, h, data in entries:
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, _, data in entries:
        out += data
    path = os.path.join(RES, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(out)
    print("wrote", os.path.relpath(path, ROOT), "sizes", [e[0] for e in entries])


def main():
    save_ico([icon_image(s) for s in (16, 32, 48, 256)], "icons/tidyhold.ico")
    save_bmp(folder_images(), "bitmaps/folder_images.bmp")
    save_bmp(check_states(), "bitmaps/check_states.bmp")
    save_bmp(folder_images_2x(), "bitmaps/folder_images_2x.bmp")
    save_bmp(check_states_2x(), "bitmaps/check_states_2x.bmp")
    save_bmp(welcome_panel(), "bitmaps/welcome.bmp")
    save_bmp(results_panel(), "bitmaps/results.bmp")
    save_bmp(hdr_folder(), "bitmaps/folder.bmp")
    save_bmp(hdr_junk_files(), "bitmaps/junk_files.bmp")
    save_bmp(hdr_options(), "bitmaps/options.bmp")
    save_bmp(hdr_skip_folders(), "bitmaps/skip_folders.bmp")
    save_bmp(hdr_scan(), "bitmaps/scan.bmp")
    save_bmp(hdr_cleaning(), "bitmaps/cleaning.bmp")
    return 0


if __name__ == "__main__":
    sys.exit(main())
