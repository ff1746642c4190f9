#!/usr/bin/python3
"""Prints the stretches of sound in a recording (raw 22050 Hz mono S16), one a line:
start in seconds, length in seconds and RMS amplitude (full scale 1). Stretches closer than
--gap seconds are one stretch; quiet 20 ms blocks are those below --floor.
"""
import argparse
import array
import math

parser = argparse.ArgumentParser()
parser.add_argument("--gap", type=float, default=0.7)
parser.add_argument("--floor", type=float, default=0.003)
parser.add_argument("raw")
args = parser.parse_args()

RATE = 22050
BLOCK = RATE // 50
samples = array.array("h")
with open(args.raw, "rb") as raw:
    data = raw.read()
samples.frombytes(data[: len(data) // 2 * 2])

blocks = []
for start in range(0, len(samples) - BLOCK + 1, BLOCK):
    blocks.append(sum(s * s for s in samples[start : start + BLOCK]))

segments = []
for n, energy in enumerate(blocks):
    if math.sqrt(energy / BLOCK) / 32768 < args.floor:
        continue
    if segments and n - segments[-1][1] <= args.gap * 50:
        segments[-1][1] = n + 1
    else:
        segments.append([n, n + 1])
for first, end in segments:
    energy = sum(blocks[first:end])
    rms = math.sqrt(energy / ((end - first) * BLOCK)) / 32768
    print("%.2f %.2f %.4f" % (first / 50, (end - first) / 50, rms))
