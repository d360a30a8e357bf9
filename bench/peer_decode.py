#!/usr/bin/env python3
"""JPEG decode and encode times of OpenCV and libvips on the file bench_imageio measures, in ms per
operation (median of the runs), to set beside bench_imageio's BM_DecodeJPEG16MP and
BM_EncodeJPEG16MP.

    bench/peer_decode.py [photo.jpg] [--runs N]

The photo defaults to $OPALENE_BENCH_JPEG, else the one bench_imageio writes. Installs
python3-opencv and libvips-tools with apt when they are missing. libvips is timed through its
command: the time of the same command on an 8 x 8 JPEG (the program's start) is taken off. Beside
wall-clock time, the CPU time (of every thread) shows the work on a busy machine.
"""
import argparse
import os
import resource
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def ensure_peers():
    missing = []
    try:
        import cv2  # noqa: F401
    except ImportError:
        missing.append("python3-opencv")
    if shutil.which("vips") is None:
        missing.append("libvips-tools")
    if missing:
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        subprocess.run(sudo + ["apt-get", "install", "-y", "--no-install-recommends", *missing], check=True)
        if "python3-opencv" in missing and sys.executable != "/usr/bin/python3":
            # The distribution's module is for the distribution's interpreter.
            os.execv("/usr/bin/python3", ["/usr/bin/python3", *sys.argv])


def cpu_seconds():
    own, children = resource.getrusage(resource.RUSAGE_SELF), resource.getrusage(resource.RUSAGE_CHILDREN)
    return own.ru_utime + own.ru_stime + children.ru_utime + children.ru_stime


def median_ms(step, runs):
    """Median wall-clock and CPU milliseconds of step()."""
    walls, cpus = [], []
    for _ in range(runs):
        start, cpu = time.perf_counter(), cpu_seconds()
        step()
        walls.append((time.perf_counter() - start) * 1000)
        cpus.append((cpu_seconds() - cpu) * 1000)
    return statistics.median(walls), statistics.median(cpus)


def minus(a, b):
    return a[0] - b[0], a[1] - b[1]


def main():
    default = os.environ.get("OPALENE_BENCH_JPEG") or os.path.join(tempfile.gettempdir(), "opalene-bench-imageio", "photo.jpg")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("photo", nargs="?", default=default)
    parser.add_argument("--runs", type=int, default=9)
    args = parser.parse_args()
    if not os.path.isfile(args.photo):
        sys.exit(f"no photo at {args.photo}: run build/release/bin/bench_imageio first or name a JPEG")
    ensure_peers()
    import cv2

    work = tempfile.mkdtemp(prefix="opalene-peers-")
    tiny = os.path.join(work, "tiny.jpg")
    cv2.imwrite(tiny, cv2.imread(args.photo)[:8, :8])
    native = os.path.join(work, "photo.v")
    subprocess.run(["vips", "copy", args.photo, native], check=True)

    def vips(*command):
        subprocess.run(["vips", *command], check=True, stdout=subprocess.DEVNULL)

    image = cv2.imread(args.photo)
    height, width = image.shape[:2]
    rows = [
        ("OpenCV imread", median_ms(lambda: cv2.imread(args.photo), args.runs)),
        ("OpenCV imwrite q90", median_ms(lambda: cv2.imwrite(os.path.join(work, "cv.jpg"), image,
                                                             [cv2.IMWRITE_JPEG_QUALITY, 90]), args.runs)),
    ]
    start = median_ms(lambda: vips("avg", tiny), args.runs)
    rows.append(("libvips decode (vips avg)", minus(median_ms(lambda: vips("avg", args.photo), args.runs), start)))
    rows.append(("libvips decode to memory (vips copy .v)",
                 minus(median_ms(lambda: vips("copy", args.photo, os.path.join(work, "out.v")), args.runs), start)))
    rows.append(("libvips encode q90 (vips jpegsave)",
                 minus(median_ms(lambda: vips("jpegsave", native, os.path.join(work, "vips.jpg"), "--Q", "90"), args.runs),
                       start)))
    rows.append(("libvips start (8 x 8 JPEG, taken off above)", start))
    shutil.rmtree(work)

    print(f"{args.photo}: {width} x {height}, {os.path.getsize(args.photo) / 1e6:.1f} MB, median of {args.runs}")
    print(f"{'':45s} {'wall':>8s}    {'cpu':>8s}")
    for name, (wall, cpu) in rows:
        print(f"{name:45s} {wall:8.1f} ms {cpu:8.1f} ms")


if __name__ == "__main__":
    main()
