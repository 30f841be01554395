"""Runs the preview benchmark and the same job in Pillow and ImageMagick,
and prints one table with the ratios."""

import os
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image

bench, folder, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
cases = [
    ("2048x2048 DXT1, mipmaps", "dxt1_2048_mips.dds"),
    ("2048x2048 DXT5, mipmaps", "dxt5_2048_mips.dds"),
    ("2048x2048 DXT1, no mipmaps", "dxt1_2048_flat.dds"),
    ("1024x1024 A8R8G8B8", "argb_1024.dds"),
    ("4096x4096 DXT5, no mipmaps", "dxt5_4096_flat.dds"),
]
out = os.path.join(tempfile.mkdtemp(), "out.bmp")


def ours(path):
    result = subprocess.run([bench, "time", path, str(runs)], capture_output=True, text=True, check=True)
    return [float(v) for v in result.stdout.split()]  # min, median


def pillow(path):
    times = []
    for i in range(max(3, runs // 2) + 1):
        start = time.perf_counter()
        with Image.open(path) as image:
            image.thumbnail((512, 512))
            image.save(out, "BMP")
        if i:
            times.append((time.perf_counter() - start) * 1000)
    return min(times), statistics.median(times)


def magick(path):
    times = []
    for i in range(max(3, runs // 4) + 1):
        start = time.perf_counter()
        subprocess.run(["convert", path, "-resize", "512x512", out], check=True, capture_output=True)
        if i:
            times.append((time.perf_counter() - start) * 1000)
    return min(times), statistics.median(times)


print(f"{'texture':<28} {'ours ms':>16} {'Pillow ms':>16} {'ImageMagick ms':>16} {'Pillow/ours':>12} {'IM/ours':>9}")
print(f"{'':<28} {'min / median':>16} {'min / median':>16} {'min / median':>16} {'(median)':>12} {'(median)':>9}")
for label, name in cases:
    path = os.path.join(folder, name)
    o, p, m = ours(path), pillow(path), magick(path)
    print(f"{label:<28} {o[0]:>7.2f} / {o[1]:>6.2f} {p[0]:>7.1f} / {p[1]:>6.1f} {m[0]:>7.0f} / {m[1]:>6.0f}"
          f" {p[1] / o[1]:>12.1f} {m[1] / o[1]:>9.1f}")

print()
for name in ("dxt5_4096_flat.dds", "dxt5_4096_mips.dds"):
    result = subprocess.run([bench, "memory", os.path.join(folder, name)], capture_output=True, text=True, check=True)
    print(f"peak memory of one preview of {name}: {result.stdout.split()[0]} MiB above idle")
spoiled = os.path.join(folder, "spoiled.dds")
with open(os.path.join(folder, "dxt1_2048_mips.dds"), "rb") as source, open(spoiled, "wb") as target:
    header = bytearray(source.read(128))
    header[16:20] = (20000).to_bytes(4, "little")  # width beyond the limit
    target.write(header)
result = subprocess.run([bench, "check", spoiled, "200"], capture_output=True, text=True, check=True)
print(f"_Pic_Valid on a refused header: median {result.stdout.strip()} us")
result = subprocess.run([bench, "check", os.path.join(folder, "dxt1_2048_mips.dds"), "200"],
                        capture_output=True, text=True, check=True)
print(f"_Pic_Valid on a good 2048x2048 DXT1: median {result.stdout.strip()} us")
