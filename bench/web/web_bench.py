#!/usr/bin/env python3
"""Milliseconds per frame of the web page in headless Chromium beside the
same frame loop on the PC (web_frames): frame step, compositing, hashing and
mixing of every frame of a FRAMES-frame test run. Each side runs three times,
alternating; the run with the best mean counts (the machine is shared).

usage: web_bench.py WEB_FRAMES PAGE_DIR FRAMES
prints for the page and the PC (page_..., native_...) one per line: mean,
worst and p99 in milliseconds, and the frame of the worst (worst_at)
"""

import functools
import http.server
import os
import re
import subprocess
import sys
import tempfile
import threading

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "web"))
from cdp import Browser  # noqa: E402

TIMING = re.compile(r"frames (\d+) mean ([\d.]+) ms worst ([\d.]+) ms at (\d+) p99 ([\d.]+) ms")


def main():
    native, page_dir, frames = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), int(sys.argv[3])
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass

    handler = functools.partial(Quiet, directory=page_dir)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    browser = Browser()
    page_runs, native_runs = [], []
    try:
        for _ in range(3):
            page = browser.new_page()
            page.go(f"http://127.0.0.1:{server.server_address[1]}/?frames={frames}&hash=1")
            text = page.wait_for("document.getElementById('timing').textContent", timeout=600)
            page.close()
            page_runs.append(TIMING.search(text).groups())
            with tempfile.TemporaryDirectory() as tmp:
                out = subprocess.run([native, str(frames), os.path.join(tmp, "sound.wav")],
                                     cwd=page_dir, check=True, capture_output=True, text=True).stdout
            native_runs.append(TIMING.search(out).groups())
    finally:
        browser.close()
        server.shutdown()
    best = lambda runs: min(runs, key=lambda r: float(r[1]))
    page, nat = best(page_runs), best(native_runs)
    for side, r in (("page", page), ("native", nat)):
        print(f"{side}_mean {r[1]}\n{side}_worst {r[2]}\n{side}_worst_at {r[3]}\n{side}_p99 {r[4]}")


if __name__ == "__main__":
    main()
