#!/usr/bin/python3
"""Saves a picture of the X screen as a PPM file: grab.py OUT.ppm [WIDTHxHEIGHT+X+Y].

The test's Xvfb has depth 24, which X hands out as 32-bit BGRX pixels.
"""
import re
import sys

from Xlib import X, display

root = display.Display().screen().root
if len(sys.argv) > 2:
    match = re.fullmatch(r"(\d+)x(\d+)\+(\d+)\+(\d+)", sys.argv[2])
    width, height, x, y = (int(n) for n in match.groups())
else:
    geometry = root.get_geometry()
    width, height, x, y = geometry.width, geometry.height, 0, 0
bgrx = root.get_image(x, y, width, height, X.ZPixmap, 0xFFFFFFFF).data
rgb = bytearray(width * height * 3)
for channel in range(3):
    rgb[channel::3] = bgrx[2 - channel::4]
with open(sys.argv[1], "wb") as out:
    out.write(b"P6\n%d %d\n255\n" % (width, height) + rgb)
