#!/usr/bin/env python3
"""Times OpenCV's colour non-local-means on the same kind of photos as bench_denoise, as a yardstick.

Not part of the build and not a dependency: run it by hand where python3-opencv is installed.
Settings as close to ours as OpenCV allows: 3 x 3 patches, 15 x 15 search window.
"""
import sys
import time

try:
    import cv2
    import numpy as np
except ImportError:
    print("python3-opencv is not installed: nothing to compare with")
    sys.exit(0)


def noisy_photo(w, h):
    rng = np.random.default_rng(1)
    x = np.arange(w, dtype=np.float32)[None, :, None]
    y = np.arange(h, dtype=np.float32)[:, None, None]
    c = np.arange(3, dtype=np.float32)[None, None, :]
    smooth = 128 + 90 * np.sin(x * 0.01 + c) * np.cos(y * 0.013)
    noisy = smooth + rng.normal(0.0, 8.0, (h, w, 3)).astype(np.float32)
    return np.clip(noisy, 0, 255).astype(np.uint8)


def main():
    for w, h in ((1152, 864), (4608, 3456)):
        img = noisy_photo(w, h)
        for threads in (1, 0):
            cv2.setNumThreads(threads if threads else -1)
            start = time.perf_counter()
            cv2.fastNlMeansDenoisingColored(img, None, 10, 10, 3, 15)
            seconds = time.perf_counter() - start
            mp = w * h / 1e6
            label = "1 thread" if threads == 1 else "all cores"
            print(f"opencv {w}x{h} {label}: {seconds * 1e3:.0f} ms, {seconds * 1e3 / mp:.1f} ms_per_MP")


if __name__ == "__main__":
    main()
