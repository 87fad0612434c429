#!/usr/bin/env python3
"""Runs every case of e2e_bench.exe under Wine, one process per case, and
prints the acquisition time beside the scanner alone delivering the same
lines, and the peak working set of each process.

usage: run_e2e.py <e2e_bench.exe> [repetitions]   (WINEPREFIX set by the caller)
"""
import subprocess
import sys

exe = sys.argv[1]
reps = sys.argv[2] if len(sys.argv) > 2 else "3"
mechanisms = ["native", "planar", "chunky", "tiff", "bmp"]
buffered = ["planar", "chunky", "tiff", "bmp"]


def run(page, mechanism):
    out = subprocess.run(["/usr/lib/wine/wine64", exe, page, mechanism, reps], capture_output=True, text=True)
    for line in out.stdout.splitlines():
        if line.startswith("RESULT"):
            _, _, _, ms, peak, size, fastest = line.split()
            return float(ms), int(peak), int(size), float(fastest)
    sys.stderr.write(f"{page} {mechanism}: no result\n{out.stdout}{out.stderr}\n")
    return None


results = {}
for page in ["letter300c", "area1200g"]:
    for m in ["scanner-native", "scanner-buffered"] + mechanisms:
        results[(page, m)] = run(page, m)
for page in ["area300c", "legal300c", "legal1200g"]:
    for m in buffered:
        results[(page, m)] = run(page, m)

status = 0
print("times: median and fastest of the repetitions; overhead against the scanner alone")
print(f"{'page':<11} {'mechanism':<16} {'ms':>7} {'scanner':>7} {'overhead':>8} "
      f"{'fastest':>7} {'scanner':>7} {'overhead':>8} {'peak WS MB':>10} {'output MB':>9}")
for page in ["letter300c", "area1200g"]:
    for m in mechanisms:
        r = results[(page, m)]
        base = results[(page, "scanner-native" if m == "native" else "scanner-buffered")]
        if not r or not base:
            status = 1
            continue
        print(f"{page:<11} {m:<16} {r[0]:7.1f} {base[0]:7.1f} {r[0] / base[0]:8.2f} "
              f"{r[3]:7.1f} {base[3]:7.1f} {r[3] / base[3]:8.2f} "
              f"{r[1] / 2**20:10.1f} {r[2] / 2**20:9.1f}")
    for m in ["scanner-native", "scanner-buffered"]:
        r = results[(page, m)]
        if r:
            print(f"{page:<11} {m:<16} {r[0]:7.1f} {'':>7} {'':>8} {r[3]:7.1f} {'':>7} {'':>8} "
                  f"{r[1] / 2**20:10.1f} {r[2] / 2**20:9.1f}")

print()
print("peak working set, a legal page against a 4 x 4 inch area at the same resolution")
print(f"{'pages':<22} {'mechanism':<8} {'area MB':>8} {'legal MB':>8} {'ratio':>6}")
for area, legal in [("area300c", "legal300c"), ("area1200g", "legal1200g")]:
    for m in buffered:
        a, l = results[(area, m)], results[(legal, m)]
        if not a or not l:
            status = 1
            continue
        print(f"{area + ' / ' + legal:<22} {m:<8} {a[1] / 2**20:8.1f} {l[1] / 2**20:8.1f} "
              f"{l[1] / a[1]:6.2f}")

print()
print("the setup window: median and fastest of the repetitions (a user's action")
print("should take no longer than one frame at 60 Hz, 16.7 ms)")
print(f"{'case':<16} {'ms':>8} {'fastest':>8} {'slowest':>8}")
window_reps = str(max(int(reps), 20))
for case in ["open", "repaint", "repaint-all", "scroll", "drag", "outline", "pan", "prescan",
             "scanner-prescan", "toneset-scroll", "toneset-scroll-colour", "gamma-drag",
             "level-drag"]:
    out = subprocess.run(["/usr/lib/wine/wine64", exe, "window", case,
                          reps if "prescan" in case else window_reps],
                         capture_output=True, text=True)
    line = next((l for l in out.stdout.splitlines() if l.startswith("RESULT")), None)
    if not line:
        sys.stderr.write(f"window {case}: no result\n{out.stdout}{out.stderr}\n")
        status = 1
        continue
    _, _, _, ms, _, _, fastest, slowest = line.split()
    print(f"{case:<16} {float(ms):8.2f} {float(fastest):8.2f} {float(slowest):8.2f}")
sys.exit(status)
