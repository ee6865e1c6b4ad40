#!/usr/bin/env bash
# tools/run_demo.sh without a display: after a good mux the MP4, the WAV and
# the PNG are left and the Y4M is gone; without ffmpeg, or when the mux
# fails, the Y4M stays as the video. A stand-in program and ffmpeg keep it
# quick: the stand-in writes the files it is asked for, the ffmpeg stand-in
# checks that it is given both captures and writes its output (or fails).
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

cat >"$tmp/program" <<'PROG'
#!/usr/bin/env bash
echo "$*" >"$(dirname "$0")/program.args"
while [ $# -gt 0 ]; do
    case "$1" in
    --record|--wav) echo data >"$2"; shift ;;
    --screenshot) echo data >"${2#*:}"; shift ;;
    esac
    shift
done
PROG
mkdir -p "$tmp/good" "$tmp/bad" "$tmp/none"
cat >"$tmp/good/ffmpeg" <<'FF'
#!/usr/bin/env bash
case " $* " in *" -shortest "*) exit 1 ;; esac   # the captures have one length
[ -f "${@: -1}" ] && exit 1
for a in "$@"; do case "$a" in *.y4m|*.wav) [ -f "$a" ] || exit 1 ;; esac; done
echo mp4 >"${@: -1}"
FF
printf '#!/usr/bin/env bash\necho partial >"${@: -1}"\nexit 1\n' >"$tmp/bad/ffmpeg"
chmod +x "$tmp/program" "$tmp/good/ffmpeg" "$tmp/bad/ffmpeg"
# The few tools the scripts use, and no ffmpeg among them.
mkdir -p "$tmp/bin"
for tool in bash env dirname mkdir rm cat; do ln -s "$(command -v "$tool")" "$tmp/bin/$tool"; done
base_path="$tmp/bin"

run() {  # run FFMPEG_DIR OUT: the script without a display
    "$tmp/bin/env" -u DISPLAY -u WAYLAND_DISPLAY PATH="$1:$base_path" PALENDRO_RUN_OUT="$2" \
        "$root/tools/run_demo.sh" "$tmp/program" >"$2.log" 2>&1
}

for case in good bad none; do
    out="$tmp/out-$case"
    dir="$tmp/$case"
    [ "$case" = none ] && dir="$tmp/none"
    run "$dir" "$out" || fail "$case: exit status $?"
    grep -q -- "--headless --frames 1200" "$tmp/program.args" || fail "$case: $(cat "$tmp/program.args")"
    [ -f "$out/palendro.wav" ] && [ -f "$out/palendro.png" ] || fail "$case: WAV or PNG missing"
    case "$case" in
    good)
        [ -f "$out/palendro.mp4" ] || fail "good: no MP4"
        [ -e "$out/palendro.y4m" ] && fail "good: the Y4M is left beside the MP4"
        grep -q "palendro.mp4" "$out.log" || fail "good: the MP4 is not named: $(cat "$out.log")" ;;
    bad|none)
        [ -f "$out/palendro.y4m" ] || fail "$case: the Y4M is gone without an MP4"
        [ -e "$out/palendro.mp4" ] && fail "$case: an MP4 is left"
        grep -q "palendro.y4m" "$out.log" || fail "$case: the Y4M is not named: $(cat "$out.log")" ;;
    esac
done
[ $status -eq 0 ] && echo "run_demo: all cases pass"
exit $status
