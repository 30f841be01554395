"""Runs the preview benchmark beside its floor, Pillow and ImageMagick, all
in one run, and prints each target with its limit and ratio."""

import os
import statistics
import subprocess
import sys
import tempfile
import time

from PIL import Image

bench_dir, folder, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
out = os.path.join(tempfile.mkdtemp(), "out.bmp")


def run(*args):
    result = subprocess.run([os.path.join(bench_dir, args[0]), *map(str, args[1:])],
                            capture_output=True, text=True, check=True)
    return [float(v) for v in result.stdout.split()]


def timed(job, count):
    times = []
    for i in range(count + 1):
        start = time.perf_counter()
        job()
        if i:  # the first warms the disk cache
            times.append((time.perf_counter() - start) * 1000)
    return statistics.median(times)


def pillow(path):
    def job():
        with Image.open(path) as image:
            image.thumbnail((512, 512))
            image.save(out, "BMP")
    return timed(job, max(3, runs // 2))


def magick(path):
    return timed(lambda: subprocess.run(["convert", path, "-resize", "512x512", out],
                                        check=True, capture_output=True), max(3, runs // 4))


def verdict(ok):
    return "met" if ok else "MISSED"


cases = [
    # label, file, which floor the step is held against
    ("2048² DXT1, mipmaps", "dxt1_2048_mips.dds", "level"),
    ("2048² DXT5, mipmaps", "dxt5_2048_mips.dds", "level"),
    ("4096² DXT5, mipmaps", "dxt5_4096_mips.dds", "level"),
    ("4096² DXT5 paint, mips", "paint_dxt5_4096_mips.dds", "level"),
    ("4096² DXT1 paint, mips+", "paint_dxt1_4096_mips_cluster.dds", "level"),
    ("2048² DXT1, no mipmaps", "dxt1_2048_flat.dds", "level 0"),
    ("4096² DXT5, no mipmaps", "dxt5_4096_flat.dds", "level 0"),
    ("1024² A8R8G8B8", "argb_1024.dds", None),
]

print("Preview step on a shown control (empty name, path, repaint done); ms, each the lowest of three medians, one run")
print(f"{'texture':<24} {'step':>7} {'paints':>6} {'limit':>7} {'step/limit':>11} {'target':>14}"
      f" {'Pillow':>7} {'Pillow/step':>11} {'IM':>6} {'IM/step':>7}")
for label, name, floor in cases:
    path = os.path.join(folder, name)
    _, _, paints, step = run("bench_preview", "step", path, runs)
    level, round_trip, level0 = run("bench_floor", path, runs)
    p, m = pillow(path), magick(path)
    if floor == "level":
        limit = level + round_trip
        target = f"<= 2 {verdict(step <= 2 * limit)}"
    elif floor == "level 0":
        limit = level0
        target = f"<= 0.5 {verdict(step <= 0.5 * limit)}"
    else:
        limit, target = None, "-"
    ratio = f"{step / limit:>11.2f}" if limit else f"{'-':>11}"
    shown_limit = f"{limit:>7.2f}" if limit else f"{'-':>7}"
    pillow_ratio = p / step
    pillow_mark = f" {verdict(pillow_ratio >= 25)}" if floor == "level" else ""
    print(f"{label:<24} {step:>7.2f} {paints:>6.1f} {shown_limit} {ratio} {target:>14}"
          f" {p:>7.1f} {pillow_ratio:>7.1f}{pillow_mark:<4} {m:>6.0f} {m / step:>7.1f}")
print("limit: with mipmaps, libsquish decoding the stored level of the preview's own size (512) plus the BMP's")
print("bytes written to a new file, read back and removed; without, libsquish decoding level 0.")
print("Pillow/step target (mipmaps): >= 25. 'mips+': compressed with libsquish's cluster fit, as paint tools do;")
print("the others with its range fit.")

print("\nTrue to the texture: each preview against level 0 decoded whole and reduced by area means")
print(f"{'texture':<24} {'512: dB':>8} {'max':>4} {'128: dB':>8} {'max':>4} {'64: dB':>8} {'max':>4}   target >= 45 dB")
for label, name, _ in cases:
    figures = run("bench_floor", "quality", os.path.join(folder, name))
    cells = "".join(f" {figures[i]:>8.2f} {int(figures[i + 1]):>4}" for i in (0, 2, 4))
    marks = " ".join(verdict(figures[i] >= 45) for i in (0, 2, 4))
    print(f"{label:<24}{cells}   {marks}")

# Browsing: 200 aircraft with 4096² textures, as hard links to the two kinds.
browse = os.path.join(folder, "browse")
os.makedirs(browse, exist_ok=True)
for i in range(200):
    link = os.path.join(browse, f"aircraft{i:03}_t.dds")
    if not os.path.exists(link):
        os.link(os.path.join(folder, "dxt5_4096_mips.dds" if i % 2 else "dxt5_4096_flat.dds"), link)
peak, shown = run("bench_preview", "browse", browse, 200)
print(f"\nbrowsing 200 aircraft with 4096² textures: peak resident {peak:.1f} MiB"
      f" (limit 80: {verdict(peak < 80 and shown == 200)})")

spoiled = os.path.join(folder, "spoiled.dds")
with open(os.path.join(folder, "dxt1_2048_mips.dds"), "rb") as source, open(spoiled, "wb") as target:
    header = bytearray(source.read(128))
    header[16:20] = (20000).to_bytes(4, "little")  # width beyond the limit
    target.write(header)
print(f"_Pic_Valid on a refused header: median {run('bench_preview', 'check', spoiled, 200)[0]} us")
print(f"_Pic_Valid on a good 2048² DXT1: median "
      f"{run('bench_preview', 'check', os.path.join(folder, 'dxt1_2048_mips.dds'), 200)[0]} us")
