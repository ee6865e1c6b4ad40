#!/usr/bin/env bash
# Runs every benchmark under BUILD_DIR/bench and prints one table.
#   bench_*      Google Benchmark executables, run with JSON output. A benchmark
#                named NAME__REF (e.g. BM_scroller_frame__sdl2) is a reference
#                implementation of NAME: its row shows REF time / NAME time.
#   callgrind_*  executables that take an iteration count N; they are run under
#                callgrind with N = 1 and N = 1 + K, and the difference / K is
#                the instruction count of one iteration (start-up cancels out).
# Each area adds rows by adding such executables in bench/<area>/.
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

python3 - "$out" <<'PY'
import glob, json, os, sys
out = sys.argv[1]
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
PY
