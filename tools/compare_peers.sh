#!/usr/bin/env bash
# Whole-process comparison, start-up included, of kurvana-cli draw against
# gnuplot (png truecolor, the GD terminal, and pngcairo, antialiased) and
# matplotlib (Agg) drawing the same plots: three functions, the same x and y
# ranges, grid and zero axes on, 24-bit PNG, at 2040 x 1340 and 824 x 668.
# gnuplot and matplotlib take 2000 samples; kurvana-cli takes one per plot
# column (its own rule: 2000 at the larger size, 824 at the smaller).
#   compare_peers.sh [RUNS]      (20 measured runs of each, after 2 unmeasured)
# KURVANA_PEERS (tools, comma-separated, as the table names them) and
# KURVANA_PEER_SIZES (such as 2040x1340) narrow the run; kurvana-cli always runs.
# KURVANA_CLI_BEFORE=PATH adds another kurvana-cli build ("kurvana before"),
# such as one of an earlier commit, run interleaved with the rest.
# The tools run interleaved, run by run and in a rotating order, so that a
# change in the machine's load falls on all of them alike. Peak memory is each
# process's own maximum resident set (wait4), file sizes are the PNG's.
# gnuplot and matplotlib are installed for this measurement only.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
. "$root/scripts/deps.sh"
ensure_packages "${KURVANA_BUILD_PACKAGES[@]}" gnuplot-nox python3-matplotlib python3-pil
build="${KURVANA_BUILD_DIR:-$root/build-release}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKURVANA_TESTS=OFF \
  -DKURVANA_BENCH=OFF >/dev/null
cmake --build "$build" --target kurvana-cli >/dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

echo "machine: $(nproc) cores, $(uptime | sed 's/^ *//')"
# Debian's Python, which has the packages above (not one earlier on PATH).
MPLCONFIGDIR="$work/mpl" /usr/bin/python3 - "$build/kurvana-cli" "$work" "${1:-20}" <<'PY'
import os, statistics, subprocess, sys, time

cli, work, runs = sys.argv[1], sys.argv[2], int(sys.argv[3])
before = os.environ.get("KURVANA_CLI_BEFORE", "")
warmups = 2

# name, kurvana formula, gnuplot expression, numpy expression, x and y ranges
plots = [
    ("sin(x)", "F(x)=sin(x)", "sin(x)", "np.sin(x)", (-10, 10), (-1.5, 1.5)),
    ("x*sin(1/x)", "F(x)=x*sin(1/x)", "x*sin(1/x)", "x*np.sin(1/x)", (-1, 1), (-1, 1)),
    ("x^3-6x^2+4x+12", "F(x)=x^3-6*x^2+4*x+12", "x**3-6*x**2+4*x+12", "x**3-6*x**2+4*x+12",
     (-2, 6), (-20, 20)),
]
sizes = [(2040, 1340), (824, 668)]
if os.environ.get("KURVANA_PEER_SIZES"):
    sizes = [tuple(int(n) for n in s.split("x")) for s in os.environ["KURVANA_PEER_SIZES"].split(",")]

MATPLOTLIB = r'''
import sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt
import numpy as np
from PIL import Image
expr, x0, x1, y0, y1, w, h, out = sys.argv[1:]
x0, x1, y0, y1, w, h = float(x0), float(x1), float(y0), float(y1), int(w), int(h)
x = np.linspace(x0, x1, 2000)
with np.errstate(all="ignore"):
    y = eval(expr)
fig = plt.figure(figsize=(w / 100, h / 100), dpi=100)
ax = fig.add_subplot()
ax.plot(x, y, linewidth=1)
ax.set_xlim(x0, x1)
ax.set_ylim(y0, y1)
ax.grid(True)
ax.axhline(0, color="black", linewidth=0.8)
ax.axvline(0, color="black", linewidth=0.8)
fig.canvas.draw()
# 24-bit, as the others: savefig would write RGBA.
Image.frombuffer("RGBA", fig.canvas.get_width_height(), fig.canvas.buffer_rgba()).convert(
    "RGB").save(out)
'''
with open(os.path.join(work, "mpl_plot.py"), "w") as f:
    f.write(MATPLOTLIB)


def gnuplot_script(terminal, expr, xr, yr, w, h, out):
    path = out + ".gp"
    with open(path, "w") as f:
        f.write(f"set terminal {terminal} size {w},{h}\n"
                f"set output '{out}'\n"
                "set samples 2000\n"
                f"set xrange [{xr[0]}:{xr[1]}]\n"
                f"set yrange [{yr[0]}:{yr[1]}]\n"
                "set grid\nset xzeroaxis\nset yzeroaxis\n"
                f"plot {expr} notitle\n")
    return path


def commands(plot, size):
    name, kf, gexpr, npexpr, xr, yr = plot
    w, h = size
    tag = f"{abs(hash((name, size)))}"
    out = lambda tool: os.path.join(work, f"{tag}-{tool}.png")
    draw = lambda binary, tool: ([binary, "draw", "--f", kf, "--x-min", str(xr[0]), "--x-max",
                                  str(xr[1]), "--y-min", str(yr[0]), "--y-max", str(yr[1]),
                                  "--size", f"{w}x{h}", "-o", out(tool)], out(tool))
    return {
        "kurvana-cli": draw(cli, "kurvana"),
        "kurvana before": draw(before, "before"),
        "gnuplot png": (["gnuplot", gnuplot_script("png truecolor", gexpr, xr, yr, w, h,
                                                   out("gd"))], out("gd")),
        "gnuplot pngcairo": (["gnuplot", gnuplot_script("pngcairo", gexpr, xr, yr, w, h,
                                                        out("cairo"))], out("cairo")),
        "matplotlib": (["/usr/bin/python3", os.path.join(work, "mpl_plot.py"), npexpr,
                        str(xr[0]), str(xr[1]), str(yr[0]), str(yr[1]), str(w), str(h),
                        out("mpl")], out("mpl")),
    }


def run(argv):
    """Wall seconds and the process's own peak resident set in KiB."""
    start = time.perf_counter()
    child = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(child.pid, 0)
    wall = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    err = child.stderr.read().decode(errors="replace")
    child.stderr.close()
    if child.returncode != 0:
        sys.exit(f"{argv[0]} failed ({child.returncode}): {err[:300]}")
    return wall, usage.ru_maxrss


def png_kind(path):
    with open(path, "rb") as f:
        head = f.read(26)
    depth, colour = head[24], head[25]
    kinds = {0: ("grey", 1), 2: ("RGB", 3), 3: ("palette", 1), 4: ("grey+alpha", 2),
             6: ("RGBA", 4)}
    name, channels = kinds.get(colour, (str(colour), 1))
    return f"{depth * channels}-bit {name}"


tools = ["kurvana-cli", "gnuplot png", "gnuplot pngcairo", "matplotlib"]
if os.environ.get("KURVANA_PEERS"):
    wanted = os.environ["KURVANA_PEERS"].split(",")
    tools = ["kurvana-cli"] + [t for t in tools[1:] if t in wanted]
if before:
    tools.insert(1, "kurvana before")
print(f"{runs} interleaved runs of each after {warmups} unmeasured; wall time median "
      "(min .. max) in ms; ratio = tool / kurvana-cli")
for plot in plots:
    for size in sizes:
        cmds = commands(plot, size)
        walls = {t: [] for t in tools}
        peaks = {t: 0 for t in tools}
        for i in range(warmups + runs):
            shift = i % len(tools)
            for tool in tools[shift:] + tools[:shift]:
                wall, peak = run(cmds[tool][0])
                if i >= warmups:
                    walls[tool].append(wall * 1000)
                    peaks[tool] = max(peaks[tool], peak)
        base = statistics.median(walls["kurvana-cli"])
        print(f"\n{plot[0]} on x {plot[4][0]}..{plot[4][1]}, y {plot[5][0]}..{plot[5][1]}, "
              f"{size[0]}x{size[1]}")
        print(f"  {'tool':<18} {'median':>8} {'(min .. max)':>18} {'ratio':>6} {'peak MiB':>9} "
              f"{'file KiB':>9}  PNG")
        for tool in tools:
            m = statistics.median(walls[tool])
            path = cmds[tool][1]
            span = f"({min(walls[tool]):.1f} .. {max(walls[tool]):.1f})"
            print(f"  {tool:<18} {m:8.1f} {span:>18} {m / base:6.2f} {peaks[tool] / 1024:9.1f} "
                  f"{os.path.getsize(path) / 1024:9.1f}  {png_kind(path)}")
PY
