#!/usr/bin/env python3
"""Writes the Utah teapot as a Kavelo scene: its 32 bicubic Bezier patches, one "Surface" each.

The data is Martin Newell's public-domain teapot (1975): 306 control points and 32 patches of
16 point numbers, numbered from 1 as in his original listing. Each patch is one 4 x 4 grid, row
by row, which is exactly the order in which a scene file lists the 16 points of a surface.

The teapot is moved, not scaled, so that the middle of its bounding box lies at the origin: the
viewer's default view shows scene coordinates from about -4 to 4, and the teapot then spans
-3.2625 to 3.2625 in x, -2 to 2 in y and -1.575 to 1.575 in z.

    python3 scripts/make_teapot.py > examples/teapot.txt
    python3 scripts/make_teapot.py --check     checks the data and writes nothing

Plain python3, no third-party modules.
"""

import argparse
import sys
from decimal import Decimal

# Groups of patches, in Newell's order, with how many patches each has.
PARTS = [
    ("rim", 4),
    ("upper body", 4),
    ("lower body", 4),
    ("handle", 4),
    ("spout", 4),
    ("lid", 8),
    ("bottom", 4),
]

PATCHES = """
1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16
4 17 18 19 8 20 21 22 12 23 24 25 16 26 27 28
19 29 30 31 22 32 33 34 25 35 36 37 28 38 39 40
31 41 42 1 34 43 44 5 37 45 46 9 40 47 48 13
13 14 15 16 49 50 51 52 53 54 55 56 57 58 59 60
16 26 27 28 52 61 62 63 56 64 65 66 60 67 68 69
28 38 39 40 63 70 71 72 66 73 74 75 69 76 77 78
40 47 48 13 72 79 80 49 75 81 82 53 78 83 84 57
57 58 59 60 85 86 87 88 89 90 91 92 93 94 95 96
60 67 68 69 88 97 98 99 92 100 101 102 96 103 104 105
69 76 77 78 99 106 107 108 102 109 110 111 105 112 113 114
78 83 84 57 108 115 116 85 111 117 118 89 114 119 120 93
121 122 123 124 125 126 127 128 129 130 131 132 133 134 135 136
124 137 138 121 128 139 140 125 132 141 142 129 136 143 144 133
133 134 135 136 145 146 147 148 149 150 151 152 69 153 154 155
136 143 144 133 148 156 157 145 152 158 159 149 155 160 161 69
162 163 164 165 166 167 168 169 170 171 172 173 174 175 176 177
165 178 179 162 169 180 181 166 173 182 183 170 177 184 185 174
174 175 176 177 186 187 188 189 190 191 192 193 194 195 196 197
177 184 185 174 189 198 199 186 193 200 201 190 197 202 203 194
204 204 204 204 207 208 209 210 211 211 211 211 212 213 214 215
204 204 204 204 210 217 218 219 211 211 211 211 215 220 221 222
204 204 204 204 219 224 225 226 211 211 211 211 222 227 228 229
204 204 204 204 226 230 231 207 211 211 211 211 229 232 233 212
212 213 214 215 234 235 236 237 238 239 240 241 242 243 244 245
215 220 221 222 237 246 247 248 241 249 250 251 245 252 253 254
222 227 228 229 248 255 256 257 251 258 259 260 254 261 262 263
229 232 233 212 257 264 265 234 260 266 267 238 263 268 269 242
270 270 270 270 279 280 281 282 275 276 277 278 271 272 273 274
270 270 270 270 282 289 290 291 278 286 287 288 274 283 284 285
270 270 270 270 291 298 299 300 288 295 296 297 285 292 293 294
270 270 270 270 300 305 306 279 297 303 304 275 294 301 302 271
"""

# Point number n (from 1) is line n, as x y z.
POINTS = """
1.4 0 2.4
1.4 -0.784 2.4
0.784 -1.4 2.4
0 -1.4 2.4
1.3375 0 2.53125
1.3375 -0.749 2.53125
0.749 -1.3375 2.53125
0 -1.3375 2.53125
1.4375 0 2.53125
1.4375 -0.805 2.53125
0.805 -1.4375 2.53125
0 -1.4375 2.53125
1.5 0 2.4
1.5 -0.84 2.4
0.84 -1.5 2.4
0 -1.5 2.4
-0.784 -1.4 2.4
-1.4 -0.784 2.4
-1.4 0 2.4
-0.749 -1.3375 2.53125
-1.3375 -0.749 2.53125
-1.3375 0 2.53125
-0.805 -1.4375 2.53125
-1.4375 -0.805 2.53125
-1.4375 0 2.53125
-0.84 -1.5 2.4
-1.5 -0.84 2.4
-1.5 0 2.4
-1.4 0.784 2.4
-0.784 1.4 2.4
0 1.4 2.4
-1.3375 0.749 2.53125
-0.749 1.3375 2.53125
0 1.3375 2.53125
-1.4375 0.805 2.53125
-0.805 1.4375 2.53125
0 1.4375 2.53125
-1.5 0.84 2.4
-0.84 1.5 2.4
0 1.5 2.4
0.784 1.4 2.4
1.4 0.784 2.4
0.749 1.3375 2.53125
1.3375 0.749 2.53125
0.805 1.4375 2.53125
1.4375 0.805 2.53125
0.84 1.5 2.4
1.5 0.84 2.4
1.75 0 1.875
1.75 -0.98 1.875
0.98 -1.75 1.875
0 -1.75 1.875
2 0 1.35
2 -1.12 1.35
1.12 -2 1.35
0 -2 1.35
2 0 0.9
2 -1.12 0.9
1.12 -2 0.9
0 -2 0.9
-0.98 -1.75 1.875
-1.75 -0.98 1.875
-1.75 0 1.875
-1.12 -2 1.35
-2 -1.12 1.35
-2 0 1.35
-1.12 -2 0.9
-2 -1.12 0.9
-2 0 0.9
-1.75 0.98 1.875
-0.98 1.75 1.875
0 1.75 1.875
-2 1.12 1.35
-1.12 2 1.35
0 2 1.35
-2 1.12 0.9
-1.12 2 0.9
0 2 0.9
0.98 1.75 1.875
1.75 0.98 1.875
1.12 2 1.35
2 1.12 1.35
1.12 2 0.9
2 1.12 0.9
2 0 0.45
2 -1.12 0.45
1.12 -2 0.45
0 -2 0.45
1.5 0 0.225
1.5 -0.84 0.225
0.84 -1.5 0.225
0 -1.5 0.225
1.5 0 0.15
1.5 -0.84 0.15
0.84 -1.5 0.15
0 -1.5 0.15
-1.12 -2 0.45
-2 -1.12 0.45
-2 0 0.45
-0.84 -1.5 0.225
-1.5 -0.84 0.225
-1.5 0 0.225
-0.84 -1.5 0.15
-1.5 -0.84 0.15
-1.5 0 0.15
-2 1.12 0.45
-1.12 2 0.45
0 2 0.45
-1.5 0.84 0.225
-0.84 1.5 0.225
0 1.5 0.225
-1.5 0.84 0.15
-0.84 1.5 0.15
0 1.5 0.15
1.12 2 0.45
2 1.12 0.45
0.84 1.5 0.225
1.5 0.84 0.225
0.84 1.5 0.15
1.5 0.84 0.15
-1.6 0 2.025
-1.6 -0.3 2.025
-1.5 -0.3 2.25
-1.5 0 2.25
-2.3 0 2.025
-2.3 -0.3 2.025
-2.5 -0.3 2.25
-2.5 0 2.25
-2.7 0 2.025
-2.7 -0.3 2.025
-3 -0.3 2.25
-3 0 2.25
-2.7 0 1.8
-2.7 -0.3 1.8
-3 -0.3 1.8
-3 0 1.8
-1.5 0.3 2.25
-1.6 0.3 2.025
-2.5 0.3 2.25
-2.3 0.3 2.025
-3 0.3 2.25
-2.7 0.3 2.025
-3 0.3 1.8
-2.7 0.3 1.8
-2.7 0 1.575
-2.7 -0.3 1.575
-3 -0.3 1.35
-3 0 1.35
-2.5 0 1.125
-2.5 -0.3 1.125
-2.65 -0.3 0.9375
-2.65 0 0.9375
-2 -0.3 0.9
-1.9 -0.3 0.6
-1.9 0 0.6
-3 0.3 1.35
-2.7 0.3 1.575
-2.65 0.3 0.9375
-2.5 0.3 1.125
-1.9 0.3 0.6
-2 0.3 0.9
1.7 0 1.425
1.7 -0.66 1.425
1.7 -0.66 0.6
1.7 0 0.6
2.6 0 1.425
2.6 -0.66 1.425
3.1 -0.66 0.825
3.1 0 0.825
2.3 0 2.1
2.3 -0.25 2.1
2.4 -0.25 2.025
2.4 0 2.025
2.7 0 2.4
2.7 -0.25 2.4
3.3 -0.25 2.4
3.3 0 2.4
1.7 0.66 0.6
1.7 0.66 1.425
3.1 0.66 0.825
2.6 0.66 1.425
2.4 0.25 2.025
2.3 0.25 2.1
3.3 0.25 2.4
2.7 0.25 2.4
2.8 0 2.475
2.8 -0.25 2.475
3.525 -0.25 2.49375
3.525 0 2.49375
2.9 0 2.475
2.9 -0.15 2.475
3.45 -0.15 2.5125
3.45 0 2.5125
2.8 0 2.4
2.8 -0.15 2.4
3.2 -0.15 2.4
3.2 0 2.4
3.525 0.25 2.49375
2.8 0.25 2.475
3.45 0.15 2.5125
2.9 0.15 2.475
3.2 0.15 2.4
2.8 0.15 2.4
0 0 3.15
0 -0.002 3.15
0.002 0 3.15
0.8 0 3.15
0.8 -0.45 3.15
0.45 -0.8 3.15
0 -0.8 3.15
0 0 2.85
0.2 0 2.7
0.2 -0.112 2.7
0.112 -0.2 2.7
0 -0.2 2.7
-0.002 0 3.15
-0.45 -0.8 3.15
-0.8 -0.45 3.15
-0.8 0 3.15
-0.112 -0.2 2.7
-0.2 -0.112 2.7
-0.2 0 2.7
0 0.002 3.15
-0.8 0.45 3.15
-0.45 0.8 3.15
0 0.8 3.15
-0.2 0.112 2.7
-0.112 0.2 2.7
0 0.2 2.7
0.45 0.8 3.15
0.8 0.45 3.15
0.112 0.2 2.7
0.2 0.112 2.7
0.4 0 2.55
0.4 -0.224 2.55
0.224 -0.4 2.55
0 -0.4 2.55
1.3 0 2.55
1.3 -0.728 2.55
0.728 -1.3 2.55
0 -1.3 2.55
1.3 0 2.4
1.3 -0.728 2.4
0.728 -1.3 2.4
0 -1.3 2.4
-0.224 -0.4 2.55
-0.4 -0.224 2.55
-0.4 0 2.55
-0.728 -1.3 2.55
-1.3 -0.728 2.55
-1.3 0 2.55
-0.728 -1.3 2.4
-1.3 -0.728 2.4
-1.3 0 2.4
-0.4 0.224 2.55
-0.224 0.4 2.55
0 0.4 2.55
-1.3 0.728 2.55
-0.728 1.3 2.55
0 1.3 2.55
-1.3 0.728 2.4
-0.728 1.3 2.4
0 1.3 2.4
0.224 0.4 2.55
0.4 0.224 2.55
0.728 1.3 2.55
1.3 0.728 2.55
0.728 1.3 2.4
1.3 0.728 2.4
0 0 0
1.5 0 0.15
1.5 0.84 0.15
0.84 1.5 0.15
0 1.5 0.15
1.5 0 0.075
1.5 0.84 0.075
0.84 1.5 0.075
0 1.5 0.075
1.425 0 0
1.425 0.798 0
0.798 1.425 0
0 1.425 0
-0.84 1.5 0.15
-1.5 0.84 0.15
-1.5 0 0.15
-0.84 1.5 0.075
-1.5 0.84 0.075
-1.5 0 0.075
-0.798 1.425 0
-1.425 0.798 0
-1.425 0 0
-1.5 -0.84 0.15
-0.84 -1.5 0.15
0 -1.5 0.15
-1.5 -0.84 0.075
-0.84 -1.5 0.075
0 -1.5 0.075
-1.425 -0.798 0
-0.798 -1.425 0
0 -1.425 0
0.84 -1.5 0.15
1.5 -0.84 0.15
0.84 -1.5 0.075
1.5 -0.84 0.075
0.798 -1.425 0
1.425 -0.798 0
"""


def load():
    points = [tuple(Decimal(v) for v in line.split()) for line in POINTS.split("\n") if line]
    patches = [[int(v) for v in line.split()] for line in PATCHES.split("\n") if line]
    return points, patches


def grids(points, patches):
    """Each patch as four rows of four (x, y, z) points."""
    return [[[points[n - 1] for n in patch[4 * i:4 * i + 4]] for i in range(4)]
            for patch in patches]


def bounds(grid_list):
    every = [p for grid in grid_list for row in grid for p in row]
    return [(min(p[k] for p in every), max(p[k] for p in every)) for k in range(3)]


def check(points, patches):
    """Returns a list of faults in the data; empty when it is the teapot."""
    faults = []
    if len(points) != 306 or any(len(p) != 3 for p in points):
        faults.append("expected 306 points of three numbers, got %d" % len(points))
    if len(patches) != 32 or any(len(p) != 16 for p in patches):
        faults.append("expected 32 patches of 16 point numbers")
    if faults:
        return faults
    if any(not 1 <= n <= 306 for patch in patches for n in patch):
        faults.append("a point number lies outside 1..306")
        return faults
    # Every point is used but four spares a hair off the tip of the lid's knob; any other unused
    # point is a mistyped number.
    used = {n for patch in patches for n in patch}
    unused = sorted(set(range(1, 307)) - used)
    if unused != [205, 206, 216, 223]:
        faults.append("unexpected unused points %s" % unused)

    g = grids(points, patches)

    def turned(p, sense):  # a quarter turn about z: sense 1 from +x towards -y, -1 towards +y
        return (sense * p[1], -sense * p[0], p[2])

    def mirrored(p):  # the reflection in the plane y = 0
        return (p[0], -p[1], p[2])

    # Rim, body, lid and bottom are each four copies of one quarter, a quarter turn apart (the
    # bottom goes round the other way), and each patch meets the next along a column.
    for first, sense in [(0, 1), (4, 1), (8, 1), (20, 1), (24, 1), (28, -1)]:
        for k in range(4):
            a, b = g[first + k], g[first + (k + 1) % 4]
            if [[turned(p, sense) for p in row] for row in a] != b:
                faults.append("patch %d is not patch %d turned" % (first + (k + 1) % 4 + 1,
                                                                  first + k + 1))
            if [row[3] for row in a] != [row[0] for row in b]:
                faults.append("patch %d does not meet patch %d" % (first + k + 1,
                                                                    first + (k + 1) % 4 + 1))
    # Handle and spout are each two pairs of halves, mirror images with their columns reversed.
    for first in (12, 14, 16, 18):
        a, b = g[first], g[first + 1]
        if [[mirrored(p) for p in reversed(row)] for row in a] != b:
            faults.append("patches %d and %d are not mirror halves" % (first + 1, first + 2))
    # Neighbours along the other direction share their boundary rows exactly: rim to body to
    # foot, the two parts of the handle, of the spout and of the lid.
    for upper, lower, count in [(0, 4, 4), (4, 8, 4), (12, 14, 2), (16, 18, 2), (20, 24, 4)]:
        for k in range(count):
            if g[upper + k][3] != g[lower + k][0]:
                faults.append("patch %d does not meet patch %d" % (upper + k + 1, lower + k + 1))
    # The bottom's outer row is the foot of the body, and the handle's lower end lies on the body.
    foot = {p for k in range(8, 12) for p in g[k][3]}
    if foot != {p for k in range(28, 32) for p in g[k][3]}:
        faults.append("the bottom does not meet the foot of the body")
    if g[14][3][0] not in {p for k in range(4, 8) for p in g[k][3]}:
        faults.append("the handle does not end on the body")
    # A fingerprint of every number, taken once the data had been compared number by number with
    # a public copy of the teapot. It catches a change that no symmetry above can see: a point in
    # the plane y = 0 of the handle or the spout, the centre of the lid or of the bottom.
    if sum(n * (p[0] + 2 * p[1] + 3 * p[2]) for n, p in enumerate(points, 1)) != \
            Decimal("233957.78825") or \
            sum(n * sum(patch) for n, patch in enumerate(patches, 1)) != 1708328:
        faults.append("the data differs from the checked teapot")
    (x0, x1), (y0, y1), (z0, z1) = bounds(g)
    if (x0, x1, y0, y1, z0, z1) != (Decimal("-3"), Decimal("3.525"), Decimal("-2"), Decimal("2"),
                                    Decimal("0"), Decimal("3.15")):
        faults.append("unexpected bounding box %s" % bounds(g))
    return faults


def text(number):
    """The shortest plain decimal form: 1.1375, -2, 0."""
    s = format(number.normalize(), "f")
    return "0" if s in ("-0", "0") else s


def write(points, patches, out):
    g = grids(points, patches)
    (x0, x1), (y0, y1), (z0, z1) = bounds(g)
    centre = ((x0 + x1) / 2, (y0 + y1) / 2, (z0 + z1) / 2)
    out.write("the Utah teapot of Martin Newell, 1975: 32 bicubic Bezier patches, "
              "made by scripts/make_teapot.py\n")
    out.write("moved by (%s, %s, %s) to centre it; every weight is 1\n" %
              tuple(text(-c) for c in centre))
    number = 0
    for name, count in PARTS:
        out.write("\n# %s\n" % name)
        for _ in range(count):
            number += 1
            out.write("Surface %d {\n" % number)
            for row in g[number - 1]:
                out.write("   " + "  ".join(
                    " ".join(text(p[k] - centre[k]) for k in range(3)) + " 1" for p in row) +
                    "\n")
            out.write("}\n")


def main():
    parser = argparse.ArgumentParser(description="Writes the Utah teapot as a Kavelo scene.")
    parser.add_argument("--check", action="store_true",
                        help="check the teapot data and write nothing")
    args = parser.parse_args()
    points, patches = load()
    faults = check(points, patches)
    for fault in faults:
        print("make_teapot.py: " + fault, file=sys.stderr)
    if faults:
        return 1
    if not args.check:
        write(points, patches, sys.stdout)
    return 0


if __name__ == "__main__":
    sys.exit(main())
