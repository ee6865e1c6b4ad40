#!/usr/bin/env python3
"""The web page in headless Chromium against the PC's own headless run.

usage: web_page_test.py NATIVE_PALENDRO PAGE_DIR

The page and the native program run the same button script; the frame
hashes, the sound and a screenshot must agree. The page must also start
clean (no console error, the "click to start" card, sound running after a
key), and say in one line what went wrong when its parts are missing.
"""

import functools
import http.client
import hashlib
import http.server
import os
import re
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from cdp import Browser  # noqa: E402
from png import read_png  # noqa: E402

NATIVE = PAGE_DIR = None
SERVE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "web", "serve.py")
SERVER = BROWSER = None

# Volume steps, mute, the pause menu opened, moved through and closed on
# "play" again, more volume: the frames and the sound both depend on it.
SCRIPT = """# a little of everything the buttons do
30 voldown
34 -
60 volup
64 -
100 start
104 -
170 left
174 -
210 right
214 -
260 start
264 -
320 voldown+volup
324 -
360 volup
364 -
"""


class Pages(http.server.SimpleHTTPRequestHandler):
    """The built page, plus copies of it with a part missing:
    /no-music/ without the module file, /no-program/ without the wasm,
    /no-script/ without the module's script; and /slow/, the page served at
    about 1 MB/s."""

    MISSING = {"no-music": "bellwarm_harmonic.xm", "no-program": "palendro.wasm",
               "no-script": "palendro.js"}

    def translate_path(self, path):
        parts = urllib.parse.urlsplit(path).path.lstrip("/").split("/")
        if parts[0] == "slow":
            parts = parts[1:]
        if parts[0] in self.MISSING:
            if parts[-1] == self.MISSING[parts[0]]:
                return os.path.join(PAGE_DIR, "missing-on-purpose")
            parts = parts[1:]
        return os.path.join(PAGE_DIR, *parts)

    def copyfile(self, source, outputfile):
        if not self.path.startswith("/slow/"):
            return super().copyfile(source, outputfile)
        while chunk := source.read(32768):
            outputfile.write(chunk)
            time.sleep(0.03)

    def log_message(self, *args):
        pass


def url(path):
    return f"http://127.0.0.1:{SERVER.server_address[1]}/{path}"


def native_run(*args, music=True):
    """The PC's headless run (from the folder with the music file, or from one
    without it): (frame hash lines, the WAV's sample bytes)."""
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "sound.wav")
        out = subprocess.run([NATIVE, "--headless", "--frame-hash", "--wav", wav, *args],
                             cwd=PAGE_DIR if music else tmp, check=True, capture_output=True,
                             text=True).stdout
        with open(wav, "rb") as f:
            return [l for l in out.splitlines() if l.startswith("frame ")], wav_samples(f.read())


def wav_samples(wav):
    at = 12
    while at + 8 <= len(wav):
        kind, size = wav[at:at + 4], struct.unpack("<I", wav[at + 4:at + 8])[0]
        if kind == b"data":
            return wav[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    raise ValueError("no data chunk")


@functools.lru_cache(maxsize=None)
def script_file():
    f = tempfile.NamedTemporaryFile("w", suffix=".txt", delete=False)
    f.write(SCRIPT)
    f.close()
    return f.name


class PageTest(unittest.TestCase):
    def open(self, path):
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        page.go(url(path))
        return page

    def run_page(self, query):
        page = self.open("?" + query)
        text = page.wait_for("(t => t.includes('done\\n') && t)(document.getElementById('hashes').textContent)")
        return page, text.splitlines()

    def assert_same_run(self, frames, query, *native_args):
        native_hashes, native_sound = native_run("--frames", str(frames), *native_args)
        self.assertEqual(len(native_hashes), frames)
        page, lines = self.run_page(query)
        self.assertEqual(lines[-1], "done")
        self.assertEqual(lines[-2], "sound sha256 " + hashlib.sha256(native_sound).hexdigest())
        page_hashes = lines[:-2]
        self.assertEqual(len(page_hashes), frames)
        for mine, theirs in zip(page_hashes, native_hashes):
            self.assertEqual(mine, theirs)  # the first frame that differs
        self.assertRegex(page.evaluate("document.getElementById('timing').textContent"),
                         rf"^frames {frames} mean [0-9.]+ ms worst [0-9.]+ ms at \d+ p99 [0-9.]+ ms\n$")
        self.assertEqual(page.problems(), [])

    def test_lcd_run_with_buttons_gives_the_native_frames_and_sound(self):
        script = urllib.parse.quote(SCRIPT, safe="")
        self.assert_same_run(600, f"frames=600&hash=1&input={script}", "--input", script_file())

    def test_pal_tv_on_a_touch_board_gives_the_native_frames_and_sound(self):
        self.assert_same_run(90, "tv=pal&board=touch&frames=90&hash=1", "--tv", "pal", "--board", "touch")

    def test_screenshot_is_the_native_one_scaled_by_the_page_factor(self):
        frame, k = 300, 2
        with tempfile.TemporaryDirectory() as tmp:
            shot = os.path.join(tmp, "frame.png")
            subprocess.run([NATIVE, "--headless", "--frames", str(frame + 1),
                            "--screenshot", f"{frame}:{shot}"], cwd=PAGE_DIR, check=True,
                           capture_output=True)
            with open(shot, "rb") as f:
                native = read_png(f.read())
        page, _ = self.run_page(f"frames={frame + 1}&scale={k}")
        box = page.evaluate("(r => [r.x, r.y, r.width, r.height])"
                            "(document.getElementById('screen').getBoundingClientRect())")
        self.assertEqual(box[2:], [len(native[0]) * k, len(native) * k])
        mine = read_png(page.screenshot(*box))
        expected = [[p for p in row for _ in range(k)] for row in native for _ in range(k)]
        self.assertEqual(len(mine), len(expected))
        for y, (row, want) in enumerate(zip(mine, expected)):
            self.assertEqual(row, want, f"row {y}")

    def test_page_starts_clean_shows_the_card_and_a_key_starts_the_sound(self):
        page = self.open("")
        page.wait_for("!document.getElementById('card').hidden")
        self.assertEqual(page.evaluate("document.querySelector('#card p').textContent"), "click to start")
        self.assertEqual(page.evaluate("palendro.frames()"), 0)  # nothing runs before the click
        page.press("Space", " ", 32)
        page.wait_for("palendro.soundState() === 'running'", timeout=30)
        page.wait_for("palendro.frames() > 30", timeout=30)
        self.assertTrue(page.evaluate("document.getElementById('card').hidden"))
        # The sound gets exactly the samples of the frames run (22100 Hz at
        # 60 Hz), up to the frame being mixed.
        frames, samples = page.evaluate("[palendro.frames(), palendro.samplesQueued()]")
        self.assertLessEqual(abs(samples - frames * 22100 // 60), 369, (frames, samples))
        # A key held is a button held, until it is let go.
        page.call("Input.dispatchKeyEvent", {"type": "keyDown", "code": "ArrowLeft", "key": "ArrowLeft",
                                             "windowsVirtualKeyCode": 37})
        page.wait_for("palendro.buttons() === 0x4", timeout=10)
        page.call("Input.dispatchKeyEvent", {"type": "keyUp", "code": "ArrowLeft", "key": "ArrowLeft",
                                             "windowsVirtualKeyCode": 37})
        page.wait_for("palendro.buttons() === 0", timeout=10)
        self.assertEqual(page.evaluate("document.getElementById('status').textContent"), "")
        self.assertEqual(page.evaluate("document.getElementById('sound-path').textContent"), "Sound: AudioWorklet.")
        self.assertEqual(page.problems(), [])

    def test_without_audioworklet_the_sound_plays_through_a_script_processor(self):
        # What a plain-http page from another host gets: no AudioWorklet.
        page = self.started_page("delete BaseAudioContext.prototype.audioWorklet;")
        self.assertEqual(page.evaluate("document.getElementById('sound-path').textContent"),
                         "Sound: ScriptProcessorNode (this page has no AudioWorklet: it is not from https or localhost).")
        self.assertEqual(page.evaluate("document.getElementById('status').textContent"), "")
        page.wait_for("palendro.samplesPlayed() > 4410", timeout=10)  # it plays
        frames, samples = page.evaluate("[palendro.frames(), palendro.samplesQueued()]")
        self.assertLessEqual(abs(samples - frames * 22100 // 60), 369, (frames, samples))
        self.assertEqual(page.problems(), [])

    def test_a_phone_gets_the_handhelds_buttons_around_a_picture_that_fits(self):
        sides = {"l", "r", "up", "left", "right", "down", "a", "b", "x", "y"}
        cases = [  # (width, height, picture width in CSS pixels, buttons left of the picture)
            (844, 390, 1280 / 3, {"l", "up", "left", "right", "down"}),  # 4 device pixels per pixel
            (390, 844, 320, set()),  # 3 device pixels per pixel, the controls under it
        ]
        for width, height, picture_width, left in cases:
            with self.subTest(width=width, height=height):
                page = BROWSER.new_page()
                self.addCleanup(page.close)
                page.call("Emulation.setDeviceMetricsOverride",
                          {"width": width, "height": height, "deviceScaleFactor": 3, "mobile": True})
                page.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 2})
                page.go(url(""))
                page.wait_for("!document.getElementById('card').hidden")
                boxes = page.evaluate("""Object.fromEntries([document.getElementById('screen'),
                    ...document.querySelectorAll('#touch button')].map(e => {
                      const r = e.getBoundingClientRect();
                      return [e.dataset.button || 'picture', [r.left, r.top, r.right, r.bottom]];
                    }))""")
                picture = boxes["picture"]
                self.assertAlmostEqual(picture[2] - picture[0], picture_width, delta=0.05)
                self.assertAlmostEqual((picture[3] - picture[1]) * 4 / 3, picture_width, delta=0.05)
                self.assertEqual(len(boxes), 15)
                for name, (x0, y0, x1, y1) in boxes.items():
                    self.assertTrue(0 <= x0 < x1 <= width and 0 <= y0 < y1 <= height, (name, boxes[name]))
                    for other, (u0, v0, u1, v1) in boxes.items():
                        if other < name:
                            self.assertFalse(x0 < u1 and u0 < x1 and y0 < v1 and v0 < y1, (name, other))
                    if name in sides:
                        self.assertEqual(x1 <= picture[0], name in left, name)
                        self.assertEqual(y0 >= picture[3], width < height, name)

        # Touch buttons are buttons: a tap on the card starts, a held button is held.
        def tap(selector, kind):
            x, y = page.evaluate(f"(r => [r.x + r.width / 2, r.y + r.height / 2])"
                                 f"(document.querySelector('{selector}').getBoundingClientRect())")
            points = [{"x": x, "y": y}] if kind != "touchEnd" else []
            page.call("Input.dispatchTouchEvent", {"type": kind, "touchPoints": points})

        tap("#card", "touchStart")
        tap("#card", "touchEnd")
        page.wait_for("palendro.frames() > 10", timeout=30)
        tap("#touch [data-button=b]", "touchStart")
        page.wait_for("palendro.buttons() === 0x2000", timeout=10)
        tap("#touch [data-button=b]", "touchEnd")
        page.wait_for("palendro.buttons() === 0", timeout=10)
        self.assertEqual(page.problems(), [])

    def test_a_slow_page_shows_what_has_loaded_then_the_card(self):
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        page.go(url("slow/"))
        sizes = {name: round(os.path.getsize(os.path.join(PAGE_DIR, name)) / 1000)
                 for name in ("palendro.wasm", "bellwarm_harmonic.xm")}
        line = re.compile(r"Loading: (?:(palendro\.wasm|bellwarm_harmonic\.xm) (\d+) of (\d+) kB(?:, |$))+")
        seen = set()
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            card, text = page.evaluate("[(c => c && !c.hidden)(document.getElementById('card')),"
                                       " (e => e && !e.hidden ? e.textContent : '')(document.getElementById('loading'))]")
            if card:
                break
            if text:
                self.assertRegex(text, line)
                for name, got, size in re.findall(r"(\S+) (\d+) of (\d+) kB", text):
                    self.assertEqual(int(size), sizes[name])
                    if name == "palendro.wasm":
                        seen.add(int(got))
            time.sleep(0.05)
        self.assertGreater(len([got for got in seen if got < sizes["palendro.wasm"]]), 2, seen)
        self.assertTrue(page.evaluate("document.getElementById('loading').hidden"))

    def test_a_tap_let_go_before_the_next_frame_still_holds_its_button_for_one(self):
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        page.call("Emulation.setDeviceMetricsOverride",
                  {"width": 844, "height": 390, "deviceScaleFactor": 2, "mobile": True})
        page.call("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 2})
        # A pad whose start button the test holds for 5 ms.
        page.call("Page.addScriptToEvaluateOnNewDocument", {"source": """
            window.testPad = { connected: true, mapping: 'standard', axes: [0, 0, 0, 0],
                               buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })) };
            navigator.getGamepads = () => [testPad];"""})
        page.go(url(""))
        page.wait_for("!document.getElementById('card').hidden")
        page.press("Enter", "Enter", 13)
        page.wait_for("palendro.frames() > 10", timeout=30)
        # Every mask the page hands the program, one per refresh.
        page.evaluate("(set => { window.sent = []; Module._web_set_buttons = (m) => { sent.push(m); set(m); }; })"
                      "(Module._web_set_buttons)")

        def touch(selector):
            x, y = page.evaluate(f"(r => [r.x + r.width / 2, r.y + r.height / 2])"
                                 f"(document.querySelector('{selector}').getBoundingClientRect())")
            BROWSER.call_all([("Input.dispatchTouchEvent", {"type": "touchStart", "touchPoints": [{"x": x, "y": y}]}),
                              ("Input.dispatchTouchEvent", {"type": "touchEnd", "touchPoints": []})],
                             page.session)

        taps = [  # (what, the button's bit, one tap)
            ("key", 0x4, lambda: page.press("ArrowLeft", "ArrowLeft", 37)),
            ("touch", 0x1, lambda: touch("#touch [data-button=up]")),
            ("pad", 0x100, lambda: page.evaluate(
                "testPad.buttons[9].pressed = true; setTimeout(() => { testPad.buttons[9].pressed = false; }, 5)")),
        ]
        for what, bit, tap in taps:
            with self.subTest(what):
                page.evaluate("sent.length = 0")
                for _ in range(10):
                    tap()
                    time.sleep(0.06)
                sent = page.evaluate("sent")
                held = [bool(m & bit) for m in sent]
                runs = sum(1 for i, h in enumerate(held) if h and (i == 0 or not held[i - 1]))
                self.assertEqual(runs, 10, sent)

    def test_keys_the_browser_keeps_pass_and_only_enter_space_or_a_click_start(self):
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        page.go(url(""))
        page.wait_for("!document.getElementById('card').hidden")
        # Each key as the page's own handlers left it, and every mask handed to the program.
        page.evaluate("window.keys = []; addEventListener('keydown', (e) => keys.push(e))")
        keys = [  # (code, key, key code, modifiers, buttons: 0 = left to the browser)
            ("KeyA", "a", 65, 0, 0), ("F5", "F5", 116, 0, 0), ("Tab", "Tab", 9, 0, 0)]
        for code, key, key_code, modifiers, _ in keys:
            page.press(code, key, key_code, modifiers)
        self.assertFalse(page.evaluate("document.getElementById('card').hidden"))
        self.assertEqual(page.evaluate("keys.map(e => e.defaultPrevented)"), [False] * len(keys))
        page.press("Space", " ", 32)
        page.wait_for("palendro.frames() > 10", timeout=30)
        page.evaluate("(set => { window.sent = []; Module._web_set_buttons = (m) => { sent.push(m); set(m); }; })"
                      "(Module._web_set_buttons)")
        keys = [
            ("Escape", "Escape", 27, 0, 0), ("Equal", "=", 187, 2, 0), ("Minus", "-", 189, 2, 0),
            ("ArrowLeft", "ArrowLeft", 37, 1, 0), ("KeyW", "w", 87, 4, 0), ("F12", "F12", 123, 0, 0),
            ("Minus", "-", 189, 0, 1 << 16), ("KeyQ", "q", 81, 0, 1 << 10)]
        for code, key, key_code, modifiers, buttons in keys:
            with self.subTest(code=code, modifiers=modifiers):
                page.evaluate("keys.length = 0; sent.length = 0")
                page.press(code, key, key_code, modifiers)
                page.wait_for("sent.length > 3", timeout=10)
                self.assertEqual(page.evaluate("keys.map(e => e.defaultPrevented)"), [bool(buttons)])
                self.assertEqual(page.evaluate("sent.reduce((a, m) => a | m, 0)"), buttons)

    def test_the_fullscreen_button_says_what_it_will_do(self):
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        page.go(url(""))
        page.wait_for("!document.getElementById('card').hidden")
        label = "document.getElementById('fullscreen').textContent"
        self.assertEqual(page.evaluate(label), "fullscreen")
        # Headless Chromium has no real fullscreen: the state as the browser would report it.
        state = ("Object.defineProperty(document, 'fullscreenElement', {{ configurable: true, get: () => {} }});"
                 " document.dispatchEvent(new Event('fullscreenchange'))")
        page.evaluate(state.format("document.getElementById('stage')"))
        self.assertEqual(page.evaluate(label), "leave fullscreen")
        page.evaluate(state.format("null"))
        page.wait_for(f"{label} === 'fullscreen'", timeout=10)

    def test_the_legend_shows_the_keys_and_a_connected_pads_buttons_and_hides(self):
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        page.go(url(""))
        page.wait_for("!document.getElementById('card').hidden")
        rows = ("(t => t.hidden ? null : Object.fromEntries([...t.rows].map(r => [...r.cells].map(c => c.textContent))))"
                "(document.getElementById('legend-{}'))")
        keys = page.evaluate(rows.format("keys"))
        self.assertEqual(keys, {
            "up": "\u2191", "down": "\u2193", "left": "\u2190", "right": "\u2192", "start": "Enter, num Enter",
            "select": "Space, Backspace", "l": "Q", "r": "W", "a": "A", "b": "S", "x": "Z", "y": "X",
            "voldown": "-, num -", "volup": "=, num +", "quit": "Q + W"})
        self.assertIsNone(page.evaluate(rows.format("pad")))  # no pad connected
        page.evaluate("document.getElementById('legend-toggle').click()")
        self.assertIsNone(page.evaluate(rows.format("keys")))
        self.assertEqual(page.evaluate("document.getElementById('legend-toggle').textContent"), "keys")
        page.evaluate("document.getElementById('legend-toggle').click()")
        # A pad comes: its map appears.
        page.evaluate("navigator.getGamepads = () => [{ connected: true, buttons: [], axes: [] }];"
                      " dispatchEvent(new Event('gamepadconnected'))")
        pad = page.evaluate(rows.format("pad"))
        self.assertEqual(pad["a"], "bottom face button")
        self.assertEqual(pad["up"], "d-pad up, left stick")
        self.assertEqual(pad["voldown"], "left trigger")
        self.assertEqual(pad["l"], "left shoulder")
        self.assertEqual(pad["select"], "back")

    def status_of(self, path, init_script=None, blocked=None):
        """A page opened with a script run before its own, or with requests
        for URLs matching `blocked` failing as a network error does; and its
        first status line."""
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        if init_script:
            page.call("Page.addScriptToEvaluateOnNewDocument", {"source": init_script})
        if blocked:
            page.call("Network.enable")
            page.call("Network.setBlockedURLs", {"urls": [blocked]})
        page.go(path if "://" in path else url(path))
        return page, page.wait_for("document.getElementById('status').textContent", timeout=30)

    def test_each_failure_to_load_is_one_line_that_says_what_to_do(self):
        retry = "reload the page; if it stays, the server lacks the file (./dev web builds it)."
        # A browser without SIMD: it validates no SIMD module and compiles none.
        no_simd = ("WebAssembly.validate = () => false; WebAssembly.instantiate = () =>"
                   " Promise.reject(new WebAssembly.CompileError('SIMD'));")
        cases = [
            ("no-program/", None, None, "palendro.wasm did not arrive (HTTP 404): " + retry),
            ("", None, "*palendro.wasm", "palendro.wasm did not arrive (network error): " + retry),
            ("no-script/", None, None, "palendro.js did not arrive (HTTP 404): " + retry),
            ("", None, "*palendro.js", "palendro.js did not arrive (network error): " + retry),
            ("", None, "*.xm", "bellwarm_harmonic.xm did not arrive (network error): the demo runs silent."),
            ("file://" + os.path.join(PAGE_DIR, "index.html"), None, None,
             "The page was opened as a file, which cannot load the demo: "
             "open it through a web server: `./dev web`, or any static server."),
            ("", "delete window.WebAssembly;", None, "This browser cannot run WebAssembly, which the demo needs."),
            ("", no_simd, None, "This browser cannot run WebAssembly SIMD, which the demo needs: "
             "update it, or try another browser."),
            ("?tv=secam", None, None, "Bad option in the address: bad value 'secam' for tv."),
            # The page decodes the address; a '+' stays a '+'.
            ("?t%76=pal+tv&scale=2", None, None, "Bad option in the address: bad value 'pal+tv' for tv."),
        ]
        for path, init_script, blocked, want in cases:
            with self.subTest(path=path, init_script=init_script, blocked=blocked):
                page, line = self.status_of(path, init_script, blocked)
                self.assertEqual(line, want)
                if init_script == no_simd:  # known before the program is fetched
                    self.assertFalse(page.evaluate(
                        "performance.getEntriesByType('resource').some(e => e.name.endsWith('.wasm'))"))

    def started_page(self, init_script=None):
        """A real-time page started with Enter, 10 frames in."""
        page = BROWSER.new_page()
        self.addCleanup(page.close)
        if init_script:
            page.call("Page.addScriptToEvaluateOnNewDocument", {"source": init_script})
        page.go(url(""))
        page.wait_for("!document.getElementById('card').hidden")
        page.press("Enter", "Enter", 13)
        page.wait_for("palendro.frames() > 10", timeout=30)
        return page

    def test_a_failure_while_running_is_one_line(self):
        # No sound device: the demo runs silent.
        page = self.started_page("window.AudioContext = function () { throw new Error('no device'); };")
        self.assertEqual(page.evaluate("document.getElementById('status').textContent"),
                         "No sound (no device): running silent.")
        # A crash in the program: said once, and the page stops calling it.
        page = self.started_page()
        page.evaluate("Module._web_animation_frame = () => { throw new WebAssembly.RuntimeError('unreachable'); }")
        line = page.wait_for("document.getElementById('status').textContent", timeout=10)
        self.assertEqual(line, "The program stopped (RuntimeError: unreachable): reload the page to start again.")

    def test_without_the_music_the_page_says_so_and_runs_silent(self):
        page, line = self.status_of("no-music/?frames=120&hash=1")
        self.assertEqual(line, "bellwarm_harmonic.xm did not arrive (HTTP 404): the demo runs silent.")
        self.assertEqual(page.evaluate("document.getElementById('status').children.length"), 1)
        text = page.wait_for("(t => t.includes('done\\n') && t)(document.getElementById('hashes').textContent)")
        hashes, sound = native_run("--frames", "120", music=False)
        self.assertEqual(sound, bytes(len(sound)))
        self.assertEqual(text, "\n".join(hashes + ["sound sha256 " + hashlib.sha256(sound).hexdigest(), "done", ""]))


class ServerTest(unittest.TestCase):
    """./dev web's own server (web/serve.py)."""

    def serve(self, port):
        proc = subprocess.Popen([sys.executable, SERVE, str(port), PAGE_DIR], stdout=subprocess.PIPE,
                                stderr=subprocess.PIPE, text=True)
        self.addCleanup(lambda: (proc.kill(), proc.wait(), proc.stdout.close(), proc.stderr.close()))
        return proc

    def test_a_bad_path_is_a_400_and_a_taken_port_one_line(self):
        with socket.socket() as s:
            s.bind(("127.0.0.1", 0))
            port = s.getsockname()[1]
        server = self.serve(port)
        self.assertEqual(server.stdout.readline(), f"http://127.0.0.1:{port}/\n")
        for path, status in (("/%00", 400), ("/index.html", 200), ("/%00x/palendro.js", 400), ("/", 200)):
            with self.subTest(path=path):
                connection = http.client.HTTPConnection("127.0.0.1", port, timeout=10)
                connection.request("GET", path)
                self.assertEqual(connection.getresponse().status, status)
                connection.close()
        second = self.serve(port)
        self.assertEqual(second.wait(timeout=10), 1)
        self.assertEqual(second.stderr.read(), f"web: port {port} is in use: stop what serves there, "
                                               f"or pick another, e.g. PORT={port + 1} ./dev web\n")


def main():
    global NATIVE, PAGE_DIR, SERVER, BROWSER
    NATIVE, PAGE_DIR = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    SERVER = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Pages)
    threading.Thread(target=SERVER.serve_forever, daemon=True).start()
    BROWSER = Browser()
    try:
        program = unittest.main(argv=sys.argv[:1], exit=False, verbosity=2)
    finally:
        BROWSER.close()
        SERVER.shutdown()
    sys.exit(0 if program.result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
