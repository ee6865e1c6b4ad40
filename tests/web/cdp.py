"""Debian's Chromium, headless, driven over the DevTools protocol through a
pipe (--remote-debugging-pipe: JSON messages ended by a NUL byte on file
descriptors 3 and 4), so nothing but Python's standard library is needed."""

import base64
import json
import os
import shutil
import subprocess
import tempfile
import time

CHROMIUM = "/usr/bin/chromium"
FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=1280,1024", "--remote-debugging-pipe",
]


class Browser:
    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="palendro-chromium-")
        to_browser_r, self._to_browser = os.pipe()
        self._from_browser, from_browser_w = os.pipe()

        def wire():
            os.dup2(to_browser_r, 3)
            os.dup2(from_browser_w, 4)

        self.proc = subprocess.Popen(
            [CHROMIUM, *FLAGS, "--user-data-dir=" + self.profile, "about:blank"],
            preexec_fn=wire, pass_fds=(3, 4), stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(to_browser_r)
        os.close(from_browser_w)
        self._next_id = 0
        self._buffer = b""
        self.events = []

    def close(self):
        try:
            self.call("Browser.close", timeout=10)
        except Exception:
            self.proc.kill()
        try:
            self.proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait()
        os.close(self._to_browser)
        os.close(self._from_browser)
        shutil.rmtree(self.profile, ignore_errors=True)

    def _read_message(self):
        while b"\0" not in self._buffer:
            chunk = os.read(self._from_browser, 1 << 16)
            if not chunk:
                raise RuntimeError("chromium closed the DevTools pipe")
            self._buffer += chunk
        raw, self._buffer = self._buffer.split(b"\0", 1)
        return json.loads(raw)

    def call(self, method, params=None, session=None, timeout=60):
        return self.call_all([(method, params)], session, timeout)[0]

    def call_all(self, calls, session=None, timeout=60):
        """Sends the (method, params) calls at once, then waits for every
        reply: the browser gets them back to back. Returns the results."""
        ids = {}
        for method, params in calls:
            self._next_id += 1
            ids[self._next_id] = method
            message = {"id": self._next_id, "method": method, "params": params or {}}
            if session:
                message["sessionId"] = session
            os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        results = {}
        deadline = time.monotonic() + timeout
        while len(results) < len(ids) and time.monotonic() < deadline:
            reply = self._read_message()
            if reply.get("id") in ids:
                if "error" in reply:
                    raise RuntimeError(f"{ids[reply['id']]}: {reply['error']}")
                results[reply["id"]] = reply.get("result", {})
            elif "method" in reply:
                self.events.append(reply)
        if len(results) < len(ids):
            raise TimeoutError(", ".join(ids.values()))
        return [results[i] for i in ids]

    def new_page(self):
        target = self.call("Target.createTarget", {"url": "about:blank"})["targetId"]
        session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True})["sessionId"]
        return Page(self, target, session)


class Page:
    def __init__(self, browser, target, session):
        self.browser, self.target, self.session = browser, target, session
        for domain in ("Page", "Runtime", "Log"):
            self.call(domain + ".enable")

    def call(self, method, params=None, timeout=60):
        return self.browser.call(method, params, self.session, timeout)

    def close(self):
        self.browser.call("Target.closeTarget", {"targetId": self.target})

    def go(self, url):
        self.call("Page.navigate", {"url": url})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate",
                           {"expression": expression, "returnByValue": True, "awaitPromise": True})
        if "exceptionDetails" in result:
            raise RuntimeError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=120, poll=0.1):
        """Polls until the expression is truthy (an expression that throws,
        say before the document is there, counts as not yet); returns its value."""
        deadline = time.monotonic() + timeout
        last = None
        while time.monotonic() < deadline:
            try:
                value = self.evaluate(expression)
                if value:
                    return value
            except RuntimeError as e:
                last = e
            time.sleep(poll)
        raise TimeoutError(f"{expression} (last error: {last})")

    def press(self, code, key, key_code, modifiers=0):
        """A key down and up, back to back (modifiers: 1 Alt, 2 Ctrl, 4 Meta, 8 Shift)."""
        self.browser.call_all([("Input.dispatchKeyEvent", {"type": kind, "code": code, "key": key,
                                                           "windowsVirtualKeyCode": key_code,
                                                           "modifiers": modifiers})
                               for kind in ("keyDown", "keyUp")], self.session)

    def screenshot(self, x, y, width, height):
        shot = self.call("Page.captureScreenshot", {
            "format": "png", "clip": {"x": x, "y": y, "width": width, "height": height, "scale": 1}})
        return base64.b64decode(shot["data"])

    def problems(self):
        """Console errors, uncaught exceptions and error log entries of this page so far."""
        found = []
        for e in self.browser.events:
            if e.get("sessionId") != self.session:
                continue
            p = e.get("params", {})
            if e["method"] == "Runtime.consoleAPICalled" and p.get("type") in ("error", "assert"):
                found.append("console: " + " ".join(str(a.get("value", a.get("description")))
                                                    for a in p.get("args", [])))
            elif e["method"] == "Runtime.exceptionThrown":
                found.append("exception: " + json.dumps(p.get("exceptionDetails", {}))[:400])
            elif e["method"] == "Log.entryAdded" and p.get("entry", {}).get("level") == "error":
                found.append("log: " + p["entry"].get("text", ""))
        return found
