#!/usr/bin/python3
"""Saves pictures of the X screen as PPM files, one per file named, --every seconds apart.

One process takes the whole series, so that the pictures stay evenly spaced on a busy machine.
The test's Xvfb has depth 24, which X hands out as 32-bit BGRX pixels.
"""
import argparse
import re
import time

from Xlib import X, display

parser = argparse.ArgumentParser()
parser.add_argument("--area", help="WIDTHxHEIGHT+X+Y; the whole screen when left out")
parser.add_argument("--every", type=float, default=0.0)
parser.add_argument("out", nargs="+")
args = parser.parse_args()

root = display.Display().screen().root
if args.area:
    match = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", args.area)
    width, height, x, y = (int(n) for n in match.groups())
else:
    geometry = root.get_geometry()
    width, height, x, y = geometry.width, geometry.height, 0, 0
for n, path in enumerate(args.out):
    if n:
        time.sleep(args.every)
    bgrx = root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
    rgb = bytearray(width * height * 3)
    for channel in range(3):
        rgb[channel::3] = bgrx[2 - channel::4]
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, height) + rgb)
