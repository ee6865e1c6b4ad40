"""The handheld's sound device as a blocking Linux 2.4 OSS driver, for the
device program's test build: its /dev/dsp is a pair of named pipes below the
test folder (handheld/handheld_dsp_double.h says how requests and answers
travel). It grants the fragment size it was made with, as many fragments as
fill 64 KiB (at most the count asked, at least 2), answers SETFMT, CHANNELS,
SPEED, GETBLKSIZE and GETOSPACE (free space from the fill level), drains at
22100 x 4 bytes a second of its own clock once the first bytes arrive,
holds a write until all of its bytes fit, and counts underruns.

Its clock is the display's: each main-loop pass (one GETOSPACE: the driver
asks once a pass) is one 60 Hz frame, and a held write adds the time it
waits. So the figures show what the sound path does to the loop on a core
fast enough for its frame step, whatever this machine's load; the frame
step's cost is the bench's (bench/handheld/)."""
import os
import re
import struct
import threading

RATE = 22100 * 4  # bytes a second: 16-bit stereo
FRAME = 1 / 60
DMA_BYTES = 64 * 1024
EINVAL, EIO = 22, 5
AFMT_S16_LE = 0x10
SIZES = {"int": 4, "audio_buf_info": 16}
DIRECTIONS = {"_IO": 0, "_IOW": 1, "_IOR": 2, "_IOWR": 3}


def requests(header):
    """The request numbers of the handheld's soundcard.h, by name."""
    with open(header, encoding="utf-8") as f:
        text = f.read()
    found = {}
    for m in re.finditer(r"#define SNDCTL_DSP_(\w+) (_IO\w*)\('P', (\d+)(?:, (\w+))?\)", text):
        found[m.group(1)] = (DIRECTIONS[m.group(2)] << 30 | SIZES.get(m.group(4), 0) << 16 |
                             ord("P") << 8 | int(m.group(3)))
    return found


R = requests(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "handheld",
                          "include", "sys", "soundcard.h"))
SETFRAGMENT, SETFMT, CHANNELS, SPEED = R["SETFRAGMENT"], R["SETFMT"], R["CHANNELS"], R["SPEED"]
GETBLKSIZE, GETOSPACE = R["GETBLKSIZE"], R["GETOSPACE"]
assert (SETFRAGMENT, GETOSPACE) == (0xC004500A, 0x8010500C)


def make_pipes(root):
    for name in ("dsp", "dsp.answers"):
        os.mkfifo(os.path.join(root, "dev", name))


class DspDouble:
    def __init__(self, root, fragment):
        self.root, self.fragsize, self.frags = root, fragment, max(2, DMA_BYTES // fragment)
        self.fill = 0.0
        self.started = False  # the first write came
        self.clock = 0.0  # seconds since the first write
        self.data = bytearray()
        self.underruns = []  # seconds after the first write
        self.passes = []  # GETOSPACE times, seconds after the first write
        self.waits = []  # (seconds after the first write, seconds the write was held)
        self.most_fill = 0
        self.requests = []
        self.thread = threading.Thread(target=self.serve, daemon=True)
        self.thread.start()

    def now(self):
        return self.clock

    def run(self, seconds):
        """The device plays for `seconds` of its clock."""
        if not self.started:
            return
        if self.fill > 0 and self.fill <= seconds * RATE:
            self.underruns.append(self.clock + self.fill / RATE)
        self.fill = max(0.0, self.fill - seconds * RATE)
        self.clock += seconds

    def free(self):
        return max(0, self.total() - int(-(-self.fill // 1)))

    def total(self):
        return self.frags * self.fragsize

    def ioctl(self, request, arg):
        value = struct.unpack("<i", arg[:4])[0] if len(arg) >= 4 else 0
        self.requests.append(request)
        if request == SETFRAGMENT:
            self.frags = max(2, min(value >> 16, DMA_BYTES // self.fragsize))
            return 0, struct.pack("<i", (self.frags << 16) | (self.fragsize.bit_length() - 1))
        if request == SETFMT:
            return 0, struct.pack("<i", AFMT_S16_LE)
        if request == CHANNELS:
            return (0, arg) if value in (1, 2) else (-EINVAL, arg)
        if request == SPEED:
            return 0, arg
        if request == GETBLKSIZE:
            return 0, struct.pack("<i", self.fragsize)
        if request == GETOSPACE:
            self.run(FRAME)
            self.passes.append(self.now())
            free = self.free() & ~3
            return 0, struct.pack("<4i", free // self.fragsize, self.frags, self.fragsize, free)
        if request in (R["RESET"], R["SYNC"], R["POST"]):
            return 0, b""
        return -EINVAL, b""

    def write(self, data):
        self.started = True
        held, left = 0.0, len(data)
        while left:
            take = min(left, self.free())
            self.fill += take
            left -= take
            self.most_fill = max(self.most_fill, int(self.fill))
            if left:  # held until a fragment's worth more has played, or all of it fits
                wait = min(left, self.fragsize) / RATE
                self.run(wait)
                held += wait
        self.data += data
        self.waits.append((self.now(), held))
        return len(data)

    def serve(self):
        try:
            req = open(os.path.join(self.root, "dev", "dsp"), "rb", buffering=0)
            ans = open(os.path.join(self.root, "dev", "dsp.answers"), "wb", buffering=0)
        except OSError:
            return
        with req, ans:
            while True:
                head = read_all(req, 12)
                if head is None:
                    return
                kind, what, n = struct.unpack("<3I", head)
                body = read_all(req, n) if n else b""
                if body is None:
                    return
                if kind == 1:
                    result, back = self.ioctl(what, body)
                elif kind == 2:
                    result, back = self.write(body), b""
                else:
                    result, back = -EIO, b""
                ans.write(struct.pack("<2i", result, len(back)) + back)

    def report(self, settle=1.0):
        """Passes a second, the longest hold of a write, the underruns after `settle`."""
        late = [t for t in self.passes if t >= settle]
        rate = (len(late) - 1) / (late[-1] - late[0]) if len(late) > 1 else 0.0
        held = max((h for t, h in self.waits if t >= settle), default=0.0)
        return rate, held, [t for t in self.underruns if t >= settle]


def read_all(f, n):
    out = b""
    while len(out) < n:
        chunk = f.read(n - len(out))
        if not chunk:
            return None
        out += chunk
    return out
