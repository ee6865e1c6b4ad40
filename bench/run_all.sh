#!/usr/bin/env bash
# Runs every benchmark under BUILD_DIR/bench and prints one table.
#   bench_*      Google Benchmark executables, run with JSON output. A benchmark
#                named NAME__REF (e.g. BM_scroller_frame__sdl2) is a reference
#                implementation of NAME: its row shows REF time / NAME time.
#   callgrind_*  executables that take an iteration count N; they are run under
#                callgrind with N = 1 and N = 1 + K, and the difference / K is
#                the instruction count of one iteration (start-up cancels out).
# Each area adds rows by adding such executables in bench/<area>/.
# Then the whole demo, BUILD_DIR/shell/palendro: instructions of one frame step
# (main_frame + osd_input + music_update, callgrind --toggle-collect), headless
# speed in multiples of real time, start-up time and peak resident memory.
# With PALENDRO_HANDHELD_TOOLCHAIN set, the handheld's budget under qemu-arm
# (bench/handheld/handheld_bench.sh).
# With PALENDRO_WEB_PAGE set, the web page's milliseconds per frame in headless
# Chromium beside the same frame loop on the PC (bench/web/).
# The table ends with the goals: name | value | goal | met?
set -euo pipefail
build="${1:?usage: bench/run_all.sh BUILD_DIR}"
K=8
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

mapfile -t benches < <(find "$build/bench" -type f -executable -name 'bench_*' | sort)
mapfile -t grinds < <(find "$build/bench" -type f -executable -name 'callgrind_*' | sort)

for exe in "${benches[@]}"; do
    name="$(basename "$exe")"
    echo "run_all: $name" >&2
    "$exe" --benchmark_format=json --benchmark_out="$out/$name.json" --benchmark_out_format=json \
        >/dev/null
done

instructions() {  # instructions EXE N -> total instructions collected by callgrind
    valgrind --tool=callgrind --callgrind-out-file="$out/cg.out" "$1" "$2" 2>&1 >/dev/null |
        sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}
for exe in "${grinds[@]}"; do
    name="$(basename "$exe")"
    echo "run_all: $name (callgrind)" >&2
    one="$(instructions "$exe" 1)"
    many="$(instructions "$exe" $((1 + K)))"
    echo "$name $(( (many - one) / K ))" >> "$out/callgrind.txt"
done

demo="$build/shell/palendro"
STEP_FRAMES=1800  # 30 s of the demo, through its scenes
echo "run_all: palendro frame step (callgrind, $STEP_FRAMES frames)" >&2
valgrind --tool=callgrind --callgrind-out-file="$out/step.out" --toggle-collect='main_frame()' \
    --toggle-collect='osd_input()' --toggle-collect='music_update()' \
    "$demo" --headless --frames "$STEP_FRAMES" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' > "$out/step.txt"
echo "run_all: bench_music mixing (callgrind)" >&2
valgrind --tool=callgrind --callgrind-out-file="$out/mix.out" --toggle-collect='music_update()' \
    "$build/bench/music/bench_music" --frames 3600 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p' > "$out/mix.txt"
seconds() {  # seconds ARGS... -> wall time of one palendro run, best of three
    python3 - "$demo" "$@" <<'TIMER'
import subprocess, sys, time
best = None
for _ in range(3):
    t = time.perf_counter()
    subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, check=True)
    best = min(best or 1e9, time.perf_counter() - t)
print(best)
TIMER
}
echo "run_all: palendro headless timings" >&2
{
    echo "plain $(seconds --headless --frames 3000)"
    echo "hash $(seconds --headless --frames 3000 --frame-hash)"
    echo "startup $(seconds --headless --frames 0)"
    echo "rss $(/usr/bin/time -f %M "$demo" --headless --frames 600 --frame-hash 2>&1 >/dev/null | tail -1)"
} > "$out/demo.txt"

# The handheld's budget (when PALENDRO_HANDHELD_TOOLCHAIN names an ARM
# toolchain file): ARM instructions of one loop iteration under qemu-arm,
# heap and stack at run time, the binary's size (bench/handheld/).
if [ -n "${PALENDRO_HANDHELD_TOOLCHAIN:-}" ]; then
    echo "run_all: the handheld's budget under qemu-arm" >&2
    HANDHELD_COMPARE="$STEP_FRAMES" "$(dirname "${BASH_SOURCE[0]}")/handheld/handheld_bench.sh" \
        "$PALENDRO_HANDHELD_TOOLCHAIN" "$build/handheld" > "$out/handheld.txt"
fi

# The web page (when PALENDRO_WEB_PAGE names its folder): milliseconds per
# frame in headless Chromium beside the same frame loop on the PC.
if [ -n "${PALENDRO_WEB_PAGE:-}" ]; then
    echo "run_all: the web page in headless Chromium" >&2
    python3 "$(dirname "${BASH_SOURCE[0]}")/web/web_bench.py" "$build/bench/web/web_frames" \
        "$PALENDRO_WEB_PAGE" 3000 > "$out/web.txt"
fi

python3 - "$out" "$STEP_FRAMES" <<'PY'
import glob, json, os, sys
out = sys.argv[1]
step_frames = int(sys.argv[2])
rows = {}
order = []
for path in sorted(glob.glob(os.path.join(out, "*.json"))):
    with open(path) as f:
        data = json.load(f)
    for b in data["benchmarks"]:
        if b.get("run_type", "iteration") != "iteration":
            continue
        scale = {"ns": 1e-9, "us": 1e-6, "ms": 1e-3, "s": 1.0}[b.get("time_unit", "ns")]
        rows[b["name"]] = b["real_time"] * scale
        order.append(b["name"])

def fmt_time(t):
    for unit, s in (("s", 1.0), ("ms", 1e-3), ("us", 1e-6)):
        if t >= s:
            return f"{t / s:.3f} {unit}"
    return f"{t / 1e-9:.1f} ns"

table = []
for name in order:
    ratio = ""
    if "__" in name:
        base = name.split("__")[0]
        if base in rows and rows[base] > 0:
            ratio = f"{rows[name] / rows[base]:.2f}x slower than {base}"
    table.append((name, fmt_time(rows[name]), ratio, ""))
cg = os.path.join(out, "callgrind.txt")
if os.path.exists(cg):
    for line in open(cg):
        name, count = line.split()
        table.append((name, "", "", f"{int(count):,} per iteration"))

head = ("name", "time", "ratio", "instructions")
widths = [max(len(r[i]) for r in table + [head]) for i in range(4)]
line = lambda r: "  ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip()
print(line(head))
print("  ".join("-" * w for w in widths))
for r in table:
    print(line(r))

# The goals.
cgrows = {}
if os.path.exists(cg):
    for l in open(cg):
        n, c = l.split()
        cgrows[n] = int(c)
demo = dict(l.split() for l in open(os.path.join(out, "demo.txt")))
def count(name):
    text = open(os.path.join(out, name)).read().strip()
    return int(text) if text else None
goals = []
def goal(name, value, text, met):
    goals.append((name, value, text, "" if met is None else "yes" if met else "NO"))
if "BM_scroller_frame" in rows and "BM_scroller_frame__sdl2" in rows:
    r = rows["BM_scroller_frame__sdl2"] / rows["BM_scroller_frame"]
    goal("renderer vs SDL2 software renderer", f"{r:.2f}x faster", ">= 3x", r >= 3)
if "BM_loop_pass" in rows and "BM_loop_pass__retro_run" in rows:
    r = rows["BM_loop_pass__retro_run"] / rows["BM_loop_pass"]
    goal("libretro core: retro_run against the native loop pass (LCD)", f"{r:.2f}x", "<= 1.2x",
         r <= 1.2)
step = count("step.txt")
if step is not None:
    v = step / step_frames
    goal("frame step (main_frame+osd_input+music_update)", f"{v:,.0f} instr/frame", "< 1,000,000", v < 1e6)
mix = count("mix.txt")
if mix is not None:
    v = mix / 3600
    goal("mixing one frame (music_update)", f"{v:,.0f} instr/frame", "< 10% of 3.3 M cycles", v < 330000)
for n, limit in (("callgrind_display_lcd", 1_000_000), ("callgrind_display_tv", 4_500_000)):
    if n in cgrows:
        goal("compose " + n.split("_")[-1].upper() + " frame", f"{cgrows[n]:,} instr", f"< {limit:,}", cgrows[n] < limit)
for key, label in (("plain", "headless, no capture"), ("hash", "headless, --frame-hash")):
    x = 3000 / float(demo[key]) / 60
    goal(label, f"{x:.0f}x real time", ">= 100x", x >= 100)
ms = float(demo["startup"]) * 1000
goal("start-up to the first frame (--frames 0)", f"{ms:.0f} ms", "< 250 ms", ms < 250)
kib = int(demo["rss"])
goal("peak resident memory", f"{kib / 1024:.1f} MiB", "< 64 MiB", kib < 64 * 1024)

hh = os.path.join(out, "handheld.txt")
if os.path.exists(hh):
    h = {k: int(v) for k, v in (l.split() for l in open(hh))}
    budget = 3_330_000  # the handheld's cycles in one 60 Hz frame
    def mi(n):
        return f"{n / 1e6:.3f} M"
    goal(f"ARM instr. per loop iteration, mean of {h['arm_frames']:,} (qemu-arm)",
         f"{mi(h['arm_mean'])} ({100 * h['arm_mean'] / budget:.0f}% of 3.33 M cycles)", "", None)
    goal("ARM instr. per loop iteration, worst",
         f"{mi(h['arm_worst'])} (iteration {h['arm_worst_at']}, "
         f"{100 * h['arm_worst'] / budget:.0f}% of 3.33 M cycles)", "<= 0.8 M",
         h["arm_worst"] <= 800_000)
    if "device_worst" in h:
        goal(f"ARM instr. per loop iteration on the device's sound path, mean of "
             f"{h['device_frames']:,} (device program, OSS double)",
             f"{mi(h['device_mean'])} (simulator {mi(h['arm_mean'])})", "", None)
        goal("ARM instr. per loop iteration on the device's sound path, worst",
             f"{mi(h['device_worst'])} (iteration {h['device_worst_at']}; simulator "
             f"{mi(h['arm_worst'])})", "<= 0.8 M", h["device_worst"] <= 800_000)
        goal("stores into upper memory per loop iteration (uncached on the handheld)",
             f"mean {h['upper_stores_mean']:,} ({h['upper_bytes_mean'] / 1024:.0f} KiB), worst "
             f"{h['upper_stores_worst']:,} ({h['upper_bytes_worst'] / 1024:.0f} KiB)", "", None)
    if step is not None:
        r = h["arm_mean_first"] / (step / step_frames)
        goal(f"ARM against x86-64 instr. (mean of the first {step_frames} frames)", f"{r:.2f}x", "",
             None)
    mib = 1024 * 1024
    goal("heap + stack at run time (ARM simulator, holds the 8 MiB video memory)",
         f"{(h['arm_heap_peak'] + h['arm_stack_peak']) / mib:.2f} MiB "
         f"(heap {h['arm_heap_peak'] / mib:.2f} MiB, stack {h['arm_stack_peak'] / 1024:.1f} KiB)",
         "<= 16 MiB", h["arm_heap_peak"] + h["arm_stack_peak"] <= 16 * mib)
    goal("handheld binary",
         f"{h['device_file'] / mib:.2f} MiB ({h['device_stripped'] / mib:.2f} MiB stripped; "
         f"text {h['device_text']:,}, data {h['device_data']:,}, bss {h['device_bss']:,})",
         "<= 4 MiB", h["device_file"] <= 4 * mib)

web = os.path.join(out, "web.txt")
if os.path.exists(web):
    w = {k: float(v) for k, v in (l.split() for l in open(web))}
    def figures(side):
        return (f"mean {w[side + '_mean']:.3f}, p99 {w[side + '_p99']:.3f}, "
                f"worst {w[side + '_worst']:.3f} (frame {w[side + '_worst_at']:.0f})")
    goal("web page, ms per frame in Chromium (3000 frames, hashed)", figures("page"),
         "mean <= 3 ms", w["page_mean"] <= 3)
    goal("the same frame loop on the PC, ms per frame", figures("native"), "", True)
    r = w["page_mean"] / w["native_mean"]
    goal("web page against the PC (mean)", f"{r:.2f}x", "<= 2.5x", r <= 2.5)

print()
head = ("goal", "value", "target", "met?")
widths = [max(len(r[i]) for r in goals + [head]) for i in range(4)]
sep = lambda r: " | ".join(c.ljust(w) for c, w in zip(r, widths)).rstrip()
print(sep(head))
print("-+-".join("-" * w for w in widths))
for r in goals:
    print(sep(r))
PY
