#!/usr/bin/python3
# Draws every picture in this folder. Needs Debian packages: python3-pil fonts-dejavu-core fonts-liberation
# Run from anywhere: /usr/bin/python3 assets/draw.py   (writes next to this script; same bytes every run)
# Fonts used: DejaVu Sans Bold (fonts-dejavu-core), Liberation Sans Bold Italic (fonts-liberation).
"""Relinka artwork: animated GIFs, the logo bitmap and the icons.

Everything is drawn with vector-like shapes on an 8x supersampled canvas and
box-filtered down, then written by the small encoders at the bottom of this
file (GIF89a, 24-bit BMP, ICO of 32-bit pictures, each stored as a bitmap or as PNG, whichever is
smaller) so the bytes are fully under our control.
GIF frames are full-size and use disposal method 1 (leave in place).
"""
import math
import os
import struct
import zlib

from PIL import Image, ImageChops, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
SS = 8  # supersampling factor

FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
FONT_LOGO = "/usr/share/fonts/truetype/liberation/LiberationSans-BoldItalic.ttf"

# ---------------------------------------------------------------- palette
INK = (22, 28, 44)          # outline / dark ink
STEEL = (70, 82, 104)
RED = (222, 36, 36)
DARKRED = (120, 24, 24)
BLUE = (28, 110, 228)
NAVY = (16, 48, 128)
WHITE = (255, 255, 255)
YELLOW = (255, 206, 60)
ORANGE = (255, 150, 20)
GREEN = (52, 168, 60)


def mix(a, b, t):
    """Blend colour a towards b by t (0..1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def rgba(c, a=255):
    return tuple(c[:3]) + (a,)


class Grad:
    """Vertical (kind 'v') or radial (kind 'r') colour gradient in drawing units."""

    def __init__(self, kind, c0, c1, a, b, c=None):
        self.kind, self.c0, self.c1 = kind, c0, c1
        self.a, self.b, self.c = a, b, c  # v: y0, y1   r: cx, cy, radius


class Pen:
    """A supersampled RGBA canvas addressed in drawing units.

    w, h: output size in pixels; unit: output pixels per drawing unit.
    """

    def __init__(self, w, h, unit=1.0, bg=(0, 0, 0, 0)):
        self.w, self.h = w, h
        self.k = unit * SS
        self.im = Image.new("RGBA", (w * SS, h * SS), bg)
        self.d = ImageDraw.Draw(self.im)
        self.rot = None

    # coordinates -------------------------------------------------------
    def rotate_about(self, cx, cy, deg):
        self.rot = (cx, cy, math.radians(deg)) if deg else None

    def p(self, x, y):
        if self.rot:
            cx, cy, a = self.rot
            dx, dy = x - cx, y - cy
            x = cx + dx * math.cos(a) - dy * math.sin(a)
            y = cy + dx * math.sin(a) + dy * math.cos(a)
        return (x * self.k - 0.5, y * self.k - 0.5)

    # filling -----------------------------------------------------------
    def _fill(self, fill, paint):
        """paint(draw, value) draws the shape; fill is a colour or a Grad."""
        if not isinstance(fill, Grad):
            paint(self.d, rgba(fill) if len(fill) == 3 else fill)
            return
        mask = Image.new("L", self.im.size, 0)
        paint(ImageDraw.Draw(mask), 255)
        self.im.paste(self._gradient(fill), (0, 0), mask)

    def _gradient(self, g):
        W, H = self.im.size
        if g.kind == "v":
            y0, y1 = g.a * self.k, g.b * self.k
            col = Image.new("L", (1, H))
            col.putdata([max(0, min(255, int(round(255 * (y - y0) / (y1 - y0))))) for y in range(H)])
            t = col.resize((W, H), Image.NEAREST)
        else:
            cx, cy, r = g.a * self.k, g.b * self.k, g.c * self.k
            t = Image.new("L", (W, H), 255)
            rg = Image.radial_gradient("L")  # 256x256, 0 at centre, 255 at radius 128
            side = max(2, int(round(2 * r)))
            rg = rg.resize((side, side), Image.BILINEAR)
            t.paste(rg, (int(round(cx - side / 2)), int(round(cy - side / 2))))
        return Image.composite(Image.new("RGBA", (W, H), rgba(g.c1)), Image.new("RGBA", (W, H), rgba(g.c0)), t)

    # shapes ------------------------------------------------------------
    def poly(self, pts, fill):
        q = [self.p(x, y) for x, y in pts]
        self._fill(fill, lambda d, v: d.polygon(q, fill=v))

    def circle(self, cx, cy, r, fill):
        x, y = self.p(cx, cy)
        rr = r * self.k
        self._fill(fill, lambda d, v: d.ellipse([x - rr, y - rr, x + rr, y + rr], fill=v))

    def ellipse(self, x0, y0, x1, y1, fill, steps=72):
        cx, cy, rx, ry = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2
        self.poly([(cx + rx * math.cos(2 * math.pi * i / steps), cy + ry * math.sin(2 * math.pi * i / steps))
                   for i in range(steps)], fill)

    def rect(self, x0, y0, x1, y1, fill):
        self.poly([(x0, y0), (x1, y0), (x1, y1), (x0, y1)], fill)

    def rrect(self, x0, y0, x1, y1, r, fill):
        self.poly(rrect_pts(x0, y0, x1, y1, r), fill)

    def seg(self, a, b, w, fill, caps=True):
        (x0, y0), (x1, y1) = a, b
        L = math.hypot(x1 - x0, y1 - y0) or 1e-9
        nx, ny = -(y1 - y0) / L * w / 2, (x1 - x0) / L * w / 2
        self.poly([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)], fill)
        if caps:
            self.circle(x0, y0, w / 2, fill)
            self.circle(x1, y1, w / 2, fill)

    def polyline(self, pts, w, fill, caps=True):
        for i in range(len(pts) - 1):
            self.seg(pts[i], pts[i + 1], w, fill, caps=False)
        for i, (x, y) in enumerate(pts):
            if caps or 0 < i < len(pts) - 1:
                self.circle(x, y, w / 2, fill)

    def arc(self, cx, cy, r, a0, a1, w, fill, caps=True, steps=None):
        """Thick arc; angles in degrees, 0 = right, 90 = up."""
        n = steps or max(8, int(abs(a1 - a0) / 3))
        outer, inner = [], []
        for i in range(n + 1):
            a = math.radians(a0 + (a1 - a0) * i / n)
            c, s = math.cos(a), -math.sin(a)
            outer.append((cx + (r + w / 2) * c, cy + (r + w / 2) * s))
            inner.append((cx + (r - w / 2) * c, cy + (r - w / 2) * s))
        self.poly(outer + inner[::-1], fill)
        if caps:
            for a in (a0, a1):
                t = math.radians(a)
                self.circle(cx + r * math.cos(t), cy - r * math.sin(t), w / 2, fill)

    def text(self, cx, cy, s, font, size, fill):
        """Text whose ink box is centred on (cx, cy); size in drawing units."""
        f = ImageFont.truetype(font, int(round(size * self.k)))
        l, t, r, b = f.getbbox(s)
        x, y = self.p(cx, cy)
        pos = (x - (l + r) / 2, y - (t + b) / 2)
        self._fill(fill, lambda d, v: d.text(pos, s, font=f, fill=v))

    # effects -----------------------------------------------------------
    def layer(self):
        """A blank pen of the same geometry, to be merged back with over()."""
        q = Pen.__new__(Pen)
        q.w, q.h, q.k, q.rot = self.w, self.h, self.k, None
        q.im = Image.new("RGBA", self.im.size, (0, 0, 0, 0))
        q.d = ImageDraw.Draw(q.im)
        return q

    def over(self, other, opacity=1.0):
        im = other.im
        if opacity < 1.0:
            a = im.getchannel("A").point(lambda v: int(v * opacity))
            im = im.copy()
            im.putalpha(a)
        self.im.alpha_composite(im)

    def outline(self, r, color=INK):
        """Put a dark rim of r units around everything drawn so far."""
        rr = max(1, int(round(r * self.k)))
        a = self.im.getchannel("A").point(lambda v: 255 if v >= 128 else 0)
        out = dilate(a, rr)
        base = Image.new("RGBA", self.im.size, rgba(color))
        base.putalpha(out)
        base.alpha_composite(self.im)
        self.im = base
        self.d = ImageDraw.Draw(self.im)

    def glow(self, cx, cy, r, color, strength=1.0):
        """Soft round glow (radial falloff) composited over the canvas."""
        W, H = self.im.size
        x, y = self.p(cx, cy)
        side = max(2, int(round(2 * r * self.k)))
        rg = Image.radial_gradient("L").resize((side, side), Image.BILINEAR)
        # radial_gradient reaches 255 at the edge's midpoints: alpha fades to 0 at radius r
        al = rg.point(lambda v: int(max(0.0, 1.0 - v / 255.0) ** 1.6 * 255 * strength))
        a = Image.new("L", (W, H), 0)
        a.paste(al, (int(round(x - side / 2)), int(round(y - side / 2))))
        g = Image.new("RGBA", (W, H), rgba(color))
        g.putalpha(a)
        self.im.alpha_composite(g)

    def result(self):
        return self.im.resize((self.w, self.h), Image.BOX)


def rrect_pts(x0, y0, x1, y1, r, steps=8):
    pts = []
    for cx, cy, a in ((x1 - r, y0 + r, 0), (x0 + r, y0 + r, 90), (x0 + r, y1 - r, 180), (x1 - r, y1 - r, 270)):
        for i in range(steps + 1):
            t = math.radians(a + 90 * i / steps)
            pts.append((cx + r * math.cos(t), cy - r * math.sin(t)))
    return pts


def dilate(mask, r):
    """Binary dilation of an L mask by a disk of radius r pixels."""
    W, H = mask.size
    out = mask.copy()
    rows = {}
    for dy in range(-r, r + 1):
        rows[dy] = int(math.floor(math.sqrt(max(0, r * r + r - dy * dy))))
    # horizontal runs first, then vertical offsets, keeps the work small
    hcache = {}

    def hdil(w):
        if w not in hcache:
            m = mask.copy()
            for dx in range(1, w + 1):
                for sx in (dx, -dx):
                    s = Image.new("L", (W, H), 0)
                    s.paste(mask, (sx, 0))
                    m = ImageChops.lighter(m, s)
            hcache[w] = m
        return hcache[w]

    for dy, w in rows.items():
        s = Image.new("L", (W, H), 0)
        s.paste(hdil(w), (0, dy))
        out = ImageChops.lighter(out, s)
    return out


# ================================================================ icons
# Icons are designed on a 32-unit grid; unit = size / 32. Each size is drawn at that size, so the
# system never has to stretch one: the sizes the program asks for at 96, 120, 144 and 192 dpi.
BUTTON_SIZES = (32, 40, 48, 64)  # button pictures: 32 pixels at 96 dpi
WINDOW_SIZES = (16, 20, 24) + BUTTON_SIZES  # the system's small (16) and large (32) icons

def tower_lattice(p, xb0, xb1, yb, xt0, xt1, yt, sections, leg_w, bar_w, color, bar_color=None):
    """An A-shaped lattice tower with X bracing."""
    bar_color = bar_color or color

    def at(t):  # t=0 base .. 1 top
        y = yb + (yt - yb) * t
        return xb0 + (xt0 - xb0) * t, xb1 + (xt1 - xb1) * t, y

    # spacing grows towards the base
    ts = [1 - (1 - i / sections) ** 1.0 for i in range(sections + 1)]
    for i in range(sections):
        l0, r0, y0 = at(ts[i])
        l1, r1, y1 = at(ts[i + 1])
        p.seg((l0, y0), (r1, y1), bar_w, bar_color)
        p.seg((r0, y0), (l1, y1), bar_w, bar_color)
    for i in range(1, sections + 1):
        l, r, y = at(ts[i])
        p.seg((l, y), (r, y), bar_w, bar_color)
    p.seg((xb0, yb), (xt0, yt), leg_w, color)
    p.seg((xb1, yb), (xt1, yt), leg_w, color)


def icon_relinka(p, size, badge=False):
    small = size <= 20  # the lattice of the big design turns to a blur below 24 pixels
    cx, cy = 16, 8
    wave = Grad("v", (80, 170, 255), (20, 80, 200), 0, 20)
    radii = (7.2, 12.4) if small else (6.6, 11.2)
    ww = 3.2 if small else 2.4
    for r in radii:
        p.arc(cx, cy, r, 180 - 34, 180 + 34, ww, wave)
        p.arc(cx, cy, r, -34, 34, ww, wave)
    p.outline(1.0 if small else 0.9)
    # the tower itself is dark enough to stand without a rim
    steel = (44, 52, 74)
    if small:
        tower_lattice(p, 9, 23, 30.5, 14.6, 17.4, 10, 2, 3.0, 2.0, steel)
        p.circle(16, 7.5, 4.2, INK)
        p.circle(16, 7.5, 3.2, (235, 40, 30))
    else:
        tower_lattice(p, 9, 23, 30.5, 14.8, 17.2, 11.5, 4, 2.2, 1.2, steel)
        p.seg((16, 11.5), (16, 8), 1.6, steel)
        p.rect(7.5, 29.5, 24.5, 31.5, steel)
        p.circle(16, 7.4, 3.6, INK)
        p.circle(16, 7.4, 2.8, Grad("r", (255, 190, 160), (215, 25, 20), 15.1, 6.5, 3.4))
    if badge:
        info_disc(p, 25, 25, 6.6, 1.0)


def info_disc(p, cx, cy, r, ow):
    p.circle(cx, cy, r + ow, INK)
    p.circle(cx, cy, r, Grad("v", (90, 160, 255), (20, 70, 190), cy - r, cy + r))
    s = r / 13.0
    p.circle(cx, cy - 6.2 * s, 2.1 * s, WHITE)
    p.rrect(cx - 1.9 * s, cy - 2.4 * s, cx + 1.9 * s, cy + 8.5 * s, 1.0 * s, WHITE)


def icon_gravar(p, size):
    # floppy disk with a friends list on its label
    body = Grad("v", (60, 110, 215), (24, 54, 140), 2, 30)
    p.poly([(25.5, 2.5), (29.5, 6.5), (29.5, 27.5), (27.5, 29.5), (4.5, 29.5), (2.5, 27.5), (2.5, 4.5), (4.5, 2.5)], body)
    # metal shutter
    p.rect(9, 2.5, 23, 11.5, Grad("v", (236, 238, 242), (168, 174, 186), 2.5, 11.5))
    p.rect(18, 4.2, 21, 10, (52, 60, 78))
    p.seg((9, 11.5), (23, 11.5), 0.8, (20, 36, 90), caps=False)
    # label: a list
    p.rrect(6, 15, 26, 29.5, 1.0, (252, 252, 248))
    for i, y in enumerate((18.5, 22.2, 25.9)):
        p.circle(9.2, y, 1.25, (220, 40, 40))
        p.seg((12, y), (23, y), 1.6, (40, 60, 120), caps=False)
    p.outline(1.0)


def icon_ler(p, size):
    # open folder with a sheet coming out and an up arrow
    back = Grad("v", (240, 190, 60), (200, 140, 20), 8, 29)
    p.poly([(2.5, 9), (3.5, 7.5), (11, 7.5), (13, 10), (26.5, 10), (27.5, 11), (27.5, 29), (2.5, 29)], back)
    p.poly([(7, 5.5), (22, 5.5), (22, 22), (7, 22)], (252, 252, 250))
    p.seg((7, 5.5), (7, 22), 0.8, (150, 150, 160), caps=False)
    p.seg((22, 5.5), (22, 22), 0.8, (150, 150, 160), caps=False)
    p.seg((7, 5.5), (22, 5.5), 0.8, (150, 150, 160), caps=False)
    for y in (13, 16):
        p.seg((9.5, y), (19.5, y), 1.3, (70, 90, 140), caps=False)
    front = Grad("v", (255, 226, 120), (236, 170, 30), 15, 29)
    p.poly([(6, 16.5), (30.5, 16.5), (27, 29.5), (2.5, 29.5)], front)
    p.seg((6.3, 17.3), (30, 17.3), 0.9, (255, 245, 200), caps=False)
    # green up arrow
    arrow = Grad("v", (110, 230, 90), (24, 140, 40), 1.5, 16)
    p.poly([(21, 1.5), (29, 9), (24.8, 9), (24.8, 16.5), (17.2, 16.5), (17.2, 9), (13, 9)], arrow)
    p.outline(1.0)


def icon_question(p, size):
    small = size <= 16
    p.circle(16, 16, 14, Grad("v", (96, 168, 255), (18, 66, 186), 2, 30))
    if not small:
        hl = p.layer()
        hl.ellipse(7.5, 3.8, 24.5, 14.5, Grad("v", (255, 255, 255), (150, 200, 255), 3.8, 14.5))
        p.over(hl, 0.45)
    p.text(16, 16.3, "?", FONT_BOLD, 24 if not small else 26, WHITE)
    p.outline(1.0)


def icon_info(p, size):
    p.circle(16, 16, 14, Grad("v", (96, 168, 255), (18, 66, 186), 2, 30))
    hl = p.layer()
    hl.ellipse(7.5, 3.8, 24.5, 14.5, Grad("v", (255, 255, 255), (150, 200, 255), 3.8, 14.5))
    p.over(hl, 0.45)
    p.circle(16, 8.6, 2.6, WHITE)
    p.rrect(13.5, 12.5, 18.5, 25.5, 1.0, WHITE)
    p.rect(11.8, 12.5, 16, 14.6, WHITE)
    p.rect(11.8, 23.4, 20.2, 25.5, WHITE)
    p.outline(1.0)


def icon_power(p, size):
    p.circle(16, 16, 14, Grad("v", (255, 255, 255), (196, 200, 210), 2, 30))
    p.circle(16, 16, 11.6, Grad("v", (214, 218, 226), (250, 250, 252), 4, 28))
    red = Grad("v", (255, 80, 60), (180, 10, 10), 6, 26)
    p.arc(16, 17, 7.5, 120, 420, 3.2, red)
    p.seg((16, 6.5), (16, 15.5), 3.2, red)
    p.outline(1.0)


def icon_desconectar(p, size):
    # a plug pulled out of its socket, with a red spark in the gap
    dark = Grad("v", (120, 126, 142), (38, 42, 54), 9, 23)
    metal = Grad("v", (255, 244, 190), (196, 146, 36), 11, 21)
    p.seg((-2, 16), (3, 16), 3.6, (46, 50, 62), caps=False)
    p.rrect(1.5, 10, 11.5, 22, 2.0, dark)
    p.rect(11.5, 11.2, 13, 20.8, (70, 76, 92))
    p.rect(13, 11.8, 17.5, 14.2, metal)
    p.rect(13, 17.8, 17.5, 20.2, metal)
    p.rrect(22, 9.5, 32.5, 22.5, 2.0, dark)
    p.rect(22, 11.8, 25, 14.2, (12, 12, 16))
    p.rect(22, 17.8, 25, 20.2, (12, 12, 16))
    p.outline(1.0)
    sp = p.layer()
    red = Grad("v", (255, 90, 60), (200, 10, 10), 2, 30)
    for ang in (58, 90, 122, 238, 270, 302):
        c, s_ = math.cos(math.radians(ang)), -math.sin(math.radians(ang))
        sp.seg((19.8 + 9.5 * c, 16 + 9.5 * s_), (19.8 + 13.8 * c, 16 + 13.8 * s_), 1.7, red)
    sp.outline(0.8)
    p.over(sp)


def icon_desconectar_todos(p, size):
    # a small network (ring with a hub) and a big red X over it
    hub = (16, 16)
    nodes = [(16, 3.8), (28.2, 16), (16, 28.2), (3.8, 16)]
    link = (236, 242, 250)
    p.arc(16, 16, 12.2, 0, 360, 1.8, link, caps=False, steps=120)
    for n in nodes:
        p.seg(hub, n, 1.8, link)
    ball = lambda x, y, r: Grad("r", (255, 255, 255), (40, 110, 220), x - r * 0.35, y - r * 0.35, r * 1.5)
    for x, y in nodes:
        p.circle(x, y, 3.3, ball(x, y, 3.3))
    p.circle(16, 16, 3.8, ball(16, 16, 3.8))
    p.outline(1.0)
    x = p.layer()
    red = Grad("v", (255, 96, 70), (190, 10, 10), 5, 27)
    x.seg((9.5, 9.5), (22.5, 22.5), 4.6, red)
    x.seg((22.5, 9.5), (9.5, 22.5), 4.6, red)
    x.outline(1.0)
    p.over(x)


def icon_retornar(p, size):
    col = Grad("v", (90, 170, 255), (20, 70, 190), 4, 29)
    # U-turn: head at left pointing left, shaft over the top, bend on the right, tail below
    p.arc(19.5, 17.5, 7.0, 90, -90, 5.0, col, caps=False)
    p.rect(10, 8, 19.6, 13, col)
    p.rect(7, 22, 19.6, 27, col)
    p.circle(7, 24.5, 2.5, col)
    p.poly([(1.5, 10.5), (11, 2.5), (11, 18.5)], col)
    p.outline(1.0)


def icon_globe(p, size):
    r = 14
    ocean = Grad("r", (120, 200, 255), (20, 80, 190), 12, 11, 17)
    p.circle(16, 16, r, ocean)
    land = p.layer()
    g = Grad("v", (120, 210, 80), (40, 130, 40), 2, 30)
    # the Americas
    land.poly([(4, 8), (8, 5.5), (13, 5), (15, 7.5), (13.5, 10), (11.5, 12), (10, 14), (8.5, 13),
               (6.5, 11), (4.5, 12)], g)
    land.poly([(10.5, 15.5), (14.5, 16), (17, 18.5), (16, 22), (14, 25), (12.5, 29), (11.5, 25.5),
               (10.5, 21), (9.5, 18)], g)
    # Europe / Africa
    land.poly([(20, 7), (24, 5), (27.5, 8), (26, 11), (23, 11.5), (20.5, 10.5)], g)
    land.poly([(19.5, 13.5), (25, 13), (28.5, 16), (27.5, 20), (25, 23), (23.5, 27), (22, 22.5),
               (20, 19), (18.5, 16)], g)
    mask = Image.new("L", p.im.size, 0)
    x, y = p.p(16, 16)
    rr = r * p.k
    ImageDraw.Draw(mask).ellipse([x - rr, y - rr, x + rr, y + rr], fill=255)
    la = ImageChops.multiply(land.im.getchannel("A"), mask)
    land.im.putalpha(la)
    p.over(land)
    grid = p.layer()
    gl = (230, 245, 255)
    for dy in (-7, 0, 7):
        half = math.sqrt(r * r - dy * dy)
        grid.seg((16 - half, 16 + dy), (16 + half, 16 + dy), 0.8, gl, caps=False)
    for rx in (5.5, 11):
        pts = [(16 + rx * math.cos(math.radians(a)), 16 + r * math.sin(math.radians(a))) for a in range(-90, 91, 6)]
        grid.polyline(pts, 0.8, gl, caps=False)
        grid.polyline([(32 - x_, y_) for x_, y_ in pts], 0.8, gl, caps=False)
    grid.seg((16, 2), (16, 30), 0.8, gl, caps=False)
    p.over(grid, 0.55)
    hl = p.layer()
    hl.ellipse(6, 3.5, 22, 12, Grad("v", (255, 255, 255), (255, 255, 255), 3, 12))
    p.over(hl, 0.22)
    p.outline(1.0)


# Marks over the taskbar button's icon, and the thumbnail's button: the system's small icon size, and twice
# it for the screens that scale; nothing larger.
MARK_SIZES = (16, 32)


def mark_disconnected(p, size):
    # a red disc with a white cross: a station is down
    p.circle(16, 16, 15, INK)
    p.circle(16, 16, 13.2, Grad("v", (255, 90, 70), (190, 16, 16), 3, 29))
    w = 5.0 if size <= 16 else 4.2
    p.seg((10.5, 10.5), (21.5, 21.5), w, WHITE)
    p.seg((21.5, 10.5), (10.5, 21.5), w, WHITE)


def mark_stopped(p, size):
    # an amber disc with the two bars of a pause: the supervision is switched off
    p.circle(16, 16, 15, INK)
    p.circle(16, 16, 13.2, Grad("v", (255, 214, 90), (214, 140, 0), 3, 29))
    w = 5.6 if size <= 16 else 4.8
    p.rrect(10.6 - w / 2 + 1.4, 9, 10.6 + w / 2 + 1.4, 23, 1.0, INK)
    p.rrect(21.4 - w / 2 - 1.4, 9, 21.4 + w / 2 - 1.4, 23, 1.0, INK)


def icon_history(p, size):
    # a clock face: what happened, and when
    p.circle(16, 16, 15, INK)
    p.circle(16, 16, 12.8, Grad("v", (255, 255, 255), (214, 224, 240), 3, 29))
    w = 3.2 if size <= 16 else 2.4
    p.seg((16, 16), (16, 7), w, NAVY)
    p.seg((16, 16), (22.5, 19.5), w, RED)
    p.circle(16, 16, w * 0.8, INK)


def render_icon(design, size, **kw):
    p = Pen(size, size, unit=size / 32.0)
    design(p, size, **kw)
    return p.result()


# ================================================================ animations

def beacon(p, x, y, r, on):
    if on:
        p.glow(x, y, r * 3.2, (255, 70, 40), 0.55)
        p.circle(x, y, r + 0.6, (150, 10, 10))
        p.circle(x, y, r, Grad("r", (255, 230, 200), (240, 30, 20), x - r * 0.3, y - r * 0.3, r * 1.2))
    else:
        p.circle(x, y, r + 0.6, (90, 20, 20))
        p.circle(x, y, r, Grad("r", (200, 90, 80), (120, 20, 20), x - r * 0.3, y - r * 0.3, r * 1.2))


def waves(p, x, y, r, spread, w, color, fade, sides=(0, 180)):
    c = mix(color, WHITE, fade)
    for s in sides:
        p.arc(x, y, r, s - spread, s + spread, w, c)


def frame_banner_tower(t):
    p = Pen(35, 45, bg=rgba(WHITE))
    bx, by = 17.5, 7.5
    for k in (0, 5):
        ph = ((t + k) % 10) / 10.0
        waves(p, bx, by, 4.5 + ph * 13.5, 38, 1.7, BLUE, min(0.9, ph * 0.95))
    steel = (56, 66, 90)
    tower_lattice(p, 9.5, 25.5, 43, 16.2, 18.8, 13, 4, 1.7, 1.0, steel)
    p.seg((17.5, 13), (17.5, 9), 1.4, steel)
    p.rect(7.5, 42.6, 27.5, 44.6, (90, 96, 110))
    beacon(p, bx, by, 2.3, t % 5 < 2)
    return p.result()


def bezier(p0, p1, p2, s):
    return tuple((1 - s) ** 2 * p0[i] + 2 * (1 - s) * s * p1[i] + s * s * p2[i] for i in range(2))


def station(p, x, ground, top, mirror):
    steel = (52, 62, 86)
    tower_lattice(p, x - 12, x + 12, ground, x - 2.2, x + 2.2, top + 6, 5, 3.2, 2.0, steel)
    p.seg((x, top + 6), (x, top + 1), 2.6, steel)
    # radio shack beside the tower
    sx = x + 17 if not mirror else x - 17 - 24
    p.rect(sx, ground - 16, sx + 24, ground + 2, (250, 244, 230))
    p.poly([(sx - 3, ground - 15), (sx + 12, ground - 26), (sx + 27, ground - 15)], (200, 50, 40))
    p.rect(sx + 4, ground - 11, sx + 11, ground - 5, (120, 190, 250))
    p.rect(sx + 15, ground - 10, sx + 20, ground + 2, (130, 80, 40))
    # feed line from shack to tower
    fx = sx if not mirror else sx + 24
    p.seg((fx, ground - 9), (x + (6 if not mirror else -6), ground - 9), 1.6, (30, 30, 30))


def earth(p):
    cx, cy, R = 140, 600, 508
    p.circle(cx, cy, R + 1.5, (20, 50, 110))
    p.circle(cx, cy, R, Grad("v", (70, 150, 235), (20, 70, 170), 92, 120))
    # land where the stations stand
    for lx in (44, 236):
        gy = cy - math.sqrt(R * R - (lx - cx) ** 2)
        p.ellipse(lx - 38, gy - 3, lx + 38, gy + 14, Grad("v", (110, 200, 90), (40, 130, 50), gy, gy + 14))
    grid = p.layer()
    for dr in (8, 18):
        grid.arc(cx, cy, R - dr, 50, 130, 1.0, (200, 230, 255), caps=False, steps=600)
    for gx in (92, 140, 188):
        grid.seg((cx + (R - 28) * (gx - cx) / R, 110 + 10), (gx, cy - math.sqrt(R * R - (gx - cx) ** 2)), 1.0,
                 (200, 230, 255), caps=False)
    p.over(grid, 0.6)
    return lambda x: cy - math.sqrt(R * R - (x - cx) ** 2)


def frame_banner_link(t):
    p = Pen(280, 120, bg=rgba(WHITE))
    ground = earth(p)
    L, Rx = 44, 236
    top = 22
    a, b = (L, top), (Rx, top)
    ctrl = (140, 0)
    # signal path: faint dots
    n = 34
    for i in range(1, n):
        x, y = bezier(a, ctrl, b, i / n)
        p.circle(x, y, 1.5, (160, 190, 235))
    # transmitting waves at the left, receiving at the right
    if t <= 4:
        for k in (0, 2):
            ph = (t + k) / 6.0
            waves(p, L, top, 7 + ph * 22, 40, 3.0, BLUE, min(0.85, ph))
    if t >= 14:
        for k in (0, 2):
            ph = (t - 14 + k) / 6.0
            waves(p, Rx, top, 7 + ph * 22, 40, 3.0, (230, 110, 0), min(0.85, ph))
    station(p, L, ground(L) + 2, top, False)
    station(p, Rx, ground(Rx) + 2, top, True)
    beacon(p, L, top, 4.2, t <= 3)
    beacon(p, Rx, top, 4.2, t >= 14)
    # the travelling signal
    if 3 <= t <= 14:
        s = (t - 2.5) / 12.5
        for j in range(6, 0, -1):
            sj = s - j * 0.028
            if sj > 0:
                x, y = bezier(a, ctrl, b, sj)
                p.circle(x, y, 5.2 - j * 0.6, mix((255, 170, 30), WHITE, j / 7.5))
        x, y = bezier(a, ctrl, b, s)
        p.glow(x, y, 13, (255, 180, 40), 0.7)
        p.circle(x, y, 6.4, (150, 70, 0))
        p.circle(x, y, 5.4, Grad("r", (255, 255, 210), (255, 140, 0), x - 1.5, y - 1.5, 6))
    return p.result()


def frame_about_mast(t):
    p = Pen(120, 263, bg=rgba(WHITE))
    mx, top = 60, 42
    # waves behind everything
    for k in (0, 3.5):
        ph = ((t + k) % 7) / 7.0
        waves(p, mx, top, 14 + ph * 42, 42, 5.0, BLUE, min(0.85, ph * 0.95))
    # ground
    p.ellipse(-40, 244, 160, 300, Grad("v", (110, 200, 90), (40, 130, 50), 244, 263))
    # guy wires
    for gy in (110, 165, 215):
        for ax in (4, 116):
            p.seg((mx + (7 if ax > mx else -7), gy), (ax, 252), 1.6, (110, 116, 128))
    for ax in (4, 116):
        p.rect(ax - 4, 249, ax + 4, 254, (100, 100, 110))
    # mast: red/white bands with lattice
    x0, x1 = mx - 8, mx + 8
    ybot, ytop = 250, 80
    band = (ybot - ytop) / 7.0
    for i in range(7):
        ya, yb = ybot - i * band, ybot - (i + 1) * band
        col = (220, 40, 36) if i % 2 == 0 else (250, 250, 250)
        bar = (140, 20, 20) if i % 2 == 0 else (130, 136, 150)
        # lattice inside the band
        steps = 3
        for j in range(steps):
            y0 = ya - j * band / steps
            y1 = ya - (j + 1) * band / steps
            p.seg((x0, y0), (x1, y1), 2.4, bar)
            p.seg((x1, y0), (x0, y1), 2.4, bar)
            p.seg((x0, y1), (x1, y1), 2.0, bar)
        p.seg((x0, ya), (x0, yb), 4.0, col, caps=False)
        p.seg((x1, ya), (x1, yb), 4.0, col, caps=False)
    # dark edges of the legs
    for x in (x0, x1):
        p.seg((x - 2.4, ybot), (x - 2.4, ytop), 1.0, (60, 60, 70), caps=False)
        p.seg((x + 2.4, ybot), (x + 2.4, ytop), 1.0, (60, 60, 70), caps=False)
    p.rect(mx - 13, 248, mx + 13, 254, (110, 110, 120))
    # Yagi beam on top
    steel = (50, 60, 84)
    p.seg((mx, ytop), (mx, top + 4), 4.0, steel)
    p.seg((mx - 40, 70), (mx + 40, 70), 4.0, steel)
    for ex, half in ((-36, 17), (-20, 15), (-4, 13), (12, 12), (28, 11)):
        p.seg((mx + ex, 70 - half), (mx + ex, 70 + half), 3.2, steel)
    beacon(p, mx, top, 7.0, t < 2)
    return p.result()


# ================================================================ logo

def draw_logo():
    p = Pen(274, 51, bg=rgba(WHITE))
    # mark: small tower with waves
    steel = (40, 52, 84)
    bx, by = 22, 11
    for r in (9, 15.5):
        waves(p, bx, by, r, 36, 3.0, BLUE, 0.0)
    tower_lattice(p, 12.5, 31.5, 48, 20.6, 23.4, 17, 4, 2.6, 1.5, steel)
    p.seg((bx, 17), (bx, 12), 2.2, steel)
    p.rect(10, 47.2, 34, 49.5, steel)
    beacon(p, bx, by, 3.4, True)
    # word mark: as tall as fits (ink 5..45), but never wider than the space left
    word = "Relinka"
    x0, sc = 50, p.k
    size = 60.0
    while True:
        f = ImageFont.truetype(FONT_LOGO, int(round(size * sc)))
        l, t, r, b = f.getbbox(word)
        if (b - t) <= 40 * sc and (r - l) <= 218 * sc:
            break
        size -= 0.5
    tx = x0 * sc - l
    ty = 45 * sc - b  # the ink bottom sits at y=45
    x_end = (tx + r) / sc
    # shadow
    sh = p.layer()
    sh.d.text((tx + 1.6 * sc, ty + 1.6 * sc), word, font=f, fill=(150, 170, 200, 255))
    p.over(sh, 0.7)
    mask = Image.new("L", p.im.size, 0)
    ImageDraw.Draw(mask).text((tx, ty), word, font=f, fill=255)
    # thin dark rim, then the gradient face
    rim = dilate(mask, int(round(0.9 * sc)))
    p.im.paste(Image.new("RGBA", p.im.size, rgba(NAVY)), (0, 0), rim)
    p.im.paste(p._gradient(Grad("v", (40, 120, 235), (14, 44, 130), 8, 45)), (0, 0), mask)
    # underline wave
    pts = []
    for i in range(0, 121):
        x = 51 + i * (x_end - 53) / 120
        pts.append((x, 48.2 + 1.4 * math.sin(i / 120 * 6 * math.pi)))
    p.polyline(pts, 1.8, (230, 120, 0))
    im = p.result().convert("RGB")
    # centre the whole composition horizontally
    box = ImageChops.difference(im, Image.new("RGB", im.size, WHITE)).getbbox()
    out = Image.new("RGB", im.size, WHITE)
    out.paste(im.crop((box[0], 0, box[2], im.height)), ((im.width - (box[2] - box[0])) // 2, 0))
    return out


# ================================================================ encoders

def gif_lzw(indices, min_size=8):
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = nbits = 0

    def emit(code, width):
        nonlocal acc, nbits
        acc |= code << nbits
        nbits += width
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    width = min_size + 1
    table = {}
    nxt = eoi + 1
    emit(clear, width)
    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix << 8) | k
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        emit(prefix, width)
        if nxt < 4096:
            table[key] = nxt
            nxt += 1
            if nxt > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {}
            nxt = eoi + 1
            width = min_size + 1
        prefix = k
    emit(prefix, width)
    emit(eoi, width)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    out = bytearray()
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out.append(len(chunk))
        out += chunk
    out.append(0)
    return bytes(out)


def write_gif(path, frames, delay_cs, loops):
    """frames: list of RGB images, all the same size. Global 256-colour palette."""
    w, h = frames[0].size
    sheet = Image.new("RGB", (w, h * len(frames)))
    for i, f in enumerate(frames):
        sheet.paste(f.convert("RGB"), (0, i * h))
    q = sheet.quantize(colors=256, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    pal = (q.getpalette() + [0] * 768)[:768]
    # snap the nearest entry to pure white so the background stays exactly white
    best = min(range(256), key=lambda i: sum((255 - pal[3 * i + c]) ** 2 for c in range(3)))
    pal[3 * best:3 * best + 3] = [255, 255, 255]
    colours = [tuple(pal[3 * i:3 * i + 3]) for i in range(256)]
    cache = {}

    def nearest(c):
        i = cache.get(c)
        if i is None:
            i = min(range(256), key=lambda j: (sum((c[k] - colours[j][k]) ** 2 for k in range(3)), j))
            cache[c] = i
        return i

    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", w, h, 0xF7, best, 0)
    out += bytes(pal)
    out += b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + struct.pack("<H", loops) + b"\x00"
    for f in frames:
        idx = bytes(nearest(c) for c in f.convert("RGB").getdata())
        # graphic control: disposal 1 (leave in place), no transparency
        out += b"\x21\xF9\x04" + bytes([1 << 2]) + struct.pack("<H", delay_cs) + b"\x00\x00"
        out += b"\x2C" + struct.pack("<HHHHB", 0, 0, w, h, 0)
        out += b"\x08" + sub_blocks(gif_lzw(idx))
    out += b"\x3B"
    with open(path, "wb") as fh:
        fh.write(out)


def write_bmp24(path, im):
    im = im.convert("RGB")
    w, h = im.size
    stride = (w * 3 + 3) & ~3
    px = im.load()
    body = bytearray()
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = px[x, y]
            row += bytes((b, g, r))
        row += b"\x00" * (stride - w * 3)
        body += row
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(body), 0, 0, 14 + 40)
    with open(path, "wb") as fh:
        fh.write(head + info + body)


def ico_dib(im):
    im = im.convert("RGBA")
    w, h = im.size
    px = im.load()
    xor = bytearray()
    mask = bytearray()
    mstride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        mrow = bytearray(mstride)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
                mrow[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a))
        mask += mrow
    info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def png_rows(im):
    """The rows of an RGBA image, top first, with the colour of fully transparent pixels zeroed (as in
    the icons' bitmaps)."""
    im = im.convert("RGBA")
    w, h = im.size
    px = im.load()
    rows = []
    for y in range(h):
        row = bytearray()
        for x in range(w):
            r, g, b, a = px[x, y]
            row += bytes((0, 0, 0, 0) if a == 0 else (r, g, b, a))
        rows.append(bytes(row))
    return rows


def png_filtered(rows, choose):
    """Every row behind its filter byte (PNG's five, 4 bytes a pixel), the filter chosen by `choose`."""
    def paeth(a, b, c):
        p = a + b - c
        pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
        return a if pa <= pb and pa <= pc else b if pb <= pc else c

    out = bytearray()
    above = bytes(len(rows[0]))
    for row in rows:
        left = bytes(4) + row[:-4]
        upper_left = bytes(4) + above[:-4]
        candidates = [
            row,
            bytes((x - a) & 255 for x, a in zip(row, left)),
            bytes((x - b) & 255 for x, b in zip(row, above)),
            bytes((x - (a + b) // 2) & 255 for x, a, b in zip(row, left, above)),
            bytes((x - paeth(a, b, c)) & 255 for x, a, b, c in zip(row, left, above, upper_left)),
        ]
        kind = choose(candidates)
        out += bytes((kind,)) + candidates[kind]
        above = row
    return bytes(out)


def ico_png(im):
    """An RGBA image as PNG: 8 bits a channel, the smallest of PNG's usual ways to filter its rows."""
    w, h = im.size
    rows = png_rows(im)
    ways = [lambda c, k=k: k for k in range(5)]
    ways.append(lambda c: min(range(5), key=lambda k: sum(v if v < 128 else 256 - v for v in c[k])))
    data = min((zlib.compress(png_filtered(rows, way), 9) for way in ways), key=len)

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    header = struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", data) + chunk(b"IEND", b"")


def write_ico(path, images):
    # Windows reads PNG pictures in an icon since Vista: each is stored the smaller way, the same pixels.
    images = sorted(images, key=lambda im: im.size[0])
    blobs = [min(ico_dib(im), ico_png(im), key=len) for im in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    off = 6 + 16 * len(images)
    for im, blob in zip(images, blobs):
        w, h = im.size
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), off)
        off += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as fh:
        fh.write(out)


# ================================================================ main

def main():
    def out(name):
        return os.path.join(HERE, name)

    write_gif(out("banner_tower.gif"), [frame_banner_tower(t) for t in range(10)], 10, 9999)
    write_gif(out("banner_link.gif"), [frame_banner_link(t) for t in range(19)], 7, 0)
    write_gif(out("about_mast.gif"), [frame_about_mast(t) for t in range(7)], 15, 0)
    write_bmp24(out("logo.bmp"), draw_logo())

    write_ico(out("relinka.ico"), [render_icon(icon_relinka, s) for s in WINDOW_SIZES])
    write_ico(out("sobre_window.ico"), [render_icon(icon_relinka, s, badge=True) for s in WINDOW_SIZES])
    # the Help window's icon, and the picture of the button that opens it
    write_ico(out("ajuda.ico"), [render_icon(icon_question, s) for s in WINDOW_SIZES])
    buttons = {
        "gravar.ico": icon_gravar,
        "ler.ico": icon_ler,
        "sobre.ico": icon_info,
        "encerrar.ico": icon_power,
        "desconectar.ico": icon_desconectar,
        "desconectar_todos.ico": icon_desconectar_todos,
        "retornar.ico": icon_retornar,
        "visitar.ico": icon_globe,
    }
    for name, fn in buttons.items():
        write_ico(out(name), [render_icon(fn, s) for s in BUTTON_SIZES])
    marks = {
        "marca_desconectado.ico": mark_disconnected,
        "marca_desligado.ico": mark_stopped,
        "historico.ico": icon_history,
    }
    for name, fn in marks.items():
        write_ico(out(name), [render_icon(fn, s) for s in MARK_SIZES])


if __name__ == "__main__":
    main()
