#!/usr/bin/env python3
"""The device program, built so that every absolute path it uses lies below a
test folder (PALENDRO_HANDHELD_TEST_ROOT), run whole under qemu-arm on an
ARMv4T core. ROOT/dev/mem is an ordinary sparse file standing for physical
memory: this script presets what the launcher leaves in it, plays the
hardware while the program runs (the real-time clock ticks, the LCD's
vertical sync toggles, the buttons read "not pressed", then L and R are held
to leave), and afterwards reads back what the program left: the banner, the
start-up writes, every saved register restored, the launcher's screen
blanked, the kernel-module commands and the launcher started through the
firmware's shell (scripts of this test in ROOT). Its /dev/dsp is the
sound device's double (dsp_double.py), once for each fragment size the
driver may grant: the loop keeps the display's 60 Hz, no write is held after
the first second, nothing underruns, and the bytes written are the PC
program's --wav samples (PC_WAV) from the frame the sound started.

    device_run_test.py PROGRAM ROOT REPO PC_WAV   (the program runs in REPO, beside the music)

For the bench (bench/handheld/handheld_bench.sh): PC_WAV '-' leaves the byte
comparison out, DEVICE_FRAGMENTS (e.g. 1024) picks the fragment sizes,
DEVICE_PLAY_SECONDS (default 3) how long the sound plays, and
DEVICE_QEMU_PLUGIN gives qemu a plugin (its -plugin argument).
"""
import mmap
import os
import re
import shutil
import subprocess
import sys
import threading
import time

import dsp_double

PROGRAM, ROOT, REPO = (os.path.abspath(a) for a in sys.argv[1:4])
PC_WAV = sys.argv[4]
QEMU = ["qemu-arm", "-cpu", "ti925t"]
if os.environ.get("DEVICE_QEMU_PLUGIN"):
    QEMU += ["-plugin", os.environ["DEVICE_QEMU_PLUGIN"]]
LAUNCHER_FRAME = 0x03101000  # page-aligned, as the launcher leaves it
PAGE = 0x1000
TIMEOUT = 120
FRAGMENTS = [int(f) for f in os.environ.get("DEVICE_FRAGMENTS", "256,1024,4096,16384").split(",")]
FRAME_RATE = 60  # the LCD's, and the double's clock
PLAY_SECONDS = float(os.environ.get("DEVICE_PLAY_SECONDS", "3"))
TIMEOUT = max(TIMEOUT, 4 * PLAY_SECONDS)
MOST_HELD = 0.004  # seconds a write may wait on the device after the first second
MOST_BUFFERED = 8840  # bytes: 100 ms


def read(path):
    with open(os.path.join(REPO, path), encoding="utf-8") as f:
        return f.read()


# The register map and the save table, from the hardware layer's own sources.
REGS = {m.group(1): int(m.group(2), 0) for m in re.finditer(
    r"constexpr uint(?:16|32)_t (\w+) = (0x[0-9A-Fa-f]+|\d+)u?;", read("hw/regs.h"))}
SAVE_TABLE = [int(x, 16) for x in re.findall(r"0x[0-9A-F]{4}", re.search(
    r"HW_SAVE_TABLE\[HW_SAVED16_COUNT\] = \{([^}]*)\}", read("hw/hw_state.cpp")).group(1))]
UPPER_SIZE = 8 * 1024 * 1024
assert "UPPER_MEMORY_SIZE = 8u * 1024 * 1024" in read("hw/hw.h")
LAUNCHER_SCREEN = 320 * 240 * 2
BLOCK, BLOCK_SIZE, UPPER = REGS["BLOCK_PHYS"], REGS["BLOCK_SIZE"], REGS["UPPER_PHYS"]
L_PIN, R_PIN = 1 << 10, 1 << 11  # port C pins: the exit keys, 0 while held

faults = []
MARK = bytes(range(0xF0, 0x100))


def marks(mem, start):
    return sum(mem.upper[i:i + len(MARK)] == MARK for i in range(start, UPPER_SIZE, len(MARK)))


def expect(ok, what):
    if not ok:
        faults.append(what)


def preset(i):
    return (0x1357 + 0x0F31 * i) & 0xFFFF


def make_root():
    shutil.rmtree(ROOT, ignore_errors=True)
    for d in ("dev", "bin", "usr/gp2x"):
        os.makedirs(os.path.join(ROOT, d))
    dsp_double.make_pipes(ROOT)
    log = os.path.join(ROOT, "calls.log")
    scripts = {  # the firmware's shell and launcher, as host scripts that log their call
        "bin/sh": '#!/bin/sh\necho "command $2" >> %s\n' % log,
        "usr/gp2x/gp2xmenu": '#!/bin/sh\necho "launcher $(pwd) $0" >> %s\n' % log,
    }
    for name, text in scripts.items():
        path = os.path.join(ROOT, name)
        with open(path, "w") as f:
            f.write(text)
        os.chmod(path, 0o755)
    mem = os.path.join(ROOT, "dev", "mem")
    with open(mem, "wb") as f:
        f.truncate(BLOCK + BLOCK_SIZE)
    return mem, log


class Mem:
    def __init__(self, path):
        self.fd = os.open(path, os.O_RDWR)
        self.regs = mmap.mmap(self.fd, BLOCK_SIZE, offset=BLOCK)
        self.upper = mmap.mmap(self.fd, UPPER_SIZE, offset=UPPER)
        self.frame = mmap.mmap(self.fd, LAUNCHER_SCREEN + PAGE, offset=LAUNCHER_FRAME)

    def r16(self, off):
        return int.from_bytes(self.regs[off:off + 2], "little")

    def w16(self, off, v):
        self.regs[off:off + 2] = (v & 0xFFFF).to_bytes(2, "little")

    def w32(self, off, v):
        self.regs[off:off + 4] = (v & 0xFFFFFFFF).to_bytes(4, "little")


# The clock's program reads wait out a sub-second count of 1023 (1/1024 s on
# the handheld); under the bench's plugin that wait is counted at qemu's speed,
# so there the count skips 1023 (the bench measures the frame step).
SKIP_1023 = bool(os.environ.get("DEVICE_QEMU_PLUGIN"))


def hardware(mem, stop, exit_now):
    """The clock, the LCD's vertical sync and the buttons, until told to stop."""
    seconds, sub, vsync = 1000, 0, False
    start = time.monotonic()
    while not stop.is_set():
        elapsed = int((time.monotonic() - start) * 1024)
        seconds, sub = 1000 + elapsed // 1024, elapsed % 1024
        if SKIP_1023 and sub == 1023:
            sub = 1022
        mem.w32(REGS["RTC_SECONDS"], seconds)
        mem.w32(REGS["RTC_SUBSECOND"], sub)
        vsync = not vsync
        b = mem.r16(REGS["GPIO_B_INPUT"])
        mem.w16(REGS["GPIO_B_INPUT"], b | REGS["GPIO_B_VSYNC"] if vsync else b & ~REGS["GPIO_B_VSYNC"])
        buttons = 0xFFFF & ~((L_PIN | R_PIN) if exit_now.is_set() else 0)
        mem.w16(REGS["GPIO_C_INPUT"], buttons)
        time.sleep(0.001)


def pc_sound():
    if PC_WAV == "-":
        return None
    with open(PC_WAV, "rb") as f:
        wav = f.read()
    assert wav[:4] == b"RIFF" and wav[36:40] == b"data", "%s: not the program's WAV" % PC_WAV
    return wav[44:]


def frame_starts(frames):
    """Byte offsets of the first `frames` frames in the PC WAV (60 Hz frames of 22100 Hz)."""
    return [(n * 22100 // FRAME_RATE) * 4 for n in range(frames)]


def check_sound(dsp, pc):
    got = bytes(dsp.data)
    rate, held, underruns = dsp.report()
    expect(len(got) > 22100 * 4, "%d bytes of sound written, under a second" % len(got))
    expect(got.count(0) < len(got) // 2, "the sound written is mostly silence")
    starts = [k for k in frame_starts(600) if pc is None or pc[k:k + len(got)] == got]
    expect(starts, "the sound written (%d bytes) is not the PC WAV from any of its first 600 "
           "frames on" % len(got))
    expect(rate >= FRAME_RATE * 0.9, "%.1f passes a second, not the display's %d" % (rate, FRAME_RATE))
    expect(held <= MOST_HELD, "a write held %.1f ms after the first second" % (held * 1000))
    expect(not underruns, "underruns after the first second at %s s" % underruns)
    expect(dsp.most_fill <= MOST_BUFFERED, "%d bytes buffered, over 100 ms" % dsp.most_fill)
    return rate, held, len(got)


def main():
    if not os.access(PROGRAM, os.X_OK):
        print("%s: no such program" % PROGRAM)
        return 1
    pc = pc_sound()
    name = os.path.basename(PROGRAM)
    status = 0
    for fragment in FRAGMENTS:
        del faults[:]
        figures = run_once(fragment, pc)
        if faults:
            status = 1
            for f in faults:
                print("%s under qemu, %d-byte fragments: %s" % (name, fragment, f))
        else:
            print("%s, %5d-byte fragments: %.1f passes/s, longest write %.1f ms, no underrun, "
                  "%d sound bytes%s" % (name, fragment, figures[0], figures[1] * 1000,
                                        figures[2], " = PC WAV" if pc else ""))
    if status == 0:
        print("%s under qemu-arm -cpu ti925t, /dev/mem an ordinary file: banner, start-up writes, "
              "%d saved registers restored, launcher's screen blank, module commands and launcher "
              "through the shell" % (name, len(SAVE_TABLE)))
    return status


def run_once(fragment, pc):
    mem_path, log = make_root()
    dsp = dsp_double.DspDouble(ROOT, fragment)
    mem = Mem(mem_path)
    # What the launcher left: an LCD picture, its frame at LAUNCHER_FRAME.
    for i, off in enumerate(SAVE_TABLE):
        mem.w16(off, preset(i))
    mem.w16(REGS["DPC_CONTROL"], REGS["DPC_CONTROL_ON"])
    mem.w16(REGS["RGB_ODD_ADDR"], 0x2222)
    mem.w16(REGS["RGB_ODD_ADDR"] + 2, 0x0333)
    mem.w16(REGS["RGB_EVEN_ADDR"], LAUNCHER_FRAME & 0xFFFF)
    mem.w16(REGS["RGB_EVEN_ADDR"] + 2, LAUNCHER_FRAME >> 16)
    for port in ("GPIO_D_INPUT", "GPIO_M_INPUT", "GPIO_C_INPUT", "GPIO_I_INPUT"):
        mem.w16(REGS[port], 0xFFFF)
    saved = [mem.r16(off) for off in SAVE_TABLE]
    odd = (mem.r16(REGS["RGB_ODD_ADDR"]), mem.r16(REGS["RGB_ODD_ADDR"] + 2))
    mem.frame[:] = b"\xa5" * len(mem.frame)
    # Marks in the last page of upper memory: the program's clearing must
    # remove every one (what it draws there afterwards cannot bring them back).
    last = UPPER_SIZE - PAGE
    mem.upper[last:] = MARK * (PAGE // len(MARK))

    stop, exit_now = threading.Event(), threading.Event()
    clock = threading.Thread(target=hardware, args=(mem, stop, exit_now))
    clock.start()
    run = subprocess.Popen(QEMU + [PROGRAM], cwd=REPO, stdout=subprocess.PIPE,
                           stderr=subprocess.PIPE, text=True)
    try:
        # Running: upper memory cleared by the program, the start-up writes in place.
        deadline = time.monotonic() + TIMEOUT
        while marks(mem, last) == PAGE // len(MARK) and run.poll() is None and \
                time.monotonic() < deadline:
            time.sleep(0.01)
        # Some frames of the demo, with PLAY_SECONDS of sound.
        time.sleep(1.0)
        while dsp.now() < PLAY_SECONDS and run.poll() is None and time.monotonic() < deadline:
            time.sleep(0.05)
        expect(run.poll() is None, "the program ended before the exit keys were held")
        expect(marks(mem, last) == 0, "upper memory not cleared through its mapping")
        expect(mem.r16(REGS["SYS_CLOCK_GATE"]) == 0xFFFF, "start-up: clock gate not 0xFFFF")
        expect(mem.r16(REGS["SYS_CLOCK_ENABLE"]) == saved[0] | REGS["SYS_CLOCK_ENABLE_STARTUP"],
               "start-up: clock enable bit 10 not set")
        changed = sum(mem.r16(off) != saved[i] for i, off in enumerate(SAVE_TABLE))
        expect(changed > 0, "the display registers were never reprogrammed")
        exit_now.set()
        out, err = run.communicate(timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        run.kill()
        out, err = run.communicate()
        faults.append("no exit within %d s of holding L and R" % TIMEOUT)
    finally:
        stop.set()
        clock.join()

    expect(out.startswith("Hardware GP2X Library v1.02\n"), "banner: %r" % out[:80])
    expect(run.returncode == 0, "exit status %s; stderr: %s" % (run.returncode, err.strip()))
    restored = [(hex(off), hex(mem.r16(off)), hex(saved[i]))
                for i, off in enumerate(SAVE_TABLE) if mem.r16(off) != saved[i]]
    expect(not restored, "saved registers not restored (offset, found, saved): %s" % restored)
    expect((mem.r16(REGS["RGB_ODD_ADDR"]), mem.r16(REGS["RGB_ODD_ADDR"] + 2)) == odd,
           "odd field address not restored")
    expect(mem.r16(REGS["RGB_EVEN_ADDR"]) == LAUNCHER_FRAME & 0xFFFF and
           mem.r16(REGS["RGB_EVEN_ADDR"] + 2) == LAUNCHER_FRAME >> 16,
           "even field address not restored")
    expect(mem.r16(REGS["CORE2_CONTROL"]) == 0x83, "second core not held stopped")
    expect(mem.frame[:LAUNCHER_SCREEN] == bytes(LAUNCHER_SCREEN), "launcher's screen not blank")
    expect(mem.frame[LAUNCHER_SCREEN:] == b"\xa5" * PAGE, "blanked past the launcher's screen")
    calls = open(log).read().splitlines() if os.path.exists(log) else []
    want = ["command /sbin/rmmod mmuhack", "command /sbin/insmod mmuhack.o",
            "command /sbin/rmmod mmuhack",
            "launcher %s/usr/gp2x %s/usr/gp2x/gp2xmenu" % (ROOT, ROOT)]
    expect(calls == want, "commands and launcher: %s" % calls)
    dsp.thread.join(timeout=5)
    return check_sound(dsp, pc)


if __name__ == "__main__":
    sys.exit(main())
