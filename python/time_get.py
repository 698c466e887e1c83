#!/usr/bin/python3
"""Times cam["GA"] against `vela-cli get GA` on a simulated camera at 115200 bit/s.

    PYTHONPATH=build/dev/python python/time_get.py build/dev/bin

Starts vela-camsim (bytes paced at the baud rate) as COM1 in a scratch config folder and
prints the median time of each way of reading GA."""

import os
import statistics
import subprocess
import sys
import tempfile
import time

import vela


def median_ms(run, times):
    spans = []
    for _ in range(times):
        start = time.perf_counter()
        run()
        spans.append((time.perf_counter() - start) * 1000)
    return statistics.median(spans)


def main():
    bindir = sys.argv[1] if len(sys.argv) > 1 else "build/dev/bin"
    config = tempfile.mkdtemp()
    os.environ["VELA_CONFIG_DIR"] = config
    sim = subprocess.Popen([f"{bindir}/vela-camsim", "--port", "COM1", "--baud", "115200", "--pace"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    try:
        sim.stdout.readline()
        sim.stdout.readline()
        cli = [f"{bindir}/vela-cli", "-p", "COM1", "-b", "115200"]
        rows = []
        for fast in (False, True):
            flag = ["--fast"] if fast else []
            with vela.Camera("COM1", baud=115200, fast=fast) as cam:
                rows.append((f"cam['GA'], camera open{', fast' if fast else ''}",
                             median_ms(lambda: cam["GA"], 200)))

            def open_and_get():
                with vela.Camera("COM1", baud=115200, fast=fast) as cam:
                    cam["GA"]

            rows.append((f"Camera(...) + cam['GA'] + close{', fast' if fast else ''}", median_ms(open_and_get, 30)))
            rows.append((f"vela-cli -b 115200 {'--fast ' if fast else ''}get GA",
                         median_ms(lambda: subprocess.run(cli + flag + ["get", "GA"], check=True,
                                                          capture_output=True), 30)))
        for name, ms in rows:
            print(f"{name:45s} {ms:8.2f} ms")
    finally:
        sim.terminate()
        sim.wait()


if __name__ == "__main__":
    main()
