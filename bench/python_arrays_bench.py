"""The Python module's array calls on a big object: reading the UVs, the
faces and the UV selection into NumPy, and writing UVs and a selection back
as one command (one undo step and the redraw each command ends with).

    build-release/bin/pavlex-make-grid 1000 10 grid.obj
    PYTHONPATH=build-release/python /usr/bin/python3 bench/python_arrays_bench.py grid.obj

Prints the median of several runs of each call, in milliseconds.
"""

import statistics
import sys
import tempfile
import time
from pathlib import Path

import numpy as np

import pavlex


def median_ms(call, runs=7):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return 1000 * statistics.median(times)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    with tempfile.TemporaryDirectory() as folder, \
            pavlex.Session(settings=Path(folder) / "settings.xml") as session:
        session.open(sys.argv[1])
        uvs = session.uvs()
        counts, _ = session.faces()
        print(f"{len(counts)} faces, {len(uvs)} corners")
        moved = [uvs + np.float32(0.001), uvs]  # every write changes every corner
        mask = [np.ones(len(uvs), bool), np.zeros(len(uvs), bool)]
        step = iter(range(1 << 30))
        results = {
            "uvs()": median_ms(session.uvs),
            "faces()": median_ms(session.faces),
            "positions()": median_ms(session.positions),
            "uv_selection()": median_ms(session.uv_selection),
            "set_uvs(all changed)": median_ms(lambda: session.set_uvs(moved[next(step) % 2])),
            "set_uvs(unchanged)": median_ms(lambda: session.set_uvs(session.uvs())),
            "set_uv_selection(all changed)": median_ms(lambda: session.set_uv_selection(mask[next(step) % 2])),
        }
        for name, ms in results.items():
            print(f"{name:32s} {ms:9.2f} ms")


if __name__ == "__main__":
    main()
