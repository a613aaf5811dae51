#!/usr/bin/env python3
"""Writes Quennet's artwork and sounds (BMP, CUR, WAV) into resources/.

The generated files are committed, so a build never runs this; run it again only
after changing a picture or a sound here:  python3 resources/tools/make_resources.py
"""
import math
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)

MAGENTA = (255, 0, 255)
OLIVE = (128, 128, 0)
BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
GRAY = (128, 128, 128)
SILVER = (192, 192, 192)
DARK = (64, 64, 64)


class Image:
    def __init__(self, w, h, fill):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def get(self, x, y):
        return self.px[y][x]

    def rect(self, x0, y0, x1, y1, c):
        """Filled, inclusive corners."""
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.set(x, y, c)

    def hline(self, x0, x1, y, c):
        self.rect(x0, y, x1, y, c)

    def vline(self, x, y0, y1, c):
        self.rect(x, y0, x, y1, c)

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def art(self, x0, y0, rows, colours):
        """Paints an ASCII picture; '.' and ' ' leave pixels untouched."""
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch in colours:
                    self.set(x0 + dx, y0 + dy, colours[ch])

    def blit(self, src, x0, y0):
        for y in range(src.h):
            for x in range(src.w):
                self.set(x0 + x, y0 + y, src.get(x, y))


def write_bmp(path, img, bits):
    """Bottom-up BMP; 4 or 8 bits with the image's own palette, or 24 bits."""
    rows = []
    if bits == 24:
        palette = b""
        for y in reversed(range(img.h)):
            row = b"".join(bytes((b, g, r)) for (r, g, b) in img.px[y])
            rows.append(row + b"\0" * ((-len(row)) % 4))
        colours_used = 0
    else:
        colours = []
        for row in img.px:
            for c in row:
                if c not in colours:
                    colours.append(c)
        if len(colours) > (1 << bits):
            raise ValueError(f"{path}: {len(colours)} colours do not fit {bits} bits")
        colours_used = 1 << bits
        padded = colours + [BLACK] * (colours_used - len(colours))
        palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in padded)
        index = {c: i for i, c in enumerate(colours)}
        for y in reversed(range(img.h)):
            idx = [index[c] for c in img.px[y]]
            if bits == 4:
                idx += [0] * (len(idx) % 2)
                row = bytes((idx[i] << 4) | idx[i + 1] for i in range(0, len(idx), 2))
            else:
                row = bytes(idx)
            rows.append(row + b"\0" * ((-len(row)) % 4))
    pixels = b"".join(rows)
    offset = 14 + 40 + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, img.w, img.h, 1, bits, 0, len(pixels), 2835, 2835,
                       colours_used, 0)
    with open(path, "wb") as f:
        f.write(header + info + palette + pixels)


# ---------------------------------------------------------------- check box pictures
# The box sits at x 1..13, y 2..14, so the bottom-left pixel stays transparent.
BOX = (1, 2, 13, 14)


def box_sunken(inside):
    img = Image(16, 16, MAGENTA)
    x0, y0, x1, y1 = BOX
    img.hline(x0, x1, y0, GRAY)
    img.vline(x0, y0, y1, GRAY)
    img.hline(x0, x1, y1, WHITE)
    img.vline(x1, y0, y1, WHITE)
    img.hline(x0 + 1, x1 - 1, y0 + 1, DARK)
    img.vline(x0 + 1, y0 + 1, y1 - 1, DARK)
    img.hline(x0 + 1, x1 - 1, y1 - 1, SILVER)
    img.vline(x1 - 1, y0 + 1, y1 - 1, SILVER)
    img.rect(x0 + 2, y0 + 2, x1 - 2, y1 - 2, inside)
    return img


def box_flat(inside):
    img = Image(16, 16, MAGENTA)
    img.frame(2, 2, 13, 13, GRAY)
    img.rect(3, 3, 12, 12, inside)
    return img


CROSS = [
    "##...##",
    "###.###",
    ".#####.",
    "..###..",
    ".#####.",
    "###.###",
    "##...##",
]
HOOK = [
    "......#",
    ".....##",
    "#...###",
    "##.###.",
    "#####..",
    ".###...",
    "..#....",
]
DOT = [
    "..###..",
    ".#+####",
    "#++####",
    "#+#####",
    "#######",
    ".#####.",
    "..###..",
]


def mark(rows, colours, x0, y0):
    img = Image(16, 16, MAGENTA)
    img.art(x0, y0, rows, colours)
    return img


def check_pictures():
    red, blue, green = (220, 0, 0), (0, 0, 200), (0, 150, 0)
    lime, light_blue = (40, 220, 40), (150, 200, 255)
    return {
        "blank": box_sunken(WHITE),
        "enabled": box_sunken(MAGENTA),
        "blankflat": box_flat(WHITE),
        "enabledflat": box_flat(MAGENTA),
        "checkiks": mark(CROSS, {"#": red}, 4, 5),
        "checkok": mark(HOOK, {"#": blue}, 4, 5),
        "checkelli": mark(DOT, {"#": blue, "+": light_blue}, 4, 5),
        "checkeiksb": mark(CROSS, {"#": blue}, 4, 5),
        "checkiksg": mark(CROSS, {"#": green}, 4, 5),
        "checkokg": mark(HOOK, {"#": lime}, 4, 5),
        "checkokr": mark(HOOK, {"#": red}, 4, 5),
    }


# ---------------------------------------------------------------- spin arrows
def spin_arrow(up):
    img = Image(9, 6, OLIVE)
    rows = [(4, 4), (3, 5), (2, 6), (1, 7)]
    for i, (a, b) in enumerate(rows):
        y = 1 + i if up else 4 - i
        img.hline(a, b, y, BLACK)
    return img


# ---------------------------------------------------------------- bookmark glyphs
DIGITS = {
    "0": [".##.", "#..#", "#.##", "##.#", "#..#", ".##."],
    "1": [".#..", "##..", ".#..", ".#..", ".#..", "###."],
    "2": [".##.", "#..#", "..#.", ".#..", "#...", "####"],
    "3": ["###.", "...#", ".##.", "...#", "...#", "###."],
    "4": ["..#.", ".##.", "#.#.", "####", "..#.", "..#."],
    "5": ["####", "#...", "###.", "...#", "...#", "###."],
    "6": [".##.", "#...", "###.", "#..#", "#..#", ".##."],
    "7": ["####", "...#", "..#.", "..#.", ".#..", ".#.."],
    "8": [".##.", "#..#", ".##.", "#..#", "#..#", ".##."],
    "9": [".##.", "#..#", "#..#", ".###", "...#", ".##."],
}


def bookmark_glyph(digit, char_field):
    """Hex-field bookmarks are navy tiles, character-field ones green tiles with a notch."""
    img = Image(10, 10, MAGENTA)
    fill, edge = ((0, 0, 160), (0, 0, 96)) if not char_field else ((0, 140, 0), (0, 80, 0))
    img.rect(0, 0, 9, 9, fill)
    img.frame(0, 0, 9, 9, edge)
    for x, y in ((0, 0), (9, 0), (0, 9), (9, 9)):
        img.set(x, y, MAGENTA)
    if char_field:
        # A folded corner tells the character field apart without relying on colour.
        img.set(8, 1, MAGENTA)
        img.set(7, 1, edge)
        img.set(8, 2, edge)
    img.art(3, 2, DIGITS[digit], {"#": WHITE})
    return img


def bookmark_strip():
    strip = Image(200, 10, MAGENTA)
    for n in range(10):
        strip.blit(bookmark_glyph(str(n), False), 10 * n, 0)
        strip.blit(bookmark_glyph(str(n), True), 100 + 10 * n, 0)
    return strip


# ---------------------------------------------------------------- look-in and list images
def drive_body(img, top_colour, light):
    """A drive case seen slightly from above, at y 5..12."""
    img.rect(1, 5, 14, 12, top_colour)
    img.hline(1, 14, 5, light)
    img.frame(0, 4, 15, 13, DARK)
    img.hline(1, 14, 12, GRAY)


def lookin_images():
    images = []
    # 0 hard disk: gray case, green activity light.
    hd = Image(16, 16, MAGENTA)
    drive_body(hd, SILVER, WHITE)
    hd.hline(3, 9, 9, GRAY)
    hd.rect(12, 9, 13, 10, (0, 200, 0))
    images.append(hd)
    # 1 CD-ROM drive: drive with a disc on top.
    cd = Image(16, 16, MAGENTA)
    drive_body(cd, SILVER, WHITE)
    cd.hline(3, 12, 10, DARK)
    cd.art(3, 0, ["..######..",
                  ".#++++++#.",
                  "#+++oo+++#",
                  ".#++++++#."], {"#": GRAY, "+": (200, 230, 255), "o": WHITE})
    cd.rect(12, 9, 13, 9, (0, 200, 0))
    images.append(cd)
    # 2 floppy drive: a diskette.
    fl = Image(16, 16, MAGENTA)
    fl.rect(1, 1, 14, 14, (40, 40, 120))
    fl.frame(1, 1, 14, 14, (0, 0, 64))
    fl.rect(4, 1, 11, 5, SILVER)
    fl.rect(9, 2, 10, 4, DARK)
    fl.rect(3, 8, 12, 14, WHITE)
    fl.hline(4, 11, 10, GRAY)
    fl.hline(4, 11, 12, GRAY)
    fl.set(14, 1, MAGENTA)
    images.append(fl)
    # 3 plain drive.
    pd = Image(16, 16, MAGENTA)
    drive_body(pd, SILVER, WHITE)
    pd.hline(3, 12, 9, GRAY)
    images.append(pd)
    # 4 network drive: drive over a cable.
    nd = Image(16, 16, MAGENTA)
    nd.rect(1, 1, 14, 8, SILVER)
    nd.hline(1, 14, 1, WHITE)
    nd.frame(0, 0, 15, 9, DARK)
    nd.rect(12, 5, 13, 6, (0, 200, 0))
    nd.vline(7, 10, 12, BLACK)
    nd.vline(8, 10, 12, BLACK)
    nd.hline(1, 14, 13, BLACK)
    nd.hline(1, 14, 14, (0, 0, 160))
    images.append(nd)
    # 5 hand-held device: a small device with a screen.
    hh = Image(16, 16, MAGENTA)
    hh.rect(3, 0, 12, 15, DARK)
    hh.rect(4, 1, 11, 14, SILVER)
    hh.rect(5, 2, 10, 8, (150, 200, 150))
    hh.frame(5, 2, 10, 8, GRAY)
    hh.rect(5, 10, 6, 11, GRAY)
    hh.rect(9, 10, 10, 11, GRAY)
    hh.rect(7, 12, 8, 13, GRAY)
    images.append(hh)
    # 6 closed folder.
    fo = Image(16, 16, MAGENTA)
    yellow, shade, edge = (255, 220, 90), (230, 180, 40), (150, 110, 0)
    fo.rect(1, 3, 6, 4, shade)
    fo.hline(1, 6, 2, edge)
    fo.rect(1, 4, 14, 13, yellow)
    fo.frame(0, 4, 15, 14, edge)
    fo.vline(0, 2, 4, edge)
    fo.vline(7, 2, 4, edge)
    fo.hline(1, 14, 5, (255, 240, 170))
    images.append(fo)
    strip = Image(16 * len(images), 16, MAGENTA)
    for i, im in enumerate(images):
        strip.blit(im, 16 * i, 0)
    return strip


def document_icon():
    img = Image(16, 16, MAGENTA)
    img.rect(3, 1, 12, 14, WHITE)
    img.frame(2, 0, 13, 15, GRAY)
    # Folded corner.
    img.rect(10, 0, 13, 3, MAGENTA)
    img.art(10, 0, ["#...", "#+#.", "#++#", "####"], {"#": GRAY, "+": SILVER})
    for y in (4, 6, 8, 10, 12):
        img.hline(4, 11 if y != 4 else 8, y, (0, 0, 160) if y == 4 else GRAY)
    return img


# ---------------------------------------------------------------- hand cursor
HAND = [
    ".....##..........",
    "....#++#.........",
    "....#++#.........",
    "....#++#.........",
    "....#++###.......",
    "....#++#++###....",
    "....#++#++#++##..",
    ".##.#++#++#++#+#.",
    "#++##++++++++#++#",
    "#+++#+++++++++++#",
    ".#++++++++++++++#",
    "..#+++++++++++++#",
    "..#++++++++++++#.",
    "...#+++++++++++#.",
    "...#++++++++++#..",
    "....#+++++++++#..",
    "....##########...",
]


def hand_cursor():
    """32 x 32 monochrome cursor; hot spot at the tip of the pointing finger."""
    size = 32
    hot_x, hot_y = 5, 0
    xor_rows, and_rows = [], []
    preview = Image(size, size, (0, 128, 128))
    for y in range(size):
        row = HAND[y] if y < len(HAND) else ""
        xor_bits = and_bits = 0
        for x in range(size):
            ch = row[x] if x < len(row) else "."
            bit = 1 << (31 - x)
            if ch == "#":
                preview.set(x, y, BLACK)  # black: AND 0, XOR 0
            elif ch == "+":
                xor_bits |= bit  # white: AND 0, XOR 1
                preview.set(x, y, WHITE)
            else:
                and_bits |= bit  # transparent: AND 1, XOR 0
        xor_rows.append(struct.pack(">I", xor_bits))
        and_rows.append(struct.pack(">I", and_bits))
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    xor_data = b"".join(reversed(xor_rows))
    and_data = b"".join(reversed(and_rows))
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0,
                       len(xor_data) + len(and_data), 0, 0, 2, 0)
    image = info + palette + xor_data + and_data
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, hot_y, len(image), 6 + 16)
    return header + entry + image, preview


# ---------------------------------------------------------------- sounds
def write_wav(path, rate, bits, samples):
    if bits == 16:
        data = b"".join(struct.pack("<h", max(-32768, min(32767, int(round(s * 32767))))) for s in samples)
    else:
        data = bytes(max(0, min(255, int(round(128 + s * 127)))) for s in samples)
    pad = b"\0" if len(data) % 2 else b""
    block = bits // 8
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * block, block, bits)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data + pad
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def envelope(i, n, attack, decay):
    t = i / n
    a = min(1.0, i / max(1, attack))
    return a * math.exp(-decay * t)


def klik(n):
    rnd = random.Random(7)
    out = []
    for i in range(n):
        t = i / 22050
        tone = math.sin(2 * math.pi * 2400 * t) * 0.6 + math.sin(2 * math.pi * 3700 * t) * 0.25
        noise = (rnd.random() * 2 - 1) * math.exp(-i / 40)
        out.append(0.7 * (tone * math.exp(-i / 260) + noise * 0.5) * min(1.0, i / 8) * (1 - i / n))
    return out


def pistol(n, rate=11025):
    rnd = random.Random(1)
    out, low = [], 0.0
    for i in range(n):
        t = i / rate
        noise = rnd.random() * 2 - 1
        low += (noise - low) * (0.5 if t < 0.03 else 0.18)
        boom = math.sin(2 * math.pi * (120 - 60 * t) * t)
        out.append(0.95 * (low * 1.6 + boom * 0.5) * envelope(i, n, 20, 7.0))
    return out


def game(n, rate=11025):
    out = []
    for i in range(n):
        t = i / rate
        f = 660 if t < 0.04 else 990
        sq = 1.0 if math.sin(2 * math.pi * f * t) >= 0 else -1.0
        out.append(0.45 * sq * envelope(i, n, 30, 1.5) * (1 - i / n) ** 0.3)
    return out


def fire(n, rate=11025):
    rnd = random.Random(3)
    out, low = [], 0.0
    for i in range(n):
        t = i / rate
        crackle = (rnd.random() * 2 - 1) * (1.0 if rnd.random() < 0.08 else 0.35)
        low += (crackle - low) * 0.25
        roar = math.sin(2 * math.pi * 70 * t + 3 * math.sin(2 * math.pi * 5 * t))
        out.append(0.9 * (low * 1.4 + roar * 0.25) * envelope(i, n, 400, 3.0))
    return out


def health(n, rate=11025):
    out = []
    notes = (523.25, 659.25, 783.99, 1046.5)
    for i in range(n):
        t = i / rate
        f = notes[min(len(notes) - 1, int(4 * i / n))]
        tri = 2 / math.pi * math.asin(math.sin(2 * math.pi * f * t))
        out.append(0.6 * tri * envelope(i, n, 40, 1.2))
    return out


def main():
    bmp_dir = os.path.join(ROOT, "bitmaps")
    snd_dir = os.path.join(ROOT, "sounds")
    cur_dir = os.path.join(ROOT, "cursors")
    for d in (bmp_dir, snd_dir, cur_dir):
        os.makedirs(d, exist_ok=True)

    for name, img in check_pictures().items():
        write_bmp(os.path.join(bmp_dir, name + ".bmp"), img, 4)
    write_bmp(os.path.join(bmp_dir, "spinup.bmp"), spin_arrow(True), 4)
    write_bmp(os.path.join(bmp_dir, "spindown.bmp"), spin_arrow(False), 4)
    write_bmp(os.path.join(bmp_dir, "bookmarkicons.bmp"), bookmark_strip(), 4)
    write_bmp(os.path.join(bmp_dir, "lookin.bmp"), lookin_images(), 24)
    write_bmp(os.path.join(bmp_dir, "document.bmp"), document_icon(), 24)

    cur, preview = hand_cursor()
    with open(os.path.join(cur_dir, "handd.cur"), "wb") as f:
        f.write(cur)
    if os.environ.get("QUENNET_PREVIEW"):
        write_bmp(os.path.join(os.environ["QUENNET_PREVIEW"], "handd-preview.bmp"), preview, 24)

    write_wav(os.path.join(snd_dir, "klik.wav"), 22050, 16, klik(2516 // 2))
    for number, (maker, size) in enumerate(((pistol, 6653), (game, 906), (fire, 7498), (health, 1961)), 1):
        write_wav(os.path.join(snd_dir, f"wave{number}.wav"), 11025, 8, maker(size))


if __name__ == "__main__":
    main()
