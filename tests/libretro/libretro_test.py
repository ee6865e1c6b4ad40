#!/usr/bin/env python3
"""The libretro core against the PC program, and in Debian's RetroArch.

    libretro_test.py --native PALENDRO --front FRONT --core CORE
                     [--runner 'qemu-aarch64 -L /usr/aarch64-linux-gnu']
                     [--frames N] [--setups lcd,ntsc,...] [--no-lifecycle]
                     [--retroarch] [--leaks] --damaged MAKE_DAMAGED_XM

Each set-up of the table runs the core in our frontend (FRONT, under RUNNER
for a cross-built core) and the PC program with the same button script:
every frame the core sent must be the program's frame of that number, the
frames from the first one sent up to N-1 (600) all there, and the sound the same
bytes. Then the lifecycle run (with --leaks, a sanitizer build's, under
LeakSanitizer), and with --retroarch: RetroArch headless for
120 frames, whose screenshot must be the program's frame 120 (frame 0 runs
in the core's start-up, retro_run k shows frame k), then for 60 frames with
a damaged module as content: exit 0, and the core's line in RetroArch's log
(its own media player, which would take the .xm otherwise, is off).
"""
import argparse
import hashlib
import os
import shlex
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "web"))
import png  # noqa: E402  (the page tests' PNG reader)

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
# Pause into the menu, volume down and up in it, play on, volume down again.
PAUSE_VOLUME = "120 start\n125 -\n180 voldown\n200 -\n240 volup\n290 -\n330 b\n335 -\n400 voldown\n440 -\n"
QUIT = "90 l+r\n"

# name, display, native --tv, script, the program quits, the display before a reset (the
# option changed, then retro_reset: the run after it must be the new display's from power-on)
SETUPS = [
    ("lcd", "lcd", None, PAUSE_VOLUME, False, None),
    ("ntsc", "ntsc", "ntsc", PAUSE_VOLUME, False, None),
    ("pal", "pal", "pal", PAUSE_VOLUME, False, None),
    ("lcd-quit", "lcd", None, QUIT, True, None),
    ("lcd-to-pal", "pal", "pal", PAUSE_VOLUME, False, "lcd"),
]


def run(cmd, **kw):
    return subprocess.run(cmd, cwd=ROOT, capture_output=True, text=True, **kw)


def wav_data(path):
    data = open(path, "rb").read()
    return data[44:]


def check_setup(a, tmp, name, display, tv, script, quits, reset_from):
    script_path = os.path.join(tmp, name + ".txt")
    open(script_path, "w").write(script)
    wav = os.path.join(tmp, name + ".wav")
    native = [a.native, "--headless", "--frames", str(a.frames), "--frame-hash", "--wav", wav,
              "--input", script_path] + (["--tv", tv] if tv else [])
    n = run(native)
    if n.returncode != 0:
        return ["%s: the PC program failed: %s" % (name, n.stderr.strip())]
    want = {}
    for line in n.stdout.splitlines():
        if line.startswith("frame "):
            want[int(line.split()[1])] = line
    sound = os.path.join(tmp, name + ".raw")
    f = run(shlex.split(a.runner) + [a.front, a.core, "--display", display, "--frames", str(a.frames),
                                     "--input", script_path, "--sound", sound]
            + (["--reset-from", reset_from] if reset_from else []))
    if f.returncode != 0:
        return ["%s: the frontend failed: %s" % (name, f.stderr.strip())]
    got = [l for l in f.stdout.splitlines() if l.startswith("frame ")]
    errors = []
    numbers = [int(l.split()[1]) for l in got]
    if not numbers or numbers != list(range(numbers[0], numbers[0] + len(numbers))):
        errors.append("%s: the frames sent are not one per retro_run in order" % name)
    for line, number in zip(got, numbers):
        if want.get(number) != line:
            errors.append("%s: %s, the PC program: %s" % (name, line, want.get(number)))
            break
    shut = "shutdown" in f.stdout.splitlines()
    if shut != quits:
        errors.append("%s: shutdown %s, expected %s" % (name, shut, quits))
    if not quits and numbers and numbers[-1] != a.frames - 1:
        errors.append("%s: the last frame sent is %d" % (name, numbers[-1]))
    a_hash = hashlib.sha256(open(sound, "rb").read()).hexdigest()
    n_hash = hashlib.sha256(wav_data(wav)).hexdigest()
    if a_hash != n_hash:
        errors.append("%s: sound sha256 %s, the PC program's %s" % (name, a_hash, n_hash))
    print("%s: frames %d-%d, sound sha256 %s: %s" % (name, numbers[0] if numbers else -1,
          numbers[-1] if numbers else -1, a_hash[:16], "ok" if not errors else "FAILED"))
    return errors


def check_lifecycle(a, tmp):
    script_path = os.path.join(tmp, "lifecycle.txt")
    open(script_path, "w").write(PAUSE_VOLUME)
    # The sanitizer build checks for leaks here: every start's heap must be
    # given back by the unload (the rest of the suite runs without the check).
    env = dict(os.environ, ASAN_OPTIONS="halt_on_error=1:detect_leaks=1") if a.leaks else None
    f = run(shlex.split(a.runner) + [a.front, a.core, "--frames", str(a.frames), "--input",
                                     script_path, "--lifecycle"], env=env)
    print("lifecycle%s: %s" % (" (leak check)" if a.leaks else "",
                               "ok" if f.returncode == 0 else "FAILED"))
    return ["lifecycle: %s" % f.stderr.strip()] if f.returncode != 0 else []


def check_damaged_content(a, tmp, damaged):
    """A damaged module: one log line, a silent run of the demo."""
    sound = os.path.join(tmp, "damaged.raw")
    f = run(shlex.split(a.runner) + [a.front, a.core, "--frames", "60", "--content", damaged,
                                     "--sound", sound, "--log"])
    logs = [l for l in f.stdout.splitlines() if l.startswith("log palendro: no music: ")]
    errors = []
    if f.returncode != 0 or len(logs) != 1:
        errors.append("damaged content: status %d, log lines %r" % (f.returncode, logs))
    if any(open(sound, "rb").read()):
        errors.append("damaged content: the run is not silent")
    if not any(l.startswith("frame 000059 ") for l in f.stdout.splitlines()):
        errors.append("damaged content: the demo did not run")
    print("damaged content: %s" % ("ok" if not errors else "FAILED"))
    return errors


def check_retroarch(a, tmp, damaged):
    errors = []
    home = os.path.join(tmp, "ra")
    os.makedirs(home)
    cfg = os.path.join(home, "retroarch.cfg")
    with open(cfg, "w") as c:
        for key in ("video_driver", "audio_driver", "input_driver", "joypad_driver", "menu_driver"):
            c.write('%s = "null"\n' % key)
        c.write('config_save_on_exit = "false"\n')
        # Else RetroArch plays an .xm in its own media player, not in the core.
        c.write('builtin_mediaplayer_enable = "false"\n')
    env = dict(os.environ, HOME=home)
    shot = os.path.join(tmp, "ra.png")
    base = ["retroarch", "--config", cfg, "-L", a.core]
    r = run(base + ["--max-frames=120", "--max-frames-ss", "--max-frames-ss-path=" + shot],
            env=env, timeout=120)
    native_shot = os.path.join(tmp, "native120.png")
    n = run([a.native, "--headless", "--frames", "121", "--screenshot", "120:" + native_shot])
    if r.returncode != 0 or not os.path.exists(shot):
        errors.append("retroarch: status %d, no screenshot: %s" % (r.returncode, r.stderr[-500:]))
    elif n.returncode != 0 or png.read_png(open(shot, "rb").read()) != png.read_png(
            open(native_shot, "rb").read()):
        errors.append("retroarch: the screenshot after 120 frames is not the program's frame 120")
    print("retroarch: screenshot of frame 120: %s" % ("ok" if not errors else "FAILED"))
    r = run(base + ["--verbose", "--max-frames=60", damaged], env=env, timeout=120)
    logged = "palendro: no music: " + os.path.basename(damaged) in r.stdout + r.stderr
    if r.returncode != 0 or not logged:
        errors.append("retroarch, damaged content: status %d, the core's line logged: %s"
                      % (r.returncode, logged))
    print("retroarch: damaged content: %s" % ("ok" if r.returncode == 0 and logged else "FAILED"))
    return errors


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--native", required=True)
    p.add_argument("--front", required=True)
    p.add_argument("--core", required=True)
    p.add_argument("--runner", default="")
    p.add_argument("--frames", type=int, default=600)
    p.add_argument("--setups", help="the set-ups to run (comma-separated names), default all")
    p.add_argument("--no-lifecycle", action="store_true")
    p.add_argument("--retroarch", action="store_true")
    p.add_argument("--leaks", action="store_true", help="a sanitizer build: LeakSanitizer on")
    p.add_argument("--damaged", required=True, help="make_damaged_xm")
    a = p.parse_args()
    a.core, a.native, a.front, a.damaged = (os.path.abspath(x) for x in (a.core, a.native, a.front, a.damaged))
    errors = []
    with tempfile.TemporaryDirectory(prefix="palendro-libretro-%d-" % os.getpid()) as tmp:
        for setup in SETUPS:
            if not a.setups or setup[0] in a.setups.split(","):
                errors += check_setup(a, tmp, *setup)
        if not a.no_lifecycle:
            errors += check_lifecycle(a, tmp)
        dam_dir = os.path.join(tmp, "damaged")
        os.makedirs(dam_dir)
        subprocess.run([a.damaged, dam_dir], check=True, capture_output=True)
        damaged = os.path.join(dam_dir, sorted(x for x in os.listdir(dam_dir) if x.endswith(".xm")
                                               and not x.startswith("healthy"))[0])
        errors += check_damaged_content(a, tmp, damaged)
        if a.retroarch:
            errors += check_retroarch(a, tmp, damaged)
    for e in errors:
        print(e, file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
