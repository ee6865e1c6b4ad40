#!/usr/bin/env bash
# ./dev soak: an hour of demo (SOAK_FRAMES, default 216000) headless, twice at
# once, with the real-time clock started 3 s before the millisecond count
# wraps (--clock-start 4294964). Checks:
#   - resident memory is flat after start-up (VmRSS sampled every few seconds);
#   - the sound does not drift from the frames: the WAV holds exactly the
#     samples of frames 0 .. SOAK_FRAMES-1 at the display rate, frame n having
#     floor((n+1)*22100/rate) - floor(n*22100/rate) (rate 60 Hz on the LCD);
#   - the two runs agree on every frame hash, the last minute included.
#   tools/soak.sh PALENDRO_BINARY   (results in out/soak/)
set -euo pipefail
bin="$(realpath "$1")"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
frames="${SOAK_FRAMES:-216000}"
every="${SOAK_SAMPLE_SECONDS:-5}"
dir="$root/out/soak"
mkdir -p "$dir"
cd "$root"

start_run() {  # start_run NAME: runs in the background
    "$bin" --headless --frames "$frames" --clock-start 4294964 --frame-hash \
        --wav "$dir/$1.wav" >"$dir/$1.hashes" 2>"$dir/$1.err" &
}
t0=$(date +%s)
start_run run1
pid1=$!
start_run run2
pid2=$!
: >"$dir/rss.log"
while kill -0 "$pid1" 2>/dev/null; do
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid1/status" 2>/dev/null || true)
    [ -n "$rss" ] && echo "$(($(date +%s) - t0)) $rss $(wc -l <"$dir/run1.hashes")" >>"$dir/rss.log"
    sleep "$every"
done
wait "$pid1" || { echo "soak: run 1 failed: $(tail -2 "$dir/run1.err")"; exit 1; }
wait "$pid2" || { echo "soak: run 2 failed: $(tail -2 "$dir/run2.err")"; exit 1; }
elapsed=$(($(date +%s) - t0))
status=0

echo "== $frames frames in ${elapsed} s ($((frames / (elapsed > 0 ? elapsed : 1))) frames/s per run, two runs at once)"
# Memory: the first sample a tenth into the run counts as after start-up.
awk -v frames="$frames" '
    { n++; t[n] = $1; kb[n] = $2; f[n] = $3 }
    END {
        if (n < 3) { print "rss: too few samples"; exit 0 }
        for (i = 1; i <= n && f[i] < frames / 10; i++) {}
        if (i > n) i = n
        lo = hi = kb[i]
        for (j = i; j <= n; j++) { if (kb[j] < lo) lo = kb[j]; if (kb[j] > hi) hi = kb[j] }
        printf "rss: %d kB at %d s (frame %d), then %d..%d kB to the end (%d samples), growth %d kB\n",
               kb[i], t[i], f[i], lo, hi, n - i + 1, kb[n] - kb[i]
        if (hi - lo > 1024) exit 1
    }' "$dir/rss.log" || { echo "rss: NOT FLAT"; status=1; }

# Sound against frames: the data chunk's size in stereo 16-bit samples.
data_bytes=$(python3 -c "
import sys, struct
b = open(sys.argv[1], 'rb').read()
i = 12
while i < len(b):
    tag, size = b[i:i+4], struct.unpack('<I', b[i+4:i+8])[0]
    if tag == b'data': print(size, len(b) - i - 8); break
    i += 8 + size + (size & 1)
" "$dir/run1.wav")
read -r header_bytes file_bytes <<<"$data_bytes"
samples=$((header_bytes / 4))
python3 - "$samples" "$frames" "$file_bytes" "$header_bytes" <<'PY' || status=1
import sys
samples, asked, file_bytes, header_bytes = map(int, sys.argv[1:])
num, den, rate = 60, 1, 22100  # the LCD: 60 Hz (an NTSC TV would be 60000/1001)
per = rate * den
total = -(-samples * num // per)          # the least frame count that reaches `samples`
ok = total * per // num == samples and file_bytes == header_bytes and total == asked
print(f"wav: {samples} samples = {samples / rate:.3f} s; {total} frames at 60 Hz give "
      f"{total * per // num}; --frames asked for {asked}; {'exact' if ok else 'DRIFT'}")
sys.exit(0 if ok else 1)
PY

last=3600  # one minute of frames
if cmp -s "$dir/run1.hashes" "$dir/run2.hashes"; then
    echo "hashes: both runs identical, $(wc -l <"$dir/run1.hashes") frames; last minute (${last} frames) included"
else
    status=1
    tail -n "$last" "$dir/run1.hashes" >"$dir/last1"
    tail -n "$last" "$dir/run2.hashes" >"$dir/last2"
    cmp -s "$dir/last1" "$dir/last2" && echo "hashes: last minute identical, earlier frames DIFFER" ||
        echo "hashes: last minute DIFFERS"
fi
cmp -s "$dir/run1.wav" "$dir/run2.wav" && echo "wav: both runs identical" || { echo "wav: runs DIFFER"; status=1; }
exit $status
