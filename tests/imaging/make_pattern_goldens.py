#!/usr/bin/env python3
"""Computes golden pictures of the test patterns from their written description, independently
of the C++ painters, and writes tests/imaging/PatternGoldens.inc. Every golden is drawn with the
alpha mask 0xFF000000 (as SHOW draws) and read back as 0xAARRGGBB words.

    python3 tests/imaging/make_pattern_goldens.py            # rewrite the goldens
    python3 tests/imaging/make_pattern_goldens.py --check    # fail when they are out of date
"""
import os
import sys

OUT = os.path.join(os.path.dirname(__file__), 'PatternGoldens.inc')
MASK = 0xFF000000


def rgb(r, g, b):
    return (r << 16) | (g << 8) | b


def rotate(img, w, shift):
    s = shift % w
    return [row[s:] + row[:s] for row in img]


def bars(w, h, level):
    l = level
    cols = [rgb(l, l, l), rgb(l, l, 0), rgb(0, l, l), rgb(0, l, 0), rgb(l, 0, l), rgb(l, 0, 0), rgb(0, 0, l)]
    bw = w // 8
    row = [(cols[x // bw] if x < 7 * bw else 0) | MASK for x in range(w)]
    return [list(row) for _ in range(h)]


def fill(w, h, shift):
    t = shift % 255
    start = (t % 64) * 4
    sel = t >> 6
    starts = [start if sel in (0, 3) else 0, start if sel in (1, 3) else 0, start if sel in (2, 3) else 0]
    n_all = w * h
    out = []
    n = 0
    for y in range(h):
        row = []
        for x in range(w):
            n += 1
            c = [max(s, (255 - s) * n // n_all) for s in starts]
            row.append(rgb(*c) | MASK)
        out.append(row)
    return out


def old(w, h):
    b = max((h - 4) // 4, 1)
    box_x0 = 9 * w // 20
    box_x1 = box_x0 + w // 10
    out = []
    for y in range(h):
        row = []
        for x in range(w):
            if y < 2 or y >= h - 2 or x < 2 or x >= w - 2:
                c = 0xFFFFFF
            else:
                inner_row = y - 1            # 1 .. h-4
                band = (inner_row - 1) // b  # four bands of b rows, grey from the fourth on
                v = (x - 1) * 255 // (w - 4)
                c = [rgb(v, 0, 0), rgb(0, v, 0), rgb(0, 0, v), rgb(v, v, v)][min(band, 3)]
            if 1 <= y < 1 + b // 3 and box_x0 <= x < box_x1:
                c ^= 0xFFFFFF
            row.append(c | MASK)
        out.append(row)
    return out


def grid(w, h, lw, gw, gh, fg, bg, shift):
    m = (fg & 0xFFFFFF) | (MASK & 0xFF000000)
    out = []
    for y in range(1, h + 1):
        row = []
        for x in range(1, w + 1):
            if shift:
                sx, sy = shift % (w - lw), shift % (h - lw)
                if (sx <= x < sx + lw) != (sy <= y < sy + lw):
                    row.append(m)
                    continue
            if x <= lw or y <= lw or x > w - lw or y > h - lw:
                c = fg
            elif x % gw == 0:
                c = 0 if y % 10 == 0 else fg
            elif y % gh == 0:
                c = 0 if x % 10 == 0 else fg
            elif (x % (gw // 2) == 0 and (y <= lw + 3 or y > h - lw - 3)) or \
                 (y % (gh // 2) == 0 and (x <= lw + 3 or x > w - lw - 3)) or \
                 (x % (gw // 2) == 0 and y % (gh // 2) == 0):
                c = fg
            elif (y in (lw + 1, h - lw) and x % 10 == 0) or (x in (lw + 1, w - lw) and y % 10 == 0):
                c = fg
            else:
                c = bg
            row.append(c)
        out.append(row)
    return out


def frame_family(w, h, content):
    img = [[0] * w for _ in range(h)]

    def put(x, y, c):
        if 0 <= x < w and 0 <= y < h:
            img[y][x] = c | MASK

    # Checkerboard of 50-pixel cells with a corner at the centre.
    cx, cy = w // 2, h // 2
    ox = cx % 50 - 50 if cx > 0 else 0
    oy = cy % 50 - 50 if cy > 0 else 0
    for y in range(h):
        for x in range(w):
            i, j = (x - ox) // 50, (y - oy) // 50
            put(x, y, 0 if (i + j) % 2 == 0 else 0xFF000000 | (j + 1) * 0x010101)
    # Frame and marks.
    for y in range(h):
        for x in range(w):
            if x < 2 or y < 2 or x >= w - 2 or y >= h - 2:
                put(x, y, 0x80FFFFFF)

    def mark(edge, d, c):
        x, y = [(d, 0), (w - 2, d), (w - d - 2, h - 2), (0, h - d - 2)][edge]
        for yy in range(y, y + 2):
            for xx in range(x, x + 2):
                put(xx, yy, c)
    for edge in range(4):
        for place, c in enumerate((0xFFFF0000, 0xFF00FF00, 0xFF0000FF)):
            mark(edge, 2 * place, c)
        for k in range(edge + 1):
            mark(edge, 8 + 4 * k, 0xFF808080)
    aw, ah = w - 4, h - 4

    def quadrant(c, r):
        return (0 if c < aw // 2 else 1) + (0 if r < ah // 2 else 2)
    for r in range(ah):
        for c in range(aw):
            q = quadrant(c, r)
            if content == 'red':
                d = [0xFF, 0xC0, 0x80, 0x40][q]
                v = 0xFF000000 | ((0xFF & d) << 16)
            elif content == 'xquad':
                if aw // 5 <= c < 4 * aw // 5 and ah // 5 <= r < 4 * ah // 5:
                    v = 0
                else:
                    v = [0xFF800000, 0xFF008000, 0xFF000080, 0xFF808080][q]
            elif content == 'rainbow':
                v = hue(c, aw, 256 * r // ah)
            elif content == 'grays':
                v = ((255 - 256 * r // ah) << 24) | (255 - 256 * c // aw) * 0x010101
            elif content == 'smear':
                a, b = 16 * c // aw, 16 * r // ah
                v = ((15 - a) * b << 24) | ((15 - a) * (15 - b) << 16) | ((15 - b) * a << 8) | a * b
            put(2 + c, 2 + r, v)
    if content == 'xquad':
        m = min(aw, ah)
        left, top = 2 + (aw - m) // 2, 2 + (ah - m) // 2
        for i in range(m):
            put(left + i, top + i, 0xFFFFFFFF)
            put(left + i, top + m - 1 - i, 0xFFFFFFFF)
    return img


def hue(pos, rng, alpha):
    s = 6 * pos // rng
    f = (1536 * pos // rng) % 256
    g = 255 - f
    table = {0: (255, f, 0), 1: (g, 255, 0), 2: (0, 255, f), 3: (0, g, 255), 4: (f, 0, 255), 5: (255, 0, g)}
    if s not in table:
        return 0
    return (alpha << 24) | rgb(*table[s])


GOLDENS = [
    # name, kind, width, height, shift, extra (line width, grid w, grid h, fg, bg), picture
    ('Bars100', 4, 100, 2, 0, None, bars(100, 2, 0xFF)),
    ('N075R100', 5, 100, 2, 0, None, bars(100, 2, 0xBF)),
    ('BarsShifted', 4, 100, 2, 7, None, rotate(bars(100, 2, 0xFF), 100, 7)),
    ('Fill0', 2, 16, 8, 0, None, fill(16, 8, 0)),
    ('Fill32', 2, 16, 8, 32, None, fill(16, 8, 32)),
    ('Old', 7, 40, 21, 0, None, old(40, 21)),
    ('OldShifted', 7, 40, 21, 3, None, rotate(old(40, 21), 40, 3)),
    ('Grid', 3, 44, 34, 0, (2, 12, 8, 0xFF00FF00, 0xFF000000), grid(44, 34, 2, 12, 8, 0xFF00FF00, 0xFF000000, 0)),
    ('GridCross', 3, 44, 34, 9, (2, 12, 8, 0xFF00FF00, 0xFF000000), grid(44, 34, 2, 12, 8, 0xFF00FF00, 0xFF000000, 9)),
    ('RedQuad', 10, 30, 26, 0, None, frame_family(30, 26, 'red')),
    ('XQuad', 16, 64, 52, 0, None, frame_family(64, 52, 'xquad')),
    ('Rainbow', 28, 70, 30, 0, None, frame_family(70, 30, 'rainbow')),
    ('Grays', 29, 70, 30, 0, None, frame_family(70, 30, 'grays')),
    ('Smear', 18, 36, 36, 0, None, frame_family(36, 36, 'smear')),
]


def main():
    lines = ['// Generated by tests/imaging/make_pattern_goldens.py from the patterns\' description;',
             '// do not edit. Each golden: name, kind, width, height, shift, GRID\'s settings, pixels.',
             '// clang-format off']
    for name, kind, w, h, shift, extra, img in GOLDENS:
        assert len(img) == h and all(len(r) == w for r in img)
        lw, gw, gh, fg, bg = extra or (0, 0, 0, 0, 0)
        lines.append('const uint32_t kGolden%s[] = {' % name)
        flat = [v for row in img for v in row]
        for i in range(0, len(flat), 8):
            lines.append('    ' + ', '.join('0x%08X' % v for v in flat[i:i + 8]) + ',')
        lines.append('};')
    lines.append('const PatternGolden kPatternGoldens[] = {')
    for name, kind, w, h, shift, extra, img in GOLDENS:
        lw, gw, gh, fg, bg = extra or (0, 0, 0, 0, 0)
        lines.append('    {"%s", %d, %d, %d, %d, %d, %d, %d, 0x%08X, 0x%08X, kGolden%s},' %
                     (name, kind, w, h, shift, lw, gw, gh, fg, bg, name))
    lines.append('};')
    lines.append('// clang-format on')
    text = '\n'.join(lines) + '\n'
    if '--check' in sys.argv:
        with open(OUT) as f:
            sys.exit(0 if f.read() == text else 1)
    with open(OUT, 'w') as f:
        f.write(text)


if __name__ == '__main__':
    main()
