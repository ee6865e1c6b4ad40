#!/usr/bin/env python3
"""./dev web's server: the page's folder on 127.0.0.1:PORT.

usage: serve.py PORT FOLDER

A path the file system cannot take (a NUL byte, say) is answered with 400
and the server goes on; a port that is taken is one line naming it."""

import errno
import functools
import http.server
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    def send_head(self):
        try:
            return super().send_head()
        except ValueError:  # os.stat's "embedded null byte"
            self.send_error(400, "bad path")
            return None


def main():
    port, folder = int(sys.argv[1]), sys.argv[2]
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port),
                                                 functools.partial(Handler, directory=folder))
    except OSError as e:
        if e.errno != errno.EADDRINUSE:
            raise
        print(f"web: port {port} is in use: stop what serves there, or pick another, "
              f"e.g. PORT={port + 1} ./dev web", file=sys.stderr)
        sys.exit(1)
    print(f"http://127.0.0.1:{port}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
