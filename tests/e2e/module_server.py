#!/usr/bin/env python3
"""A loopback HTTP server for the module window's end-to-end tests.

    module_server.py ROOT PORT_FILE

Serves ROOT on 127.0.0.1 at a free port (written to PORT_FILE) and plays
the faulty servers the tests need:
- /cut/NAME announces 5000 bytes, sends 1000 and closes the connection;
- /slow/NAME announces 5000 bytes and sends one every tenth of a second;
- any path while ROOT/HANG exists, and /hang/NAME always: reads the request
  and never answers (until the client gives up or the server is stopped).
The server stops by itself after five minutes at most.
"""

import functools
import http.server
import os
import sys
import threading
import time


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def end_headers(self):
        # Said outright: WinINet keeps a connection it is not told is closing.
        self.send_header("Connection", "close")
        super().end_headers()

    def do_GET(self):
        root = self.directory
        if self.path.startswith("/hang/") or os.path.exists(os.path.join(root, "HANG")):
            end = time.time() + 60
            while time.time() < end and not self.server.stopping:
                time.sleep(0.1)
            self.close_connection = True
            return
        if self.path.startswith("/slow/"):
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", "5000")
            self.end_headers()
            try:
                for _ in range(5000):
                    if self.server.stopping:
                        break
                    self.wfile.write(b"x")
                    self.wfile.flush()
                    time.sleep(0.1)
            except OSError:
                pass  # the client went away
            self.close_connection = True
            return
        if self.path.startswith("/cut/"):
            self.send_response(200)
            self.send_header("Content-Type", "application/octet-stream")
            self.send_header("Content-Length", "5000")
            self.end_headers()
            self.wfile.write(b"[Information]\r\n" + b"x" * 985)
            self.wfile.flush()
            self.close_connection = True
            return
        super().do_GET()


def main():
    root, port_file = sys.argv[1], sys.argv[2]
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0),
                                             functools.partial(Handler, directory=root))
    server.daemon_threads = True
    server.stopping = False
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    timer = threading.Timer(300, server.shutdown)
    timer.daemon = True
    timer.start()
    try:
        server.serve_forever()
    finally:
        server.stopping = True
        os._exit(0)


if __name__ == "__main__":
    main()
